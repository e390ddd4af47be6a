#pragma once

#include <cstdint>

/**
 * The robot's side of the serial link, without the window: the intervals the
 * console computes from a sensor frame's timestamps, and the command byte it
 * answers with.
 */
namespace protocole {

/** Counter ticks of the robot's timestamps: 0.5 us. */
inline constexpr double Tick = 5e-7;
/** The counter wraps every 65536 ticks. */
inline constexpr double Tour = 0.032768;
/** Intervals are folded into (Plancher, Plancher + Tour]. */
inline constexpr double Plancher = 0.134;

/**
 * The three intervals in seconds between the four timestamps T1 .. T4 of a
 * frame (signed 16-bit values): for each pair (a, b), d = b - a + 65535 ticks,
 * stored as a float, then raised by whole counter turns until above 0.134 s.
 */
void calculerIntervalles(const std::int16_t horodatages[4], float intervalles[3]);

/** 0x80 + 16 x turn + 4 x right + left, kept to 8 bits. */
inline std::uint8_t octetCommande(int gauche, int droite, int virage)
{
    return static_cast<std::uint8_t>((0x80 + 16 * virage + 4 * droite + gauche) & 0xFF);
}

} // namespace protocole
