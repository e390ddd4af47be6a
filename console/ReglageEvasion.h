#pragma once

/**
 * Gives the world the settings store's choice of the navigation's mends
 * (reglages::Evasion, true by default, monde().drapeaux.evasionPermise): the escape
 * out of margins, and the mark straight ahead of a repeated side contact.
 * False: the robot stops where the route search finds no route, and a
 * repeated contact marks nothing.
 */
void appliquerReglageEvasion();
