#pragma once

/**
 * Edits of the grid that keep its invariant: a free cell never touches an
 * obstacle (1 or 3) among its eight neighbours. Rows and columns are grid
 * indices (cell + 1). Edits aimed at the border or outside the grid are
 * ignored, so the border always holds 1 and no neighbour access leaves the
 * array. None of them redraws; the callers do. Each edit that changed a
 * cell is told to the observer of edits (EditionsMonde.h).
 */

/** Operator obstacle at (r, c) with its margin, on a free or margin cell only. */
void PlaceObstacle(int r, int c);

/** Removes the operator obstacle under map point (px, py) in cm and mends the margin. */
void EraseObstacle(int px, int py);

/** Obstacle found by the robot at (r, c), whatever the cell held; flags the change. */
void MarkObstacle(int r, int c);

/** Removes any obstacle at (r, c), mends the margin; flags the change. */
void ClearObstacle(int r, int c);
