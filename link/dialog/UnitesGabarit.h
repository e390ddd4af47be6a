#pragma once

#include <QFont>
#include <QRect>

/**
 * Dialog units for the link's dialogs: a quarter of the dialog font's
 * average character width across and an eighth of its height down, so a
 * window laid out in them keeps its proportions whatever the font size.
 */
class UnitesGabarit {
public:
    /** The units of `police` (average width of the 52 Latin letters, line height). */
    explicit UnitesGabarit(const QFont& police);

    /** The dialogs' font: sans-serif, 8 points. */
    static QFont police();

    int x(int unites) const { return unites * m_largeur / 4; }
    int y(int unites) const { return unites * m_hauteur / 8; }
    /** A rectangle x, y, width, height given in dialog units, in pixels. */
    QRect rect(int gauche, int haut, int largeur, int hauteur) const;

private:
    int m_largeur;
    int m_hauteur;
};
