#pragma once

class QImage;
struct Instantane;

/**
 * Paints the whole map from a picture of the world into a 500 x 500 image,
 * layer by layer: white field with its frame, cells by value, grid lines
 * when they are on, destination marker (at its cell's centre), planned
 * route, robot picture for its heading, bandit once placed. It reads the
 * picture alone and writes nothing but the image.
 *
 * Shapes follow one drawing convention throughout: a rectangle or ellipse
 * with corners (l, t) - (r, b) covers pixels l .. r-1 and t .. b-1, and a
 * line leaves out its end point.
 */
void renderMap(QImage& image, const Instantane& monde);
