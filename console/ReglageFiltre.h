#pragma once

/**
 * Settings-store key of the position filter (true by default): each frame's
 * estimate goes through the filter, "arrived" is said inside the goal cell by
 * a margin, contact marks are cleared from the robot's footprint and, when no
 * route is found, the unconfirmed ones near the robot or the goal. False: the
 * robot moves to each estimate more than 25 cm away, as the world always did.
 */
inline constexpr const char* CleFiltre = "Navigation/Filtre";

/** Gives the world the settings store's choice (g_filtreActif). */
void appliquerReglageFiltre();
