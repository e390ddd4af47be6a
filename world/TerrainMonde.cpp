#include "world/TerrainMonde.h"

#include "world/EditionsMonde.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

Terrain terrainDuMonde()
{
    Terrain t;
    for (int y = 0; y < geo::Cells; ++y) {
        for (int x = 0; x < geo::Cells; ++x) {
            t.cellules[y][x] = valeurCellule(x, y);
        }
    }
    t.robot = monde().robot.position();
    const DestinationRobot destination = monde().destination.lire();
    t.destination = destination.placee ? destination.marque : Point{-25, -25};
    const MarqueBandit bandit = monde().bandit.lire();
    t.bandit = bandit.position;
    t.banditPlace = bandit.placee;
    t.quadrillage = monde().drapeaux.quadrillage != 0;
    return t;
}

void appliquerTerrain(const Terrain& t)
{
    // The field's marks are no contact marks of this session, and its
    // robot starts the filter again.
    oublierPositionFiltree();
    for (int y = 0; y < geo::Cells; ++y) {
        for (int x = 0; x < geo::Cells; ++x) {
            monde().grille[y + 1][x + 1] = t.cellules[y][x];
        }
    }
    SetRobotPosition(t.robot.x, t.robot.y);
    if (t.destination.x == -25 && t.destination.y == -25) {
        monde().destination.ecrire({{-25, -25}, monde().robot.cellule(), false});
    } else {
        SetDestination(t.destination.x, t.destination.y);
    }
    monde().bandit.ecrire({t.bandit, t.banditPlace});
    monde().drapeaux.quadrillage = t.quadrillage ? 1 : 0;
    monde().grille.modifiee = 1;
    notifyWorldChange();
    signalerEdition({GenreEditionMonde::Terrain, 0, 0});
}
