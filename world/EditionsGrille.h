#pragma once

#include "world/Planificateur.h"

/**
 * The map edits of GridEdits.h on a grid of one's own (a replay's field),
 * with the same margins: they read and write `grille` alone, never the
 * world, and tell no one. Cells are the field's (column x, row y, 0 .. 19
 * each); a cell out of the field is ignored. Each returns true when the
 * cell changed.
 */

/** An operator obstacle painted, on a free or margin cell only (PlaceObstacle). */
bool peindreObstacle(GrilleMonde& grille, int x, int y);
/** An operator obstacle erased (EraseObstacle): the cell must hold one. */
bool effacerObstacle(GrilleMonde& grille, int x, int y);
/** An obstacle found by the robot, whatever the cell held (MarkObstacle). */
bool marquerObstacle(GrilleMonde& grille, int x, int y);
/** Any obstacle removed (ClearObstacle). */
bool retirerObstacle(GrilleMonde& grille, int x, int y);
