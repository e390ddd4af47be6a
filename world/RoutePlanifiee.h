#pragma once

#include "core/Liste.h"
#include "world/PathNode.h"

/**
 * The planned route, one value: its cells and whether it is an escape out of
 * the margins (Evasion.h) rather than a route to the destination, written
 * together by the search that found it.
 */
struct RoutePlanifiee {
    /** Element 0 the goal (an escape's exit), the last the cell next to the start. */
    Liste<PathNode> chemin;
    bool evasion = false;

    /** Replaces the cells with the `n` first of `cellules` and sets the kind. */
    template <class Cellules>
    void remplacer(const Cellules& cellules, int n, bool estEvasion)
    {
        chemin.vider();
        for (int k = 0; k < n; ++k) {
            chemin.inserer(cellules[static_cast<std::size_t>(k)]);
        }
        evasion = estEvasion;
    }

    /** The last cell (the one next to the start); false when the route is empty. */
    bool dernier(PathNode& cellule) const
    {
        IterateurListe<PathNode> it(chemin);
        bool trouve = false;
        for (it.premier(); it.valide(); it.suivant()) {
            cellule = it.courant();
            trouve = true;
        }
        return trouve;
    }
};
