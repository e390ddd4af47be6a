#pragma once

#include "world/Geometry.h"
#include "world/Monde.h"

/** Grid value of cell (x, y) of the field (x, y may be -1 or 20: the border). */
inline int valeurCellule(int x, int y)
{
    return monde().grille[y + 1][x + 1];
}

/** The initial world: empty field ringed by margin, robot at (25, 25), no destination. */
void InitWorld();

/**
 * Stops the world threads (StopWorldThreads) and puts every piece of world
 * state back to the value the program starts with: the grid, the path and
 * the planner's map, the robot, the destination and the bandit, every flag
 * (monde().drapeaux.miseEnPlaceAttendue back to 1, so that the next map window runs InitWorld),
 * the wheels, the heading, the turn order, the pass count, no map window
 * and the steady world clock. This is the one list of those values; the
 * program starts with it. No world lock may be held by the caller.
 */
void ResetWorld();

/**
 * Puts the robot at (x, y) cm by hand, its cell (x / 25, y / 25), and wakes
 * the waiters: the filter starts again from the next estimate.
 */
void SetRobotPosition(int x, int y);

/**
 * Sets the destination (monde().destination: the marker, its cell, placed)
 * whole; the observer of edits hears of it.
 */
void SetDestination(int x, int y);

/** Sets both wheel codes (monde().ordres); 0 and 0 while the operator holds the robot. */
void SetWheels(int gauche, int droite);

/** The robot's estimated heading (1 .. 8, 0 unknown; the heading after a pending turn). */
int capRobot();

/** Sets the robot's estimated heading (1 .. 8, 0 unknown), alone. */
void fixerCap(int cap);

/** True while the operator holds the robot (OrdresRobot::arretOperateur). */
bool operateurTient();

/**
 * The operator holds the robot (OrdresRobot::arretOperateur): the wheel
 * codes go to 0 in the same write, so that the very next reply is neutral,
 * and the world's waiters wake. Returns false when it was already held.
 */
bool ArreterOperateur();

/** The operator's resume: the hold ends and the navigation steers again. False when not held. */
bool ReprendreOperateur();

/** Sets monde().drapeaux.simulation and wakes the threads that watch it. */
void SetSimRunning(int valeur);

/**
 * The turn order went out to the robot: clears the order (its code and its
 * pending flag, in one write) and wakes its requester. The link's reflex clears it
 * in ReportRobotStatus; this is the same for a caller with no reply to send.
 */
void TurnTransmitted();

/**
 * The heading the robot has now, for a contact it reports: while a turn
 * order waits to go out, the heading before it (the robot touched before it
 * turned); otherwise the heading. Read whole, so never a heading half-made;
 * 0 while unknown, else 1 .. 8.
 */
int capAuContact();
