#pragma once

#include "world/Planificateur.h"

#include <QImage>
#include <vector>

class QPainter;

struct Instantane;

/**
 * Paints the whole map from a picture of the world into a 500 x 500 image,
 * layer by layer: white field with its frame, cells by value, grid lines
 * when they are on, destination marker (at its cell's centre), planned
 * route (dashed when it is an escape), robot picture for its heading, the
 * raw estimate's faint ring when the filter shows one, bandit
 * once placed. It reads the
 * picture alone and writes nothing but the image.
 *
 * Shapes follow one drawing convention throughout: a rectangle or ellipse
 * with corners (l, t) - (r, b) covers pixels l .. r-1 and t .. b-1, and a
 * line leaves out its end point.
 */
void renderMap(QImage& image, const Instantane& monde);

/** Radius of the raw estimate's faint ring, map pixels (drawn round its point). */
inline constexpr int RayonBrut = 4;

/**
 * The same painting through a painter (the map window's), at the window's
 * size: the map's 501 pixels fill a square `cote` pixels wide (scale 1 at
 * 501). The layers that change least (the field, its cells, the grid lines
 * and the closing frame) are kept in an image of their own, painted again
 * only when the grid or the grid lines change, and scaled again only then or
 * when the size changes: a picture then costs that image drawn and the
 * markers over it.
 */
class RenduCarte {
public:
    void rendre(QPainter& p, const Instantane& monde, int cote = geo::MapSize + 1);

private:
    void mettreAEchelle(int cote);
    /** The field layer made smaller: means of the map pixels each window pixel covers. */
    void reduire(int cote);

    QImage m_fond;
    QImage m_fondEchelle;
    std::vector<int> m_colonnes;
    /** Smaller sizes: the first map pixel of each window pixel, and the rows averaged across. */
    std::vector<int> m_debuts;
    std::vector<int> m_lignes;
    GrilleMonde m_grille{};
    int m_cote = 0;
    bool m_quadrillage = false;
    bool m_valide = false;
};
