#pragma once

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

/**
 * The flight recorder's log file ("*.kivlog"), version 4. All integers are
 * little-endian.
 *
 *   header (16 bytes):  "KIVLOG" | u16 version (1 .. 4) | i64 session start,
 *                       microseconds since 1970-01-01 UTC
 *   record (11 + n):    u64 time, microseconds since the session start
 *                       (steady, never decreasing) | u8 kind | u16 n |
 *                       n bytes of payload
 *
 * Kinds: 1 bytes received from the robot, 2 bytes sent to it, 3 a link
 * event, 4 a navigation event; events carry UTF-8 text whose first word
 * names the event ("ouvert", "fermé", ...). Version 2 adds what the operator
 * saw on the map: 5 a destination placed (4 bytes: u16 x, u16 y in cm,
 * 0 .. 500), 6 a map edit (3 bytes: u8 edit kind (EditionCarte), u8 column,
 * u8 row of the field's cell, 0 .. 19), 7 a calibration point kept
 * (52 bytes: f64 x, f64 y in cm, 0 .. 500; f64 x 3 the mean intervals in
 * s, each in (0, 1); u32 frames averaged, 1 or more; f64 their spread in cm,
 * 0 or more; every f64 finite, IEEE 754 little-endian). Version 3 adds 8 the
 * whole field as it stands (at a log's start, and when a field is opened or
 * emptied; 413 bytes: 400 u8 cell values 0 .. 3, row 0 first, each row
 * from column 0; u16 x, y of the robot, of the destination and of the
 * bandit in cm, 0 .. 500 each; u8 flags: 1 the destination is placed,
 * 2 the bandit is shown, 4 the grid lines are on, no other bit; an
 * absent marker's position is 0, 0) and 9 an edit of the calibration list
 * (9 bytes: u8 operation (OperationListe: 1 a point removed, 2 the list
 * emptied); u32 the index of the point removed, 0 .. size - 1 (0 when
 * emptied); u32 the list's size before the edit, 1 or more: with the
 * kind-7 records before it, the list the calibration window held).
 * Version 4 adds 10 where the filter put the robot after a frame's estimate
 * (8 bytes: u16 x, y of the raw estimate, then u16 x, y of the filtered
 * position, in cm, 0 .. 500 each; written only while the position filter
 * is on). A version-1 log holds
 * kinds 1 to 4 only, a version-2 log kinds 1 to 7, a version-3 log 1 to 9; a map record of another
 * size or out of the field is damage. The writer appends one record at
 * a time and flushes it, so a crash can only leave the last record torn; a
 * reader stops at the last whole record.
 */
namespace journal {

inline constexpr char Magie[6] = {'K', 'I', 'V', 'L', 'O', 'G'};
/** The version written; versions 1 (without the map records), 2 and 3 still read. */
inline constexpr std::uint16_t Version = 4;
inline constexpr std::uint16_t VersionSansPosition = 3;
inline constexpr std::uint16_t VersionSansTerrain = 2;
inline constexpr std::uint16_t VersionSansCarte = 1;
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
    Recu = 1,             ///< bytes from the robot
    Emis = 2,             ///< bytes to the robot
    Lien = 3,             ///< link event (text)
    Navigation = 4,       ///< navigation event (text)
    Destination = 5,      ///< destination placed (version 2)
    Carte = 6,            ///< map edit (version 2)
    Calibration = 7,      ///< calibration point kept (version 2)
    Terrain = 8,          ///< the whole field as it stands (version 3)
    ListeCalibration = 9, ///< an edit of the calibration list (version 3)
    Position = 10,        ///< the raw and the filtered position of a frame (version 4)
};

/** True for the kinds a log of `version` may hold. */
inline bool genreConnu(std::uint8_t genre, std::uint16_t version = Version)
{
    const std::uint8_t dernier = version >= 4 ? 10 : version >= 3 ? 9 : (version >= 2 ? 7 : 4);
    return genre >= 1 && genre <= dernier;
}

