#pragma once

class QImage;

/**
 * Paints the whole map from the world state into a 500 x 500 image, layer
 * by layer: white field with its frame, cells by value, grid lines when they
 * are on, destination marker (snapped to its cell centre, which is stored
 * back), planned path, robot picture for its heading, bandit once placed.
 *
 * Shapes follow the conventions of the original drawing calls: a rectangle
 * or ellipse with corners (l, t) - (r, b) covers pixels l .. r-1 and t .. b-1,
 * and a line leaves out its end point.
 */
void renderMap(QImage& image);
