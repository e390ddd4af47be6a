#pragma once

#include <cstddef>
#include <cstdint>

/**
 * The flight recorder's log file ("*.kivlog"), version 1. All integers are
 * little-endian.
 *
 *   header (16 bytes):  "KIVLOG" | u16 version (1) | i64 session start,
 *                       microseconds since 1970-01-01 UTC
 *   record (11 + n):    u64 time, microseconds since the session start
 *                       (steady, never decreasing) | u8 kind | u16 n |
 *                       n bytes of payload
 *
 * Kinds: 1 bytes received from the robot, 2 bytes sent to it, 3 a link
 * event, 4 a navigation event; events carry UTF-8 text whose first word
 * names the event ("ouvert", "fermé", ...). The writer appends one record at
 * a time and flushes it, so a crash can only leave the last record torn; a
 * reader stops at the last whole record.
 */
namespace journal {

inline constexpr char Magie[6] = {'K', 'I', 'V', 'L', 'O', 'G'};
inline constexpr std::uint16_t Version = 1;
inline constexpr std::size_t TailleEntete = 16;
inline constexpr std::size_t TailleEnteteEnregistrement = 11;
/** The largest payload one record holds; longer writes are split. */
inline constexpr std::size_t ChargeMax = 0xFFFF;
/** The longest plausible session: a record time beyond it is damage (366 days). */
inline constexpr std::uint64_t DureeSessionMaxUs = 366ULL * 24 * 3600 * 1000000;
/** The file name extension of logs. */
inline constexpr const char* Extension = ".kivlog";

/** What a record holds. */
enum class Genre : std::uint8_t {
    Recu = 1,       ///< bytes from the robot
    Emis = 2,       ///< bytes to the robot
    Lien = 3,       ///< link event (text)
    Navigation = 4, ///< navigation event (text)
};

/** True for the kinds a version-1 log may hold. */
inline bool genreConnu(std::uint8_t genre)
{
    return genre >= 1 && genre <= 4;
}

/** Writes `valeur` little-endian into destination[0 .. sizeof(T)). */
template <class T>
void poser(std::uint8_t* destination, T valeur)
{
    for (std::size_t k = 0; k < sizeof(T); ++k) {
        destination[k] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(valeur) >> (8 * k));
    }
}

/** Reads a little-endian T from source[0 .. sizeof(T)). */
template <class T>
T prendre(const std::uint8_t* source)
{
    std::uint64_t valeur = 0;
    for (std::size_t k = 0; k < sizeof(T); ++k) {
        valeur |= static_cast<std::uint64_t>(source[k]) << (8 * k);
    }
    return static_cast<T>(valeur);
}

/** The file header of a session started at `debutUnixUs`. */
inline void encoderEntete(std::uint8_t destination[TailleEntete], std::int64_t debutUnixUs)
{
    for (std::size_t k = 0; k < sizeof Magie; ++k) {
        destination[k] = static_cast<std::uint8_t>(Magie[k]);
    }
    poser(destination + 6, Version);
    poser(destination + 8, debutUnixUs);
}

/** The 11 bytes in front of a record's payload of `n` <= ChargeMax bytes. */
inline void encoderEnregistrement(std::uint8_t destination[TailleEnteteEnregistrement],
                                  std::uint64_t tempsUs, Genre genre, std::size_t n)
{
    poser(destination, tempsUs);
    destination[8] = static_cast<std::uint8_t>(genre);
    poser(destination + 9, static_cast<std::uint16_t>(n));
}

/** Link event texts the replay acts on. */
inline constexpr const char* EvenementOuvert = "ouvert";
inline constexpr const char* EvenementFerme = "fermé";
/** The link lost: no frame for the loss delay, or the device gone ("perdu : <why>"). */
inline constexpr const char* EvenementPerdu = "perdu";
/**
 * A frame cut short by a silence: "resynchro <n> octets écartés après <ms> ms
 * de silence".
 */
inline constexpr const char* EvenementResynchro = "resynchro";

} // namespace journal
