#pragma once

#include "world/CelluleContact.h"
#include "world/FiltrePosition.h"
#include "world/Geometry.h"
#include "world/Relaxed.h"
#include "world/WorldState.h"

#include <atomic>

/**
 * Where the robot truly is, when the filter is on (monde().suivi.actif,
 * the setting Navigation/Filtre): each frame's estimate goes through the
 * position filter (FiltrePosition.h) and the world's robot is the filtered
 * position; the raw estimate stays beside it for the map and the log.
 *
 * The known cell enters the destination's cell only once the filtered
 * position lies inside it by a margin its spread sets, so that "arrived" is
 * said in the true goal cell. A cell the robot has been confidently inside
 * is part of its footprint: a contact mark there is cleared, and none is
 * placed there again. Contact marks remember their origin: a cell the
 * bumper marked in this session (never one painted by the operator or
 * loaded with the field) counts its contacts, and the navigation's recovery
 * may clear the marks that a second contact never confirmed.
 *
 * With the filter off, none of this runs: the world is the specified one.
 */

/** Forgets the filter, the footprint and the contact marks (a new or reopened field). */
void oublierPositionFiltree();

/**
 * A frame's estimate (cm) through the filter, under the robot's lock
 * (Monde::robot): places the robot at the filtered position, its pose
 * whole, its cell kept out of the goal cell until inside it by the margin.
 * Returns whether the robot's position changed; `aEffacer` gets a footprint
 * cell (x, y) whose contact mark must be cleared (the caller does it), or
 * (-1, -1).
 */
bool filtrerPosition(double x, double y, Point& aEffacer);

/**
 * The command that answered a frame, for the filter's next prediction,
 * under the robot's lock. `cap` is the heading code the robot had before the
 * turn, the filter's first heading while it has none.
 */
void noterCommandeFiltre(int gauche, int droite, int virage, bool contact, int cap);

/**
 * The cell (or wall) a contact touched, from the filtered position and
 * heading (CelluleContact.h); `cap` is the navigation's heading code, used
 * while the filter has none. Nothing when the filter has not started.
 * Reads the filter under the robot's lock.
 */
contact::Touche celluleDuContact(int bit0, int bit1, int cap);

/** True when cell (x, y) is part of the robot's footprint (and the filter is on). */
bool celluleFoulee(int x, int y);

/**
 * Cell (x, y) was just marked by the bumper from a free or margin cell: one
 * contact, or two when a recovery had cleared it before.
 */
void noterMarqueContact(int x, int y);

/** A contact again on contact mark (x, y): confirmed. */
void confirmerMarqueContact(int x, int y);

/**
 * Clears every unconfirmed contact mark within `rayon` cells of `robot` or
 * `but`, and, when the goal cell is a margin or marked, every contact mark
 * bordering it, confirmed or not (ClearObstacle: the margins are mended and
 * the removal recorded; painted and loaded obstacles stay). No world lock
 * may be held. Returns the count cleared.
 */
int degagerMarquesContact(Point robot, Point but, int rayon);
