#pragma once

#include <QFont>
#include <QRect>

/**
 * Dialog units: the dialogs (the trainer's, the port dialog) are laid out in
 * units of the dialog font, a quarter of its average character width across
 * and an eighth of its height down, so that the layout keeps its proportions
 * whatever the screen's font size.
 */
class UnitesDialogue {
public:
    /** The units of `police` (average width of the 52 Latin letters, line height). */
    explicit UnitesDialogue(const QFont& police);

    /** The dialogs' font: sans-serif, 8 points. */
    static QFont policeDialogue();

    int largeurCaractere() const { return m_largeur; }
    int hauteurCaractere() const { return m_hauteur; }

    int x(int unites) const { return unites * m_largeur / 4; }
    int y(int unites) const { return unites * m_hauteur / 8; }
    /** A rectangle x, y, width, height given in dialog units, in pixels. */
    QRect rect(int gauche, int haut, int largeur, int hauteur) const;

private:
    int m_largeur;
    int m_hauteur;
};
