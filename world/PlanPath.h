#pragma once

/**
 * Cheapest route over eight neighbours (10 straight, 14 diagonal) from cell
 * (sx, sy) to cell (gx, gy), Dijkstra's search with a binary heap and lazy
 * deletion. Fills g_directions, rebuilds g_path under g_pathLock and sets
 * g_firstStep. When no route exists the wheels are stopped and g_path is
 * left empty. Redraws the map unless it already shows the last failure, and
 * clears g_mapChanged. Cells outside the field count as unreachable.
 */
void PlanPath(int sx, int sy, int gx, int gy);
