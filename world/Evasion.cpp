#include "world/Evasion.h"

#include "world/PlanificateurEvasion.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

bool chercherEvasion(Point robot, Point but)
{
    if (monde().drapeaux.evasionPermise == 0 || robot == but) {
        return false;
    }
    GrilleMonde grille;
    copierGrille(grille, but);
    // Large for the stack of a thread that runs all along, as the route's.
    thread_local Itineraire evasion;
    planifierEvasion(grille, robot, but, evasion);
    if (!evasion.trouve) {
        return false;
    }
    monde().route.modifier(
        [](RoutePlanifiee& r) { r.remplacer(evasion.chemin, evasion.longueur, true); });
    monde().drapeaux.premierPas =
        evasion.chemin[static_cast<std::size_t>(evasion.longueur - 1)].direction;
    // The map shows a route again, the escape.
    monde().drapeaux.sansCheminAffiche = 0;
    signalerAffichage();
    return true;
}
