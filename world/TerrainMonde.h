#pragma once

#include "world/FichierTerrain.h"

/** The field as the world holds it now (read under the world's locks). */
Terrain terrainDuMonde();

/**
 * Puts `terrain` into the world: cells, robot, destination (none when
 * -25 -25: the navigation then waits), bandit and grid lines; the planner
 * is told that the grid changed, and the observer of edits that the whole
 * field was replaced (after the destination). The caller redraws the map.
 */
void appliquerTerrain(const Terrain& terrain);
