#include "console/VoletChemin.h"

#include "world/WorldState.h"

VoletChemin::VoletChemin(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("voletChemin"));
}

void VoletChemin::actualiser()
{
    RaisonSansChemin raison = RaisonSansChemin::Aucune;
    // The navigation only plans once a destination has been placed.
    if (g_navActive == 1) {
        Point robot;
        Point destination;
        {
            VerrouMonde verrou(g_robotLock);
            robot = g_robotCell;
        }
        {
            VerrouMonde verrou(g_destLock);
            destination = g_destCell;
        }
        raison = raisonSansChemin(robot, destination);
    }
    if (raison == m_raison) {
        return;
    }
    m_raison = raison;
    setText(QString::fromUtf8(texteRaisonSansChemin(raison)));
}
