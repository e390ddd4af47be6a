#include "world/GridEdits.h"

#include "world/EditionsMonde.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

namespace {

/** Row and column offsets of the eight neighbours, clockwise from up-left. */
constexpr int VoisinLigne[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
constexpr int VoisinColonne[8] = {-1, 0, 1, 1, 1, 0, -1, -1};

/** True for a cell of the field (not the border, not outside). */
bool dansLeTerrain(int r, int c)
{
    return r >= 1 && r <= geo::Cells && c >= 1 && c <= geo::Cells;
}

bool estObstacle(int valeur)
{
    return valeur == 1 || valeur == 3;
}

/** A cell touches an obstacle when one of its eight neighbours holds 1 or 3. */
bool toucheObstacle(int r, int c)
{
    for (int k = 0; k < 8; ++k) {
        if (estObstacle(g_grid[r + VoisinLigne[k]][c + VoisinColonne[k]])) {
            return true;
        }
    }
    return false;
}

/** Turns the free neighbours of (r, c) into margin. */
void entourerDeMarge(int r, int c)
{
    for (int k = 0; k < 8; ++k) {
        Relaxed<int>& voisin = g_grid[r + VoisinLigne[k]][c + VoisinColonne[k]];
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
void recalculerMarge(int r, int c)
{
    g_grid[r][c] = toucheObstacle(r, c) ? 2 : 0;
    for (int k = 0; k < 8; ++k) {
        const int vr = r + VoisinLigne[k];
        const int vc = c + VoisinColonne[k];
        if (g_grid[vr][vc] == 2 && !toucheObstacle(vr, vc)) {
            g_grid[vr][vc] = 0;
        }
    }
}

} // namespace

void PlaceObstacle(int r, int c)
{
    if (!dansLeTerrain(r, c)) {
        return;
    }
    const int valeur = g_grid[r][c];
    if (valeur != 0 && valeur != 2) {
        return;
    }
    g_grid[r][c] = 1;
    entourerDeMarge(r, c);
    notifyWorldChange();
    signalerEdition({GenreEditionMonde::Peinte, c - 1, r - 1});
}

void EraseObstacle(int px, int py)
{
    if (px < 0 || py < 0) {
        return;
    }
    const int r = py / geo::CellSize + 1;
    const int c = px / geo::CellSize + 1;
    if (!dansLeTerrain(r, c) || g_grid[r][c] != 1) {
        return;
    }
    recalculerMarge(r, c);
    notifyWorldChange();
    signalerEdition({GenreEditionMonde::Effacee, c - 1, r - 1});
}

void MarkObstacle(int r, int c)
{
    if (!dansLeTerrain(r, c)) {
        return;
    }
    g_mapDirty = 1;
    g_mapChanged = 1;
    g_grid[r][c] = 3;
    entourerDeMarge(r, c);
    // Again once the grid holds the edit: a search that took the flag
    // in between plans once more.
    g_mapChanged = 1;
    notifyWorldChange();
    signalerEdition({GenreEditionMonde::Trouvee, c - 1, r - 1});
}

void ClearObstacle(int r, int c)
{
    if (!dansLeTerrain(r, c)) {
        return;
    }
    const bool obstacle = estObstacle(g_grid[r][c]);
    g_mapDirty = 1;
    g_mapChanged = 1;
    recalculerMarge(r, c);
    g_mapChanged = 1;
    notifyWorldChange();
    if (obstacle) {
        signalerEdition({GenreEditionMonde::Retiree, c - 1, r - 1});
    }
}