/** What a map edit did to a cell. */
enum class EditionCarte : std::uint8_t {
    Peinte = 1,  ///< obstacle painted by the operator
    Effacee = 2, ///< operator obstacle erased
    Trouvee = 3, ///< obstacle found by the robot (a bumper mark)
    Retiree = 4, ///< found obstacle removed
};

/** Cells of the field on a side: a map edit's column and row lie below it. */
inline constexpr int CellulesTerrain = 20;
/** The field's side in cm: a destination's coordinates lie within 0 .. it. */
inline constexpr int CoteTerrainCm = 500;
inline constexpr std::size_t TailleDestination = 4;
inline constexpr std::size_t TailleEditionCarte = 3;
inline constexpr std::size_t TailleCalibration = 52;
inline constexpr std::size_t TailleTerrain = 413;
inline constexpr std::size_t TaillePosition = 8;

/** A destination record's payload, decoded. */
struct Destination {
    int x = 0;
    int y = 0;
};

/** A position record's payload, decoded: the frame's raw estimate and the filtered position, cm. */
struct PositionFiltree {
    int brutX = 0;
    int brutY = 0;
    int x = 0;
    int y = 0;

    bool operator==(const PositionFiltree&) const = default;
};

/** A map edit record's payload, decoded. */
struct Edition {
    EditionCarte genre = EditionCarte::Peinte;
    int colonne = 0;
    int ligne = 0;
};

/** A whole-field record's payload, decoded: what a field (".kiv") holds. */
struct EtatTerrain {
    /** [row][column], each 0 free, 1 obstacle, 2 margin, 3 found by the robot. */
    std::uint8_t cellules[CellulesTerrain][CellulesTerrain] = {};
    int robotX = 0;
    int robotY = 0;
    bool destinationPlacee = false;
    int destinationX = 0;
    int destinationY = 0;
    bool banditVisible = false;
    int banditX = 0;
    int banditY = 0;
    bool quadrillage = false;
};

/** A calibration record's payload, decoded: where the robot stood and what was read there. */
struct PointCalibre {
    double x = 0.0;
    double y = 0.0;
    double intervalles[3] = {0.0, 0.0, 0.0};
    std::uint32_t trames = 0;
    double dispersionCm = 0.0;
};

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

/** The payload of a destination at (x, y) cm, each 0 .. CoteTerrainCm. */
inline void encoderDestination(std::uint8_t destination[TailleDestination], int x, int y)
{
    poser(destination, static_cast<std::uint16_t>(x));
    poser(destination + 2, static_cast<std::uint16_t>(y));
}

/** The payload of a map edit of cell (colonne, ligne). */
inline void encoderEdition(std::uint8_t destination[TailleEditionCarte], EditionCarte genre,
                           int colonne, int ligne)
{
    destination[0] = static_cast<std::uint8_t>(genre);
    destination[1] = static_cast<std::uint8_t>(colonne);
    destination[2] = static_cast<std::uint8_t>(ligne);
}

/** The payload of a position record (each coordinate 0 .. CoteTerrainCm). */
inline void encoderPosition(std::uint8_t destination[TaillePosition], const PositionFiltree& p)
{
    poser(destination, static_cast<std::uint16_t>(p.brutX));
    poser(destination + 2, static_cast<std::uint16_t>(p.brutY));
    poser(destination + 4, static_cast<std::uint16_t>(p.x));
    poser(destination + 6, static_cast<std::uint16_t>(p.y));
}

/** A position payload of `n` bytes into `p`; false when it is not a valid one. */
inline bool decoderPosition(const std::uint8_t* charge, std::size_t n, PositionFiltree& p)
{
    if (n != TaillePosition) {
        return false;
    }
    p.brutX = prendre<std::uint16_t>(charge);
    p.brutY = prendre<std::uint16_t>(charge + 2);
    p.x = prendre<std::uint16_t>(charge + 4);
    p.y = prendre<std::uint16_t>(charge + 6);
    return p.brutX <= CoteTerrainCm && p.brutY <= CoteTerrainCm && p.x <= CoteTerrainCm &&
           p.y <= CoteTerrainCm;
}

