#include "world/EditionsGrille.h"

#include "world/MargesGrille.h"

bool peindreObstacle(GrilleMonde& grille, int x, int y)
{
    const int r = y + 1;
    const int c = x + 1;
    if (!marges::dansLeTerrain(r, c) || (grille[r][c] != 0 && grille[r][c] != 2)) {
        return false;
    }
    grille[r][c] = 1;
    marges::entourerDeMarge(grille, r, c);
    return true;
}

bool effacerObstacle(GrilleMonde& grille, int x, int y)
{
    const int r = y + 1;
    const int c = x + 1;
    if (!marges::dansLeTerrain(r, c) || grille[r][c] != 1) {
        return false;
    }
    marges::recalculerMarge(grille, r, c);
    return true;
}

bool marquerObstacle(GrilleMonde& grille, int x, int y)
{
    const int r = y + 1;
    const int c = x + 1;
    if (!marges::dansLeTerrain(r, c)) {
        return false;
    }
    const bool change = grille[r][c] != 3;
    grille[r][c] = 3;
    marges::entourerDeMarge(grille, r, c);
    return change;
}

bool retirerObstacle(GrilleMonde& grille, int x, int y)
{
    const int r = y + 1;
    const int c = x + 1;
    if (!marges::dansLeTerrain(r, c)) {
        return false;
    }
    const bool obstacle = marges::estObstacle(grille[r][c]);
    marges::recalculerMarge(grille, r, c);
    return obstacle;
}
