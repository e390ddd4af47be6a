#pragma once

#include "world/BeaconModel.h"

#include <cstddef>
#include <istream>
#include <string>

/**
 * The text form of a beacon geometry, one statement a line ('#' starts a
 * comment, blank lines and extra blanks are ignored, numbers use '.'
 * whatever the locale):
 *
 *     balise X Y       a beacon's place in cm (-1000 .. 1500, x to the
 *                      right, y downwards); four of them, in firing order
 *     intervalle MS    delay between two beacons' pings, 1 .. 1000 ms (150)
 *     horloge HZ       the robot's counter, 10000 .. 100000000 Hz (2000000)
 *     son CM_S         speed of sound, 25000 .. 40000 cm/s (34300)
 *
 * Without any `balise` the beacons stand at the four corners of the field,
 * as in the bundled model; otherwise there are exactly four, each at a
 * place of its own, not all on one line across the field. Each other
 * statement comes at most once; each may be left out (its default in
 * brackets). A line holds at most LongueurLigneGeometrieMax characters.
 */
namespace balises {

/** The longest line a geometry file may hold, in characters (its line end aside). */
inline constexpr std::size_t LongueurLigneGeometrieMax = 1000;

/** The outcome of reading a geometry: the geometry, or what is wrong and where. */
struct LectureGeometrie {
    bool valide = false;
    Geometrie geometrie;
    /** "ligne N : message" for a wrong line, the message alone for the whole. */
    std::string erreur;
};

/**
 * Reads a geometry. Refuses a line longer than the cap (and reads no
 * further), a read error, an unknown or repeated statement, a fifth beacon,
 * a missing or extra number, a number that is not finite or out of range,
 * one to three beacons, beacons that cannot tell places apart and a
 * geometry the console cannot read (verifierGeometrie). The words of the
 * file are escaped in the refusals (Echappement.h).
 */
LectureGeometrie lireGeometrie(std::istream& texte);

/** The same from a string (tests, fuzzing). */
LectureGeometrie lireGeometrie(const std::string& texte);

/**
 * The text of `g`, which lireGeometrie reads back to the same geometry (the
 * period, written in ms, to within its last bit) and the same text.
 */
std::string texteGeometrie(const Geometrie& g);

/**
 * Margin, in console seconds, that each interval keeps from the edges of
 * its fold window everywhere on the field: timing noise and a robot at the
 * very side must not push a reading across (the bundled model keeps 1.4 ms).
 */
inline constexpr double MargeRepli = 0.0005;

/** Two beacons closer than this, cm, stand at one place. */
inline constexpr double EcartMinBalises = 1.0;

/**
 * Empty when the beacons can tell places apart: no two of them at one
 * place (closer than EcartMinBalises), and not all four on one line that
 * crosses the field (a place and its mirror image across the line would
 * read alike; a line along the field's edge or outside it is fine).
 * Otherwise the reason, naming the beacons.
 */
std::string verifierPlaces(const Geometrie& g);

/**
 * Empty when the console can read `g` on the whole field: the beacons tell
 * places apart (verifierPlaces), and every interval, as the console reads
 * it, stays within one fold window with MargeRepli to spare, so that
 * positions next to each other give readings next to each other.
 * Otherwise the reason, naming the beacons or the interval and its range.
 */
std::string verifierGeometrie(const Geometrie& g);

/** Lowest and highest reading (console seconds, before the fold) of interval k over the field. */
struct Etendue {
    double min;
    double max;
};
Etendue etendueLue(const Geometrie& g, int k);

} // namespace balises
