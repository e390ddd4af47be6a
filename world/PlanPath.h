#pragma once

#include "world/Planificateur.h"

/**
 * The route from cell (sx, sy) to cell (gx, gy) into the world: the search
 * (`planifier`, pure) runs on a copy of the grid, then its outcome is stored:
 * monde().route whole (no escape), monde().drapeaux.premierPas. When no route exists the
 * wheels are stopped and the route is left empty. The display is told unless
 * it already shows the last failure. monde().grille.modifiee is taken before the grid is
 * read, so an edit made during the search is never lost. Cells outside the
 * field count as unreachable. With the position filter on, a goal that is
 * only a margin made by contact marks may end the route (butEnMargeOuvert).
 */
void PlanPath(int sx, int sy, int gx, int gy);

/** The same with another search (tests). */
void PlanPathAvec(int sx, int sy, int gx, int gy, const Planificateur& rechercher);
