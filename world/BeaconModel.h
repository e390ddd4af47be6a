#pragma once

#include <array>
#include <cstdint>

/**
 * How the robot measures its position: four ultrasonic beacons at the
 * corners of the field ping one after the other, 150 ms apart, at the start
 * of every cycle; the robot stamps each ping's arrival with its free-running
 * 16-bit counter of 0.5 us ticks. The console turns the stamps into three
 * intervals and its network turns those into the position. The virtual
 * robot and the tools that build the bundled network share this model.
 *
 * Positions are in cm, x to the right and y downwards.
 */
namespace balises {

/** Speed of sound, cm/s. */
inline constexpr double VitesseSon = 34300.0;
/** Delay between the pings of two successive beacons, s. */
inline constexpr double Periode = 0.150;

struct Position {
    double x;
    double y;
};

/** B1 (0, 0), B2 (500, 0), B3 (500, 500), B4 (0, 500). */
inline constexpr Position Balises[4] = {{0.0, 0.0}, {500.0, 0.0}, {500.0, 500.0}, {0.0, 500.0}};
/** Frequency of the robot's counter, Hz: ticks of 0.5 us. */
inline constexpr double Horloge = 2e6;

/**
 * A field's beacons as they stand: where each one is, in firing order, the
 * delay between two pings, the robot's counter and the day's speed of sound.
 * Default-constructed it is the bundled model above. Its text form is read
 * by lireGeometrie (world/FichierGeometrie.h).
 */
struct Geometrie {
    Position balises[4] = {Balises[0], Balises[1], Balises[2], Balises[3]};
    /** Delay between the pings of two successive beacons, s. */
    double periode = Periode;
    /** Frequency of the robot's counter, Hz. */
    double horloge = Horloge;
    /** Speed of sound, cm/s. */
    double vitesseSon = VitesseSon;
};

/**
 * How the console reads a frame, whatever the robot's counter: each
 * difference of two stamps in ticks of 0.5 us, folded by whole counter turns
 * (65536 ticks) into (Plancher, Plancher + Tour] seconds. The console cannot
 * tell apart two intervals a whole turn apart: a geometry is usable only when
 * each interval stays inside one such window over the whole field.
 */
namespace lecture {
inline constexpr double Tic = 5e-7;
inline constexpr double Tour = 0.032768;
inline constexpr double Plancher = 0.134;
} // namespace lecture

/** Time (s, from the cycle start) at which the ping of beacon k (0 .. 3) reaches p. */
double arrivee(int k, Position p);

/**
 * The four timestamps the robot sends for position p, its counter showing
 * `phase` ticks at the start of the cycle.
 */
std::array<std::int16_t, 4> horodatages(Position p, std::uint32_t phase);

/**
 * The same with each ping's arrival delayed by `retards[k]` seconds (timing
 * noise; a negative delay is an early arrival).
 */
std::array<std::int16_t, 4> horodatages(Position p, std::uint32_t phase,
                                        const std::array<double, 4>& retards);

/** The intervals of the model itself: 0.150 s + (|p - B(k+1)| - |p - Bk|) / c. */
std::array<double, 3> intervallesExacts(Position p);

/*
 * The same for any geometry; with the default geometry each gives exactly
 * what its counterpart above gives.
 */

/** Time (s, from the cycle start) at which the ping of beacon k (0 .. 3) reaches p. */
double arrivee(const Geometrie& g, int k, Position p);

/** The four stamps, counter at `phase` ticks at the cycle start, each arrival delayed by
 * `retards[k]` s. */
std::array<std::int16_t, 4> horodatages(const Geometrie& g, Position p, std::uint32_t phase,
                                        const std::array<double, 4>& retards = {});

/** periode + (|p - B(k+1)| - |p - Bk|) / c, in true seconds. */
std::array<double, 3> intervallesExacts(const Geometrie& g, Position p);

/**
 * The intervals as the console reads them from noiseless stamps, before its
 * fold: true intervals counted in the robot's ticks, one tick short as the
 * console counts, taken as ticks of 0.5 us. Equal to the true intervals
 * (less a tick) for a 2 MHz counter.
 */
std::array<double, 3> intervallesLus(const Geometrie& g, Position p);

/** Console seconds (ticks of 0.5 us) of `secondes` true seconds of this geometry's counter. */
double secondesLues(const Geometrie& g, double secondes);

} // namespace balises
