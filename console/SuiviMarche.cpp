#include "console/SuiviMarche.h"

void SuiviMarche::surGo(bool destinationPlacee)
{
    // Without a destination the run ends at once: nothing would move.
    m_etat = destinationPlacee ? EtatMarche::EnCours : EtatMarche::SansDestination;
}

void SuiviMarche::surArret()
{
    m_etat = EtatMarche::Arrete;
}

bool SuiviMarche::enMarche() const
{
    return m_etat == EtatMarche::EnRoute || m_etat == EtatMarche::PasDeChemin ||
           m_etat == EtatMarche::RobotPerdu;
}

EtatMarche SuiviMarche::observer(const RegardMarche& r)
{
    // Held, the robot stands still whatever else is true.
    if (r.retenu) {
        m_etat = EtatMarche::Arrete;
        return m_etat;
    }
    if (m_etat == EtatMarche::Arrete) {
        // Resumed: a virtual run still going goes on, and a robot on the
        // line is told from what follows.
        m_etat = r.simulations > 0 && !r.surDestination ? EtatMarche::EnCours : EtatMarche::Repos;
    }
    // A virtual run is told from its own start to its own end.
    if (m_etat == EtatMarche::EnCours) {
        if (r.surDestination) {
            m_etat = EtatMarche::Arrive;
        } else if (r.simulations == 0) {
            m_etat = EtatMarche::Repos;
        }
        return m_etat;
    }
    if (m_etat == EtatMarche::SansDestination) {
        if (r.destinationPlacee) {
            m_etat = EtatMarche::Repos;
        }
        return m_etat;
    }

    // A robot on the line.
    if (!r.destinationPlacee) {
        if (enMarche()) {
            m_etat = EtatMarche::Repos;
        }
        return m_etat;
    }
    if (r.lien == EtatSante::Perdu || r.lien == EtatSante::Deconnecte) {
        if (enMarche()) {
            m_etat = EtatMarche::RobotPerdu;
        }
        return m_etat;
    }
    if (r.lien != EtatSante::Reception) {
        // Closed, or opened again and no frame yet: nothing new is known.
        return m_etat;
    }
    if (r.surDestination) {
        m_etat = EtatMarche::Arrive;
    } else if (r.sansChemin) {
        m_etat = EtatMarche::PasDeChemin;
    } else if (r.pilote) {
        m_etat = EtatMarche::EnRoute;
    }
    // Otherwise the wheels stand still between two choices of the
    // navigation: the state stays.
    return m_etat;
}
