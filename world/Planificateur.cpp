#include "world/Planificateur.h"

#include "core/MonceauBin.h"
#include "world/PositionFiltree.h"
#include "world/WorldState.h"

#include <cstddef>

namespace {

bool dansLeTerrain(Point p)
{
    return p.x >= 0 && p.x < geo::Cells && p.y >= 0 && p.y < geo::Cells;
}

} // namespace

void copierGrille(GrilleMonde& grille)
{
    for (int r = 0; r < geo::GridSize; ++r) {
        for (int c = 0; c < geo::GridSize; ++c) {
            grille[r][c] = monde().grille[r][c];
        }
    }
}

bool butEnMargeOuvert(Point but)
{
    // The outer ring lies along the field's wall: it stays closed.
    constexpr int Dernier = geo::Cells - 1;
    if (monde().suivi.actif == 0 || but.x < 1 || but.y < 1 || but.x >= Dernier ||
        but.y >= Dernier || valeurCellule(but.x, but.y) != 2) {
        return false;
    }
    // Every obstacle beside it must be a contact mark of this session.
    for (int y = but.y - 1; y <= but.y + 1; ++y) {
        for (int x = but.x - 1; x <= but.x + 1; ++x) {
            const int v = valeurCellule(x, y);
            if (v == 1 || (v == 3 && monde().suivi.marquesContact[y][x] == 0)) {
                return false;
            }
        }
    }
    return true;
}

void copierGrille(GrilleMonde& grille, Point but)
{
    copierGrille(grille);
    if (butEnMargeOuvert(but)) {
        grille[but.y + 1][but.x + 1] = 0;
    }
}

void Itineraire::effacer()
{
    longueur = 0;
    trouve = false;
    for (auto& ligne : directions) {
        for (int& d : ligne) {
            d = -1;
        }
    }
}

bool Itineraire::remonterDepuis(Point fin)
{
    int x = fin.x;
    int y = fin.y;
    longueur = 0;
    for (int v = directions[y][x]; v != 0 && v != -1; v = directions[y][x]) {
        chemin[static_cast<std::size_t>(longueur++)] = {0, v, x, y};
        x -= geo::Steps[v].dx;
        y -= geo::Steps[v].dy;
    }
    return directions[fin.y][fin.x] != -1;
}

void planifier(const GrilleMonde& grille, Point depart, Point but, Itineraire& resultat)
{
    resultat.effacer();
    if (!dansLeTerrain(depart) || !dansLeTerrain(but)) {
        return;
    }
    // Neighbours outside the field are border cells (1): refused on their
    // value before the direction map is read.
    const auto valeur = [&grille](int x, int y) { return grille[y + 1][x + 1]; };
    auto& directions = resultat.directions;
    MonceauBin<PathNode> ouverts(100);
    PathNode courant{0, 0, depart.x, depart.y};
    for (;;) {
        directions[courant.y][courant.x] = courant.direction;
        const bool arrive = courant.x == but.x && courant.y == but.y;
        for (int k = 1; k <= 8; ++k) {
            const geo::Step& pas = geo::Steps[k];
            const int nx = courant.x + pas.dx;
            const int ny = courant.y + pas.dy;
            if (valeur(nx, ny) != 0 || directions[ny][nx] != -1) {
                continue;
            }
            if (geo::estDiagonale(k) && valeur(nx, courant.y) != 0 && valeur(courant.x, ny) != 0) {
                continue;
            }
            ouverts.inserer({courant.cost + pas.cost, k, nx, ny});
        }
        if (arrive) {
            break;
        }
        // The next cell not settled yet; none left: no route.
        bool suivant = false;
        while (ouverts.taille() > 0) {
            ouverts.extraireMinimum(courant);
            if (directions[courant.y][courant.x] == -1) {
                suivant = true;
                break;
            }
        }
        if (!suivant) {
            break;
        }
    }
    // Walked back from the goal; an unreached goal gives an empty route.
    resultat.trouve = resultat.remonterDepuis(but);
}
