#include "world/GridEdits.h"

#include "world/EditionsMonde.h"
#include "world/MargesGrille.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

using marges::dansLeTerrain;
using marges::estObstacle;

void PlaceObstacle(int r, int c)
{
    if (!dansLeTerrain(r, c)) {
        return;
    }
    const int valeur = monde().grille[r][c];
    if (valeur != 0 && valeur != 2) {
        return;
    }
    monde().grille[r][c] = 1;
    marges::entourerDeMarge(monde().grille, r, c);
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
    if (!dansLeTerrain(r, c) || monde().grille[r][c] != 1) {
        return;
    }
    marges::recalculerMarge(monde().grille, r, c);
    notifyWorldChange();
    signalerEdition({GenreEditionMonde::Effacee, c - 1, r - 1});
}

void MarkObstacle(int r, int c)
{
    if (!dansLeTerrain(r, c)) {
        return;
    }
    monde().grille.modifiee = 1;
    monde().grille[r][c] = 3;
    marges::entourerDeMarge(monde().grille, r, c);
    // Again once the grid holds the edit: a search that took the flag
    // in between plans once more.
    monde().grille.modifiee = 1;
    notifyWorldChange();
    signalerEdition({GenreEditionMonde::Trouvee, c - 1, r - 1});
}

void ClearObstacle(int r, int c)
{
    if (!dansLeTerrain(r, c)) {
        return;
    }
    const bool obstacle = estObstacle(monde().grille[r][c]);
    monde().suivi.marquesContact[r - 1][c - 1] = 0;
    monde().grille.modifiee = 1;
    marges::recalculerMarge(monde().grille, r, c);
    monde().grille.modifiee = 1;
    notifyWorldChange();
    if (obstacle) {
        signalerEdition({GenreEditionMonde::Retiree, c - 1, r - 1});
    }
}
