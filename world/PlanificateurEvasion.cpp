#include "world/PlanificateurEvasion.h"

#include "core/MonceauBin.h"

#include <array>
#include <cstddef>

namespace {

constexpr int Dernier = geo::Cells - 1;

bool dansLeTerrain(Point p)
{
    return p.x >= 0 && p.x < geo::Cells && p.y >= 0 && p.y < geo::Cells;
}

using Carte = std::array<std::array<bool, geo::Cells>, geo::Cells>;

/**
 * The free cells from which the route search reaches `but`: those joined to
 * it by the search's own moves (free cells only, a diagonal step beside one
 * free cell at least). The moves are the same both ways, so a walk from `but`
 * finds them.
 */
void zoneDuBut(const GrilleMonde& grille, Point but, Carte& zone)
{
    const auto valeur = [&grille](int x, int y) { return grille[y + 1][x + 1]; };
    for (auto& ligne : zone) {
        ligne.fill(false);
    }
    if (valeur(but.x, but.y) != 0) {
        return;
    }
    std::array<Point, geo::CellulesTerrain> file{};
    std::size_t lus = 0;
    std::size_t ecrits = 0;
    file[ecrits++] = but;
    zone[but.y][but.x] = true;
    while (lus < ecrits) {
        const Point p = file[lus++];
        for (int k = 1; k <= 8; ++k) {
            const geo::Step& pas = geo::Steps[k];
            const int nx = p.x + pas.dx;
            const int ny = p.y + pas.dy;
            // Outside the field the border holds 1: refused before `zone` is read.
            if (valeur(nx, ny) != 0 || zone[ny][nx]) {
                continue;
            }
            if (geo::estDiagonale(k) && valeur(nx, p.y) != 0 && valeur(p.x, ny) != 0) {
                continue;
            }
            zone[ny][nx] = true;
            file[ecrits++] = {nx, ny};
        }
    }
}

} // namespace

void planifierEvasion(const GrilleMonde& grille, Point depart, Point but, Itineraire& resultat)
{
    resultat.effacer();
    if (!dansLeTerrain(depart) || !dansLeTerrain(but)) {
        return;
    }
    Carte sorties;
    zoneDuBut(grille, but, sorties);
    if (!sorties[but.y][but.x] || sorties[depart.y][depart.x]) {
        return;
    }
    const auto valeur = [&grille](int x, int y) { return grille[y + 1][x + 1]; };
    const auto obstacle = [&valeur](int x, int y) {
        const int v = valeur(x, y);
        return v == 1 || v == 3;
    };
    // The outer ring lies along the field's wall: part of an escape only for
    // a robot that stands in it, squeezed there between an obstacle and the
    // wall, which leaves it the way it came.
    const bool dansLAnneau =
        depart.x == 0 || depart.y == 0 || depart.x == Dernier || depart.y == Dernier;
    const auto franchissable = [&obstacle, dansLAnneau](int x, int y) {
        const bool interieur = x >= 1 && y >= 1 && x < Dernier && y < Dernier;
        const bool terrain = x >= 0 && y >= 0 && x <= Dernier && y <= Dernier;
        return (interieur || (dansLAnneau && terrain)) && !obstacle(x, y);
    };
    auto& directions = resultat.directions;
    MonceauBin<PathNode> ouverts(100);
    PathNode courant{0, 0, depart.x, depart.y};
    for (;;) {
        directions[courant.y][courant.x] = courant.direction;
        if (courant.direction != 0 && sorties[courant.y][courant.x]) {
            break;
        }
        for (int k = 1; k <= 8; ++k) {
            const geo::Step& pas = geo::Steps[k];
            const int nx = courant.x + pas.dx;
            const int ny = courant.y + pas.dy;
            if (!franchissable(nx, ny) || directions[ny][nx] != -1) {
                continue;
            }
            // A diagonal step passes the corner the four cells share.
            if (geo::estDiagonale(k) && (obstacle(nx, courant.y) || obstacle(courant.x, ny))) {
                continue;
            }
            ouverts.inserer({courant.cost + pas.cost, k, nx, ny});
        }
        bool suivant = false;
        while (ouverts.taille() > 0) {
            ouverts.extraireMinimum(courant);
            if (directions[courant.y][courant.x] == -1) {
                suivant = true;
                break;
            }
        }
        if (!suivant) {
            return;
        }
    }
    // Walked back from the exit to the start.
    resultat.trouve = resultat.remonterDepuis({courant.x, courant.y});
}
