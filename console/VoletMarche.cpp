#include "console/VoletMarche.h"

#include "console/CellulesNavigation.h"

#include "world/WorldState.h"
#include "world/WorldThreads.h"

namespace {

bool robotSurDestination()
{
    const CellulesNavigation c = lireCellulesNavigation();
    return c.robot.x == c.destination.x && c.robot.y == c.destination.y;
}

} // namespace

VoletMarche::VoletMarche(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("voletMarche"));
}

void VoletMarche::surGo()
{
    // Without a destination the run ends at once: nothing would move.
    passer(g_navActive == 1 ? Etat::EnCours : Etat::SansDestination);
    actualiser();
}

void VoletMarche::surArret()
{
    passer(Etat::Arrete);
}

void VoletMarche::actualiser()
{
    if (m_etat == Etat::SansDestination && g_navActive == 1) {
        passer(Etat::Repos);
    } else if (m_etat == Etat::EnCours) {
        if (robotSurDestination()) {
            passer(Etat::Arrive);
        } else if (runningSimulations() == 0) {
            passer(Etat::Repos);
        }
    }
}

void VoletMarche::passer(Etat etat)
{
    m_etat = etat;
    const char* texte = "";
    switch (etat) {
    case Etat::EnCours:
        texte = TexteEnCours;
        break;
    case Etat::Arrive:
        texte = TexteArrive;
        break;
    case Etat::Arrete:
        texte = TexteArrete;
        break;
    case Etat::SansDestination:
        texte = TexteSansDestination;
        break;
    case Etat::Repos:
        break;
    }
    setText(QString::fromUtf8(texte));
}
