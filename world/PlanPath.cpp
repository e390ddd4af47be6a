#include "world/PlanPath.h"

#include "core/MonceauBin.h"
#include "world/MapDisplay.h"
#include "world/WorldState.h"

namespace {

bool dansLeTerrain(int x, int y)
{
    return x >= 0 && x < geo::Cells && y >= 0 && y < geo::Cells;
}

/** No route: stop the wheels, show it, forget the first step. */
void echec()
{
    SetWheels(0, 0);
    ShowWheelSpeedsOnMap();
    g_cmdLeft = 0;
    g_cmdRight = 0;
    g_firstStep = 0;
}

/**
 * The search proper. Neighbours outside the field are border cells (1), so
 * they are refused on their grid value before g_directions is read.
 */
void chercher(int sx, int sy, int gx, int gy)
{
    MonceauBin<PathNode> ouverts(100);
    for (auto& ligne : g_directions) {
        for (int& d : ligne) {
            d = -1;
        }
    }

    PathNode courant{0, 0, sx, sy};
    bool fini = false;
    while (!fini) {
        g_directions[courant.y][courant.x] = courant.direction;
        if (courant.x == gx && courant.y == gy) {
            fini = true;
        }
        for (int k = 1; k <= 8; ++k) {
            const geo::Step& pas = geo::Steps[k];
            const int nx = courant.x + pas.dx;
            const int ny = courant.y + pas.dy;
            if (valeurCellule(nx, ny) != 0 || g_directions[ny][nx] != -1) {
                continue;
            }
            if (geo::estDiagonale(k) && valeurCellule(nx, courant.y) != 0 &&
                valeurCellule(courant.x, ny) != 0) {
                continue;
            }
            ouverts.inserer({courant.cost + pas.cost, k, nx, ny});
        }
        while (!fini) {
            if (ouverts.taille() == 0) {
                echec();
                fini = true;
            } else {
                ouverts.extraireMinimum(courant);
                if (g_directions[courant.y][courant.x] == -1) {
                    break;
                }
            }
        }
    }
}

} // namespace

void PlanPath(int sx, int sy, int gx, int gy)
{
    const bool possible = dansLeTerrain(sx, sy) && dansLeTerrain(gx, gy);
    if (possible) {
        chercher(sx, sy, gx, gy);
    } else {
        echec();
    }

    {
        VerrouMonde verrou(g_pathLock);
        g_path.vider();
        if (possible) {
            int x = gx;
            int y = gy;
            for (int v = g_directions[y][x]; v != 0 && v != -1; v = g_directions[y][x]) {
                g_path.inserer({0, v, x, y});
                g_firstStep = v;
                x -= geo::Steps[v].dx;
                y -= geo::Steps[v].dy;
            }
        }
    }

    if (g_firstStep != 0 || g_noPathShown == 0) {
        RedrawMap();
        g_noPathShown = g_firstStep == 0 ? 1 : 0;
    }
    g_mapChanged = 0;
}
