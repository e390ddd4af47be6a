#pragma once

#include <QRect>
#include <QSize>

class QWidget;

/**
 * Where a window of `taille` (its frame included, and at least `tailleMin`)
 * opens so that it leaves the map whole: beside the main window `fenetre`
 * (right, then left) when the screen's free area `ecran` has room; else
 * beside the map `carte` (right, left, below, above), over the rest of the
 * main window, narrowed down to `tailleMin` if it must; else where it covers
 * the least of the map. All in the screen's coordinates; the result is the
 * window's frame on the screen.
 */
QRect placeACote(const QRect& fenetre, const QRect& carte, const QSize& taille,
                 const QSize& tailleMin, const QRect& ecran);

/**
 * Places `fenetre` (a top-level window about to be shown) beside
 * `principale` so that it does not cover `carte`, a widget of `principale`:
 * the frame of the window is taken to be as thick as that of `principale`.
 */
void placerACote(QWidget& fenetre, const QWidget& principale, const QWidget& carte);
