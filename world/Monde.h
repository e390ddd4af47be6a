#pragma once

#include "world/DestinationRobot.h"
#include "world/DrapeauxMonde.h"
#include "world/Garde.h"
#include "world/GrillePartagee.h"
#include "world/MarqueBandit.h"
#include "world/OrdresRobot.h"
#include "world/PartieRobot.h"
#include "world/RoutePlanifiee.h"
#include "world/SuiviPosition.h"

/**
 * The world the console's threads share, one part beside the lock that
 * guards each: a part is read and written whole through its guard; the
 * grid's cells and the flags are whole values by themselves.
 * docs/conception.md keeps the table of where each original variable lives.
 */
class Monde {
public:
    /** The field's grid, relaxed cells, with its change flag. */
    GrillePartagee grille;
    /** The flags and counters, each a whole value. */
    DrapeauxMonde drapeaux;
    /** The robot's pose and the position filter that sets it. */
    PartieRobot robot;
    /** The wheel codes, the turn order, the heading and the operator's hold. */
    Garde<OrdresRobot> ordres;
    /** Where the robot is sent (SetDestination writes it). */
    Garde<DestinationRobot> destination;
    /** The bandit's marker (the map's "Bandit" tool places it). */
    Garde<MarqueBandit> bandit;
    /** The last planned route or escape (PlanPath, chercherEvasion write it). */
    Garde<RoutePlanifiee> route;
    /** The position filter and the contact marks (PositionFiltree.h). */
    SuiviPosition suivi;
};

/** The program's world: the one the threads, the view and the tools work on. */
Monde& monde();
