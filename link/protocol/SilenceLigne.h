#pragma once

#include <cstdint>
#include <limits>

namespace protocole {

/** Microseconds of a steady clock, from any origin. */
using Instant = std::int64_t;
/** No time known: the byte is counted only. */
inline constexpr Instant InstantInconnu = std::numeric_limits<Instant>::min();

/**
 * The shortest silence inside a frame that starts a new one, whatever the
 * rate. It stays above what a clean line shows inside a frame: a USB serial
 * adapter's latency timer (16 ms by default), a robot's turnaround between
 * the command byte and its battery byte, a loaded machine's scheduling;
 * and below what a robot leaves between two frames (its period, 500 ms for
 * one beacon cycle).
 */
inline constexpr Instant PlancherSilence = 100'000;
/** Byte times (10 bits each: start, 8 data, stop) in the threshold at slow rates. */
inline constexpr int OctetsDeSilence = 4;
/** The longest threshold a setting may ask for, us. */
inline constexpr Instant SilenceMax = 10'000'000;

/**
 * The silence threshold at `baud`: four byte times, at least the floor
 * (110 baud: 363.6 ms; 300: 133.3 ms; 1200 and above: 100 ms). A rate that
 * is not positive gives the floor.
 */
Instant seuilSilence(int baud);

} // namespace protocole
