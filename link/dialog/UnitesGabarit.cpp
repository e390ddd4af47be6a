#include "link/dialog/UnitesGabarit.h"

#include <QFontMetrics>

UnitesGabarit::UnitesGabarit(const QFont& police)
{
    const QFontMetrics mesures(police);
    // Half the average width of the alphabet's letters, rounded: the
    // maximum width would make every window too wide.
    const int alphabet = mesures.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_largeur = qMax(1, (alphabet / 26 + 1) / 2);
    m_hauteur = qMax(1, mesures.height());
}

QFont UnitesGabarit::police()
{
    QFont police(QStringLiteral("Sans Serif"));
    police.setStyleHint(QFont::SansSerif);
    police.setPointSize(8);
    return police;
}

QRect UnitesGabarit::rect(int gauche, int haut, int largeur, int hauteur) const
{
    return QRect(x(gauche), y(haut), x(largeur), y(hauteur));
}
