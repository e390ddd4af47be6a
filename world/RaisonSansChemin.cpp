#include "world/RaisonSansChemin.h"

#include "world/Planificateur.h"
#include "world/WorldState.h"

#include <array>

namespace {

bool dansLeTerrain(Point p)
{
    return p.x >= 0 && p.x < geo::Cells && p.y >= 0 && p.y < geo::Cells;
}

/** A cell next to the field's outer margin ring: the edge of the usable field. */
bool auBord(Point p)
{
    return p.x <= 1 || p.y <= 1 || p.x >= geo::Cells - 2 || p.y >= geo::Cells - 2;
}

/** The grid as the planner sees it for a route to `but`: the goal opened if it may end one. */
struct GrilleVue {
    Point but;
    bool butOuvert;

    int valeur(int x, int y) const
    {
        return butOuvert && x == but.x && y == but.y ? 0 : valeurCellule(x, y);
    }

    /** The planner's move rule from `de` by code k. */
    bool pasPermis(Point de, int k) const
    {
        const geo::Step& pas = geo::Steps[k];
        if (valeur(de.x + pas.dx, de.y + pas.dy) != 0) {
            return false;
        }
        return !geo::estDiagonale(k) || valeur(de.x + pas.dx, de.y) == 0 ||
               valeur(de.x, de.y + pas.dy) == 0;
    }
};

/** The cells reached from `depart` by the planner's moves. */
struct Zone {
    std::array<std::array<bool, geo::Cells>, geo::Cells> atteinte{};
    bool but = false;
    bool bord = false;
    int mouvementsDuDepart = 0;
};

Zone explorer(const GrilleVue& grille, Point depart, Point but)
{
    Zone zone;
    constexpr std::size_t Cellules = std::size_t{geo::Cells} * geo::Cells;
    std::array<Point, Cellules> file{};
    int lus = 0;
    int ecrits = 0;
    file[ecrits++] = depart;
    zone.atteinte[depart.y][depart.x] = true;
    while (lus < ecrits) {
        const Point p = file[lus++];
        for (int k = 1; k <= 8; ++k) {
            if (!grille.pasPermis(p, k)) {
                continue;
            }
            if (lus == 1) {
                ++zone.mouvementsDuDepart;
            }
            const Point n{p.x + geo::Steps[k].dx, p.y + geo::Steps[k].dy};
            if (zone.atteinte[n.y][n.x]) {
                continue;
            }
            zone.atteinte[n.y][n.x] = true;
            zone.but = zone.but || (n.x == but.x && n.y == but.y);
            zone.bord = zone.bord || auBord(n);
            file[ecrits++] = n;
        }
    }
    return zone;
}

} // namespace

RaisonSansChemin raisonSansChemin(Point depart, Point but)
{
    if (!dansLeTerrain(depart) || !dansLeTerrain(but) || (depart.x == but.x && depart.y == but.y)) {
        return RaisonSansChemin::Aucune;
    }
    const GrilleVue grille{but, butEnMargeOuvert(but)};
    if (grille.valeur(but.x, but.y) != 0) {
        return RaisonSansChemin::DestinationBloquee;
    }
    const Zone zone = explorer(grille, depart, but);
    if (zone.but) {
        return RaisonSansChemin::Aucune;
    }
    if (zone.mouvementsDuDepart == 0 || !zone.bord) {
        return RaisonSansChemin::RobotEnferme;
    }
    return RaisonSansChemin::Separes;
}

const char* texteRaisonSansChemin(RaisonSansChemin raison)
{
    switch (raison) {
    case RaisonSansChemin::DestinationBloquee:
        return "Pas de chemin : la destination est dans un obstacle ou sa marge";
    case RaisonSansChemin::RobotEnferme:
        return "Pas de chemin : le robot est enfermé";
    case RaisonSansChemin::Separes:
        return "Pas de chemin : aucun passage ne relie le robot à la destination";
    case RaisonSansChemin::Aucune:
        break;
    }
    return "";
}
