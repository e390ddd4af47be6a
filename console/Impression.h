#pragma once

class QPrinter;
class QWidget;

/**
 * Prints `formulaire` on one page of `imprimante`: the widget as it looks on
 * screen, scaled to fill the page's printable width or height (whichever is
 * reached first) and placed at the page's top-left corner. Returns false when
 * the printer cannot be drawn on (no printer, unwritable output file).
 */
bool imprimerFormulaire(QPrinter& imprimante, QWidget& formulaire);
