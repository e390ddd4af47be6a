#pragma once

#include "world/Geometry.h"

/**
 * The navigation's escape step, for a robot that the route search leaves
 * where it stands although it could drive out: called after PlanPath found
 * no route from `robot` to `but`: the robot's cell is a margin or a mark, or
 * a free cell walled in by margins. When escapes are allowed
 * (monde().drapeaux.evasionPermise) it looks for the way out (planifierEvasion) on a copy
 * of the grid; if there is one it is stored as
 * the route is: monde().route whole, flagged as an escape, then
 * monde().drapeaux.premierPas; the map is told. Returns true then; otherwise it changes
 * nothing and the failed search stands.
 */
bool chercherEvasion(Point robot, Point but);
