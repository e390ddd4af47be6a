#include "world/PlanPath.h"

#include "world/WorldChange.h"
#include "world/WorldState.h"

namespace {

/** No route: stop the wheels (the display shows them), forget the first step. */
void echec()
{
    SetWheels(0, 0);
    monde().drapeaux.premierPas = 0;
}

} // namespace

void PlanPath(int sx, int sy, int gx, int gy)
{
    PlanPathAvec(sx, sy, gx, gy, planifier);
}

void PlanPathAvec(int sx, int sy, int gx, int gy, const Planificateur& rechercher)
{
    // Taken before the grid is read: an edit made during the search raises
    // the flag again, and the navigation plans again on its next pass.
    monde().grille.modifiee.exchange(0);
    GrilleMonde grille;
    copierGrille(grille, {gx, gy});
    // The route is large for a stack frame of a thread that runs all along.
    thread_local Itineraire resultat;
    rechercher(grille, {sx, sy}, {gx, gy}, resultat);
    if (!resultat.trouve) {
        echec();
    }
    // A route, or none: no escape any more.
    monde().route.modifier(
        [](RoutePlanifiee& r) { r.remplacer(resultat.chemin, resultat.longueur, false); });
    // Start = goal keeps the first step it had.
    if (resultat.longueur > 0) {
        monde().drapeaux.premierPas =
            resultat.chemin[static_cast<std::size_t>(resultat.longueur - 1)].direction;
    }
    if (monde().drapeaux.premierPas != 0 || monde().drapeaux.sansCheminAffiche == 0) {
        monde().drapeaux.sansCheminAffiche = monde().drapeaux.premierPas == 0 ? 1 : 0;
        signalerAffichage();
    }
}
