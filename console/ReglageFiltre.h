#pragma once

/**
 * Gives the world the settings store's choice of the position filter
 * (reglages::Filtre, true by default, monde().suivi.actif): each frame's
 * estimate goes through the filter, "arrived" is said inside the goal cell by
 * a margin, contact marks are cleared from the robot's footprint and, when no
 * route is found, the unconfirmed ones near the robot or the goal. False: the
 * robot moves to each estimate more than 25 cm away, as the world always did.
 */
void appliquerReglageFiltre();
