#pragma once

#include "world/Geometry.h"

/** Why the planner finds no route from the robot's cell to the destination's. */
enum class RaisonSansChemin {
    /** A route exists, or there is nothing to join (no destination, already there). */
    Aucune,
    /** The destination cell is an obstacle or a safety margin: no route ever ends there. */
    DestinationBloquee,
    /** The robot cannot get out: no move leaves its cell, or its free area reaches no edge. */
    RobotEnferme,
    /** Both are free but obstacles separate them. */
    Separes,
};

/**
 * Looks, beside the planner and by its rules (only free cells are entered,
 * the start cell is not tested, a diagonal step needs one free side), for
 * why no route joins `depart` to `but`, both cells of the field. Reads the
 * grid without a lock, as the planner does.
 */
RaisonSansChemin raisonSansChemin(Point depart, Point but);

/** The operator's text for `raison`, in French; empty for Aucune. */
const char* texteRaisonSansChemin(RaisonSansChemin raison);
