#pragma once

/**
 * The virtual robot's build, chosen for a small two-wheeled robot on the
 * 500 x 500 cm field of 25 cm cells.
 *
 * - A round body (and bumper ring) 12 cm across, the wheels standing just
 *   outside it at the sides. It leaves 6.5 cm to spare on each side of a
 *   cell, so a robot a little off the centre of its cell, as the console's
 *   lagging estimate leaves it, still clears a neighbouring obstacle. Against
 *   a 20 cm body the mission benchmark lost 18 % of the fields with hidden
 *   obstacles instead of 10 %: the larger body met the obstacles from the
 *   margin cell next to them, where the console's mark lands on the robot's
 *   own cell.
 * - Wheels 15 cm apart and wheel speeds 0, 2.5, 5 and 6 cm/s for codes
 *   0 .. 3 (1 is never sent by the console). Codes 3 and 2 (the navigation's
 *   "veer") then turn on a radius of 82.5 cm, 3.8 degrees a second: about
 *   17 degrees per cell driven, less than the half-sector (22.5 degrees) the
 *   navigation can tell apart, since it re-steers only when the robot enters
 *   another cell. A sharper veer (4 and 6 cm/s, radius 37.5 cm) swung the
 *   robot past its direction between two cells and sent it round in circles.
 * - At the default period of 500 ms the robot moves 1.25, 2.5 or 3 cm a
 *   frame, well under the 25 cm cell, so the console sees every cell the
 *   robot enters.
 * - Turns in place are done at once, before the wheels act in the same frame.
 * - A bumper across the front half: a contact within 15 degrees of straight
 *   ahead presses both switches, further round only the one on its side.
 * - After a contact the robot backs off 3 cm, ignoring the wheel codes for
 *   that frame, so that only the frame of the contact carries the bumper bits.
 */
namespace robotsim {

/** Radius of the body, cm. */
inline constexpr double Rayon = 6.0;
/** Distance between the wheels, cm. */
inline constexpr double Voie = 15.0;
/** Wheel speed of each code, cm/s. */
inline constexpr double Vitesses[4] = {0.0, 2.5, 5.0, 6.0};
/** Half-angle of the cone where a contact presses both bumper switches, degrees. */
inline constexpr double ConeFrontal = 15.0;
/** How far the robot backs off after a contact, cm. */
inline constexpr double Recul = 3.0;
/** Longest straight move between two collision checks, cm. */
inline constexpr double PasMaximal = 0.25;
/** Field side, cm. */
inline constexpr double Cote = 500.0;
/** Cell side, cm. */
inline constexpr double Cellule = 25.0;
/** Battery drain: per second whatever happens, and per cm driven. */
inline constexpr double DrainParSeconde = 0.02;
inline constexpr double DrainParCm = 0.05;

} // namespace robotsim
