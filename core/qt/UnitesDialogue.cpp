#include "core/qt/UnitesDialogue.h"

#include <QFontMetrics>

UnitesDialogue::UnitesDialogue(const QFont& police)
{
    const QFontMetrics mesures(police);
    // The average over the alphabet, rounded to the nearest pixel, is what
    // the dialog units have always been based on; the maximum width would
    // make every window too wide.
    const int alphabet = mesures.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_largeur = qMax(1, (alphabet / 26 + 1) / 2);
    m_hauteur = qMax(1, mesures.height());
}

QFont UnitesDialogue::policeDialogue()
{
    QFont police(QStringLiteral("Sans Serif"));
    police.setStyleHint(QFont::SansSerif);
    police.setPointSize(8);
    return police;
}

QRect UnitesDialogue::rect(int gauche, int haut, int largeur, int hauteur) const
{
    return QRect(x(gauche), y(haut), x(largeur), y(hauteur));
}
