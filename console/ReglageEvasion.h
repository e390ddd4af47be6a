#pragma once

/**
 * Settings-store key of the navigation's escape out of margins (true by
 * default; false: the robot stops where the route search finds no route).
 */
inline constexpr const char* CleEvasion = "Navigation/Evasion";

/** Gives the world the settings store's choice (g_evasionPermise). */
void appliquerReglageEvasion();
