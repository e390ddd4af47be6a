#include "console/VoletMarche.h"

#include "console/CellulesNavigation.h"

#include "world/WorldState.h"
#include "world/WorldThreads.h"

namespace {

/** The world as the run pane reads it: each value under its own lock. */
RegardMarche regarderMonde()
{
    RegardMarche r;
    r.destinationPlacee = monde().destination.lire().placee;
    const CellulesNavigation c = lireCellulesNavigation();
    r.surDestination = c.robot.x == c.destination.x && c.robot.y == c.destination.y;
    const OrdresRobot ordres = monde().ordres.lire();
    r.pilote = ordres.roueGauche != 0 || ordres.roueDroite != 0 || ordres.virageEnAttente;
    r.sansChemin = monde().drapeaux.sansCheminAffiche == 1;
    r.simulations = runningSimulations();
    r.retenu = ordres.arretOperateur;
    return r;
}

const char* texte(EtatMarche etat)
{
    switch (etat) {
    case EtatMarche::EnCours:
        return VoletMarche::TexteEnCours;
    case EtatMarche::Arrive:
        return VoletMarche::TexteArrive;
    case EtatMarche::Arrete:
        return VoletMarche::TexteArrete;
    case EtatMarche::SansDestination:
        return VoletMarche::TexteSansDestination;
    case EtatMarche::EnRoute:
        return VoletMarche::TexteEnRoute;
    case EtatMarche::PasDeChemin:
        return VoletMarche::TextePasDeChemin;
    case EtatMarche::RobotPerdu:
        return VoletMarche::TexteRobotPerdu;
    case EtatMarche::Repos:
        break;
    }
    return "";
}

} // namespace

VoletMarche::VoletMarche(QWidget* parent)
    : VoletTexte(parent)
{
    setObjectName(QStringLiteral("voletMarche"));
    setGabarits({QString::fromUtf8(TexteEnCours), QString::fromUtf8(TextePasDeChemin),
                 QString::fromUtf8(TexteArrete)});
}

void VoletMarche::surGo()
{
    m_suivi.surGo(monde().destination.lire().placee);
    actualiser();
}

void VoletMarche::surArret()
{
    m_suivi.surArret();
    afficher();
}

void VoletMarche::actualiser()
{
    RegardMarche regard = regarderMonde();
    regard.lien = m_sante ? m_sante() : EtatSante::Ferme;
    m_suivi.observer(regard);
    afficher();
}

void VoletMarche::afficher()
{
    const QString nouveau = QString::fromUtf8(texte(m_suivi.etat()));
    if (text() != nouveau) {
        setText(nouveau);
    }
}
