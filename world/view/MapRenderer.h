#pragma once

#include "world/Planificateur.h"

#include <QImage>

class QPainter;

struct Instantane;

/**
 * Paints the whole map from a picture of the world into a 500 x 500 image,
 * layer by layer: white field with its frame, cells by value, grid lines
 * when they are on, destination marker (at its cell's centre), planned
 * route (dashed when it is an escape), robot picture for its heading, bandit
 * once placed. It reads the
 * picture alone and writes nothing but the image.
 *
 * Shapes follow one drawing convention throughout: a rectangle or ellipse
 * with corners (l, t) - (r, b) covers pixels l .. r-1 and t .. b-1, and a
 * line leaves out its end point.
 */
void renderMap(QImage& image, const Instantane& monde);

/**
 * The same painting through a painter (the map window's), keeping the
 * layers that change least (the field, its cells and grid lines) in an image
 * of their own, painted again only when the grid or the grid lines change: a
 * picture then costs that image drawn and the markers over it.
 */
class RenduCarte {
public:
    void rendre(QPainter& p, const Instantane& monde);

private:
    QImage m_fond;
    GrilleMonde m_grille{};
    bool m_quadrillage = false;
    bool m_valide = false;
};
