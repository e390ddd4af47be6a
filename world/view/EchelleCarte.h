#pragma once

#include "world/Geometry.h"

#include <algorithm>

/**
 * The map window's scale: the map's 501 pixels (the field's 500 and the
 * closing frame) fill a square window `cote` pixels wide. A window pixel
 * shows the map pixel whose scaled area holds the pixel's centre; the
 * mouse reads the same map pixel, so an edit lands in the cell the
 * operator sees under the pointer. Integer arithmetic throughout: exact at
 * every size.
 */
namespace echelle {

/** Pixels of the map at scale 1, frame included. */
inline constexpr int CoteNaturel = geo::MapSize + 1;

/**
 * The map pixel (0 .. 500) shown at window pixel `p`; -1 before the window,
 * 501 after it (a drag past the map's edge, which edits nothing).
 */
inline constexpr int versCarte(int p, int cote)
{
    if (p < 0) {
        return -1;
    }
    if (p >= cote) {
        return CoteNaturel;
    }
    return std::min((2 * p + 1) * CoteNaturel / (2 * cote), geo::MapSize);
}

/** The first window pixel that shows map pixel `m` or one after it. */
inline constexpr int premierPixel(int m, int cote)
{
    const int numerateur = 2 * m * cote - CoteNaturel;
    return numerateur <= 0 ? 0 : (numerateur + 2 * CoteNaturel - 1) / (2 * CoteNaturel);
}

} // namespace echelle
