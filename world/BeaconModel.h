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

} // namespace balises
