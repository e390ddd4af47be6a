#include "console/VoletChemin.h"

#include "console/CellulesNavigation.h"
#include "world/WorldState.h"

VoletChemin::VoletChemin(QWidget* parent)
    : VoletTexte(parent)
{
    setObjectName(QStringLiteral("voletChemin"));
    // The longer reasons are cut short, whole in the tooltip.
    setGabarits({QString::fromUtf8(texteRaisonSansChemin(RaisonSansChemin::RobotEnferme))});
}

void VoletChemin::actualiser()
{
    RaisonSansChemin raison = RaisonSansChemin::Aucune;
    bool evasion = false;
    // The navigation only plans once a destination has been placed.
    if (g_navActive == 1) {
        evasion = g_evasion == 1;
        if (!evasion) {
            const CellulesNavigation c = lireCellulesNavigation();
            raison = raisonSansChemin(c.robot, c.destination);
        }
    }
    if (raison == m_raison && evasion == m_evasion) {
        return;
    }
    m_raison = raison;
    m_evasion = evasion;
    setText(QString::fromUtf8(evasion ? TexteEvasion : texteRaisonSansChemin(raison)));
}