/** A destination payload of `n` bytes into `d`; false when it is not a valid one. */
inline bool decoderDestination(const std::uint8_t* charge, std::size_t n, Destination& d)
{
    if (n != TailleDestination) {
        return false;
    }
    d.x = prendre<std::uint16_t>(charge);
    d.y = prendre<std::uint16_t>(charge + 2);
    return d.x <= CoteTerrainCm && d.y <= CoteTerrainCm;
}

/** A map edit payload of `n` bytes into `e`; false when it is not a valid one. */
inline bool decoderEdition(const std::uint8_t* charge, std::size_t n, Edition& e)
{
    if (n != TailleEditionCarte || charge[0] < 1 || charge[0] > 4 || charge[1] >= CellulesTerrain ||
        charge[2] >= CellulesTerrain) {
        return false;
    }
    e.genre = static_cast<EditionCarte>(charge[0]);
    e.colonne = charge[1];
    e.ligne = charge[2];
    return true;
}

/** The file header of a session started at `debutUnixUs`, in `version`'s format. */
inline void encoderEntete(std::uint8_t destination[TailleEntete], std::int64_t debutUnixUs,
                          std::uint16_t version = Version)
{
    for (std::size_t k = 0; k < sizeof Magie; ++k) {
        destination[k] = static_cast<std::uint8_t>(Magie[k]);
    }
    poser(destination + 6, version);
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
/**
 * Received bytes dropped before the console could show them, the line
 * being faster than its display: "débordement <n> octets perdus", at most
 * once a second.
 */
inline constexpr const char* EvenementDebordement = "débordement";

/** The payload of a calibration point (its values as decoderCalibration accepts them). */
inline void encoderCalibration(std::uint8_t destination[TailleCalibration], const PointCalibre& p)
{
    const double valeurs[5] = {p.x, p.y, p.intervalles[0], p.intervalles[1], p.intervalles[2]};
    for (std::size_t k = 0; k < 5; ++k) {
        poser(destination + 8 * k, std::bit_cast<std::uint64_t>(valeurs[k]));
    }
    poser(destination + 40, p.trames);
    poser(destination + 44, std::bit_cast<std::uint64_t>(p.dispersionCm));
}

/** A calibration payload of `n` bytes into `p`; false when it is not a valid one. */
inline bool decoderCalibration(const std::uint8_t* charge, std::size_t n, PointCalibre& p)
{
    if (n != TailleCalibration) {
        return false;
    }
    const auto reel = [&](std::size_t decalage) {
        return std::bit_cast<double>(prendre<std::uint64_t>(charge + decalage));
    };
    p.x = reel(0);
    p.y = reel(8);
    for (std::size_t k = 0; k < 3; ++k) {
        p.intervalles[k] = reel(16 + 8 * k);
        if (!(p.intervalles[k] > 0.0 && p.intervalles[k] < 1.0)) {
            return false;
        }
    }
    p.trames = prendre<std::uint32_t>(charge + 40);
    p.dispersionCm = reel(44);
    return p.x >= 0.0 && p.x <= CoteTerrainCm && p.y >= 0.0 && p.y <= CoteTerrainCm &&
           p.trames >= 1 && p.dispersionCm >= 0.0 && std::isfinite(p.dispersionCm);
}

/** The payload of a whole field; positions out of 0 .. CoteTerrainCm are brought within. */
inline void encoderTerrain(std::uint8_t destination[TailleTerrain], const EtatTerrain& t)
{
    std::size_t k = 0;
    for (const auto& ligne : t.cellules) {
        for (const std::uint8_t valeur : ligne) {
            destination[k++] = valeur;
        }
    }
    const auto cm = [](int v) {
        return static_cast<std::uint16_t>(v < 0 ? 0 : (v > CoteTerrainCm ? CoteTerrainCm : v));
    };
    const int positions[6] = {t.robotX,
                              t.robotY,
                              t.destinationPlacee ? t.destinationX : 0,
                              t.destinationPlacee ? t.destinationY : 0,
                              t.banditVisible ? t.banditX : 0,
                              t.banditVisible ? t.banditY : 0};
    for (const int v : positions) {
        poser(destination + k, cm(v));
        k += 2;
    }
    destination[k] = static_cast<std::uint8_t>((t.destinationPlacee ? 1 : 0) |
                                               (t.banditVisible ? 2 : 0) | (t.quadrillage ? 4 : 0));
}

/** A whole-field payload of `n` bytes into `t`; false when it is not a valid one. */
inline bool decoderTerrain(const std::uint8_t* charge, std::size_t n, EtatTerrain& t)
{
    if (n != TailleTerrain) {
        return false;
    }
    std::size_t k = 0;
    for (auto& ligne : t.cellules) {
        for (std::uint8_t& valeur : ligne) {
            valeur = charge[k++];
            if (valeur > 3) {
                return false;
            }
        }
    }
    int positions[6];
    for (int& v : positions) {
        v = prendre<std::uint16_t>(charge + k);
        k += 2;
        if (v > CoteTerrainCm) {
            return false;
        }
    }
    const std::uint8_t drapeaux = charge[k];
    const bool sansDestination = (drapeaux & 1) == 0 && (positions[2] != 0 || positions[3] != 0);
    const bool sansBandit = (drapeaux & 2) == 0 && (positions[4] != 0 || positions[5] != 0);
    if (drapeaux > 7 || sansDestination || sansBandit) {
        return false;
    }
    t.robotX = positions[0];
    t.robotY = positions[1];
    t.destinationPlacee = (drapeaux & 1) != 0;
    t.destinationX = positions[2];
    t.destinationY = positions[3];
    t.banditVisible = (drapeaux & 2) != 0;
    t.banditX = positions[4];
    t.banditY = positions[5];
    t.quadrillage = (drapeaux & 4) != 0;
    return true;
}

/** What an edit of the calibration list did. */
enum class OperationListe : std::uint8_t {
    Retrait = 1, ///< a point removed ("Retirer")
    Vidage = 2,  ///< every point removed ("Vider")
};

inline constexpr std::size_t TailleListeCalibration = 9;

/** A calibration list edit's payload, decoded. */
struct EditionListe {
    OperationListe operation = OperationListe::Retrait;
    /** The point removed, from 0 in the list's order; 0 when emptied. */
    std::uint32_t indice = 0;
    /** Points in the list before the edit. */
    std::uint32_t taille = 0;
};

/** The payload of a calibration list edit (its values as decoderListeCalibration accepts them). */
inline void encoderListeCalibration(std::uint8_t destination[TailleListeCalibration],
                                    const EditionListe& e)
{
    destination[0] = static_cast<std::uint8_t>(e.operation);
    poser(destination + 1, e.indice);
    poser(destination + 5, e.taille);
}

/** A calibration list edit's payload of `n` bytes into `e`; false when it is not a valid one. */
inline bool decoderListeCalibration(const std::uint8_t* charge, std::size_t n, EditionListe& e)
{
    if (n != TailleListeCalibration || charge[0] < 1 || charge[0] > 2) {
        return false;
    }
    e.operation = static_cast<OperationListe>(charge[0]);
    e.indice = prendre<std::uint32_t>(charge + 1);
    e.taille = prendre<std::uint32_t>(charge + 5);
    if (e.taille == 0) {
        return false;
    }
    return e.operation == OperationListe::Retrait ? e.indice < e.taille : e.indice == 0;
}

} // namespace journal
