#pragma once

#include <array>
#include <cstdint>
#include <optional>

/**
 * The robot protocol, both ends: the sensor frame the robot sends and the
 * intervals the console computes from its timestamps; the command byte the
 * console answers with and what the robot reads in it.
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

/** The codes a command byte carries. */
struct Commande {
    int gauche = 0;
    int droite = 0;
    int virage = 0;
};

/**
 * What the robot reads in a received byte: nothing when it is no command
 * (bit 7 clear, or a turn code of 6 or 7).
 */
std::optional<Commande> decoderCommande(std::uint8_t octet);

/** Bytes of a sensor frame. */
inline constexpr int TailleTrame = 10;

/**
 * A sensor frame: the timestamps T1 .. T4 little-endian, the status byte,
 * the battery byte.
 */
std::array<std::uint8_t, TailleTrame> encoderTrame(const std::array<std::int16_t, 4>& horodatages,
                                                   std::uint8_t etat, std::uint8_t batterie);

} // namespace protocole
