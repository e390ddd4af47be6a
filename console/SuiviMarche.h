#pragma once

#include "console/SanteLien.h"

/** What the run pane says. */
enum class EtatMarche {
    Repos,           ///< nothing to tell
    SansDestination, ///< "Go!!!" without a destination
    EnCours,         ///< a virtual run goes on
    Arrive,          ///< the robot stands on the destination
    Arrete,          ///< the operator holds the robot ("Arrêt", "Saisie", the stop key)
    EnRoute,         ///< a robot on the line is steered towards the destination
    PasDeChemin,     ///< a robot on the line, a destination, and no route to it
    RobotPerdu,      ///< the link was lost while the robot was on its way
};

/** One look at the world and the link, as the run pane needs it. */
struct RegardMarche {
    /** A destination has been placed. */
    bool destinationPlacee = false;
    /** The robot's known cell is the destination's cell. */
    bool surDestination = false;
    /** The navigation steers the robot: a wheel code is not 0, or a turn waits to go out. */
    bool pilote = false;
    /** The last route search found nothing. */
    bool sansChemin = false;
    /** Virtual runs still going. */
    int simulations = 0;
    /** The operator holds the robot until resumed. */
    bool retenu = false;
    /** The link's health. */
    EtatSante lien = EtatSante::Ferme;
};

/**
 * The run's state, for a virtual run ("Go!!!") and for a robot on the line
 * alike. A virtual run is told from its buttons and ends on arrival or
 * when its threads end. A robot on the line (frames arriving) is en route
 * once a destination is placed and the navigation steers it, arrived when
 * its known cell is the destination's, without a route when the search
 * finds none, and lost when the link is lost while it was on its way; it
 * is en route again once frames come back and the navigation steers it.
 * While the operator holds the robot nothing else is told; after the resume
 * the run is told afresh. Plain C++.
 */
class SuiviMarche {
public:
    /** "Go!!!" was pressed: a run with a destination, or a word about the missing one. */
    void surGo(bool destinationPlacee);
    /** "Arrêt" or "Saisie" was pressed: the robot is held. */
    void surArret();
    /** One look; returns the state after it. */
    EtatMarche observer(const RegardMarche& regard);

    EtatMarche etat() const { return m_etat; }

private:
    /** A robot on the line is on its way (or was, when its link went). */
    bool enMarche() const;

    EtatMarche m_etat = EtatMarche::Repos;
};
