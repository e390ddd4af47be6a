#pragma once

#include "world/Planificateur.h"

/**
 * The way out for a robot that the route search cannot move: its cell is a
 * margin (or a marked obstacle) and every move the search allows is
 * refused. The escape is the cheapest walk (10 straight, 14 diagonal) from
 * `depart` through cells the robot can physically cross, margins and free
 * cells, to the nearest free cell from which `planifier` reaches `but`. It
 * never enters an obstacle (1 or 3), nor the field's outer ring unless the
 * robot stands in it (squeezed there, it leaves along it), and a
 * diagonal step never grazes an obstacle's corner (both cells beside it must
 * be no obstacle). The start cell itself is not tested.
 *
 * `resultat` takes the same form as a route: `chemin` from the exit (element
 * 0) back to the cell next to the start, `directions` the escape search's
 * map; `trouve` is false when no exit is reachable, when `but` is not free,
 * when a cell lies outside the field, or when `depart` is itself such a free
 * cell (the route search needs no escape from there). Pure: it reads `grille` alone and
 * writes `resultat` alone.
 */
void planifierEvasion(const GrilleMonde& grille, Point depart, Point but, Itineraire& resultat);
