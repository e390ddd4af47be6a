#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

/**
 * What a run of the virtual robot starts from: its pose, the obstacles that
 * stand on the field, its battery, the noise of its beacon timings, its frame
 * period and the seed of its random draws.
 *
 * The text form, one statement a line ('#' starts a comment, blank lines and
 * extra blanks are ignored, numbers use '.' whatever the locale):
 *
 *     depart X Y CAP        start pose: centre in cm, heading in degrees
 *                           clockwise from the x axis (0 right, 90 down)
 *     cache C R [C2 R2]     hidden obstacle: the cell in column C, row R
 *                           (0 .. 19), or every cell of the rectangle up to
 *                           (C2, R2); only the robot's bumpers find it
 *     mur C R [C2 R2]       a painted obstacle: as physical as a hidden one,
 *                           and the operator paints it on the console's map
 *     batterie N            battery byte at the start, 0 .. 255 (230)
 *     bruit CM              standard deviation of each beacon arrival, as cm
 *                           of sound travel, 0 .. 50 (2)
 *     periode MS            frame period, 20 .. 10000 ms (500)
 *     graine N              seed of the noise and of the counter phase (1)
 *
 * Every statement but `depart` may be left out; `cache` and `mur` may repeat.
 * A line holds at most LongueurLigneMax characters.
 */
struct Scenario {
    double x = 62.0;
    double y = 62.0;
    double cap = 0.0;
    /** obstacle[r][c]: 1 hidden, 2 painted, 0 free. */
    std::uint8_t obstacle[20][20] = {};
    int batterie = 230;
    double bruit = 2.0;
    int periodeMs = 500;
    std::uint32_t graine = 1;
};

/** The longest line a scenario may hold, in characters (its line end aside). */
inline constexpr std::size_t LongueurLigneMax = 1000;

/** The outcome of reading a scenario: the scenario, or what is wrong and where. */
struct LectureScenario {
    bool valide = false;
    Scenario scenario;
    /** "line N: message" when not valide. */
    std::string erreur;
};

/**
 * Reads a scenario from `texte`. Refuses a line longer than
 * LongueurLigneMax (and reads no further), an unknown statement, a missing or
 * extra number, a number that is not finite or out of range, a cell outside
 * the field, a missing `depart`, and a start pose whose body is not clear of
 * the sides and the obstacles (touching one counts).
 */
LectureScenario lireScenario(std::istream& texte);

/** The same from a string (tests, fuzzing). */
LectureScenario lireScenario(const std::string& texte);

/** The text of `scenario`, which lireScenario reads back to the same scenario. */
std::string texteScenario(const Scenario& scenario);
