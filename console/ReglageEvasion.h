#pragma once

/**
 * Settings-store key of the navigation's mends (true by default): the escape
 * out of margins, and the mark straight ahead of a repeated side contact.
 * False: the robot stops where the route search finds no route, and a
 * repeated contact marks nothing.
 */
inline constexpr const char* CleEvasion = "Navigation/Evasion";

/** Gives the world the settings store's choice (g_evasionPermise). */
void appliquerReglageEvasion();
