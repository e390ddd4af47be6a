#pragma once

#include "world/Geometry.h"

/**
 * The rule every edit of a grid keeps, whichever grid it is (the world's
 * shared one, a replay's own): a free cell never touches an obstacle (1 or
 * 3) among its eight neighbours. Rows and columns are grid indices (cell +
 * 1); the callers check that (r, c) lies in the field, so no neighbour
 * access leaves the grid.
 */
namespace marges {

/** Row and column offsets of the eight neighbours, clockwise from up-left. */
inline constexpr int VoisinLigne[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
inline constexpr int VoisinColonne[8] = {-1, 0, 1, 1, 1, 0, -1, -1};

/** True for a cell of the field (not the border, not outside). */
inline bool dansLeTerrain(int r, int c)
{
    return r >= 1 && r <= geo::Cells && c >= 1 && c <= geo::Cells;
}

inline bool estObstacle(int valeur)
{
    return valeur == 1 || valeur == 3;
}

/** A cell touches an obstacle when one of its eight neighbours holds 1 or 3. */
template <class Grille>
bool toucheObstacle(const Grille& grille, int r, int c)
{
    for (int k = 0; k < 8; ++k) {
        if (estObstacle(grille[r + VoisinLigne[k]][c + VoisinColonne[k]])) {
            return true;
        }
    }
    return false;
}

/** Turns the free neighbours of (r, c) into margin. */
template <class Grille>
void entourerDeMarge(Grille& grille, int r, int c)
{
    for (int k = 0; k < 8; ++k) {
        auto& voisin = grille[r + VoisinLigne[k]][c + VoisinColonne[k]];
        if (voisin == 0) {
            voisin = 2;
        }
    }
}

/**
 * After removing the obstacle at (r, c): the cell becomes margin or free,
 * and neighbouring margin cells that no longer touch an obstacle are freed.
 * Margin cells of the outer ring keep touching the border.
 */
template <class Grille>
void recalculerMarge(Grille& grille, int r, int c)
{
    grille[r][c] = toucheObstacle(grille, r, c) ? 2 : 0;
    for (int k = 0; k < 8; ++k) {
        const int vr = r + VoisinLigne[k];
        const int vc = c + VoisinColonne[k];
        if (grille[vr][vc] == 2 && !toucheObstacle(grille, vr, vc)) {
            grille[vr][vc] = 0;
        }
    }
}

} // namespace marges
