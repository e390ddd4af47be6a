#pragma once

#include "core/ReglageNumerique.h"

#include <array>
#include <optional>
#include <string_view>

/**
 * Every key of the settings store in one place: its name, what it holds,
 * the range a number is read in and its default. Code names a key only
 * through this list, and a test checks the manual's tables against it.
 */
namespace reglages {

/** What a key holds. */
enum class Genre {
    Oui,    ///< true or false
    Nombre, ///< a number within `plage` (whole when plage.entier)
    Texte,  ///< a text the program wrote (a device, a folder)
};

/** One key, or one family of keys (`famille`: the name is their common start). */
struct CleReglage {
    const char* nom;
    Genre genre;
    Plage plage{0.0, 0.0};
    /** Oui: 1 or 0; Nombre: the default; nothing where the reader computes it (said below). */
    std::optional<double> defaut;
    bool famille = false;
};

/** Seconds without a frame before the link counts as lost. */
inline constexpr CleReglage DelaiPerte{"Lien/DelaiPerteSecondes", Genre::Nombre, {0.5, 60.0}, 2.0};
/** The silence that starts a new frame, ms (0: frames by counting alone); by default four
 * byte times at the link's rate, at least 100 ms. Its top is the parser's longest silence. */
inline constexpr CleReglage SilenceResynchro{
    "Lien/SilenceResynchroMs", Genre::Nombre, {0.0, 10000.0, true}, std::nullopt};
/** The device reopened by itself when it comes back. */
inline constexpr CleReglage Reconnexion{"Lien/Reconnexion", Genre::Oui, {}, 1.0};
/** The robot's device behind each port number, "Link/COM1" and on (set by the port dialog). */
inline constexpr CleReglage PeripheriquePort{"Link/COM", Genre::Texte, {}, std::nullopt, true};
/** The battery level, in % of full, below which the warning pane speaks. */
inline constexpr CleReglage SeuilBatterie{
    "Batterie/SeuilPourcent", Genre::Nombre, {1.0, 99.0, true}, 20.0};
/** The cap of the session logs' folder, MB (up to a terabyte). */
inline constexpr CleReglage TailleJournaux{
    "Journal/TailleMaxMo", Genre::Nombre, {1.0, 1024.0 * 1024.0, true}, 200.0};
/** The replay speed chosen last: an index of the replay's speeds (1, 2, 5, 10, 1000 times). */
inline constexpr CleReglage VitesseRejeu{
    "Journal/VitesseRejeu", Genre::Nombre, {0.0, 4.0, true}, 0.0};
/** The escape out of margins and the mark ahead of a repeated side contact. */
inline constexpr CleReglage Evasion{"Navigation/Evasion", Genre::Oui, {}, 1.0};
/** The position filter, arrival by a margin and the clearing of contact marks. */
inline constexpr CleReglage Filtre{"Navigation/Filtre", Genre::Oui, {}, 1.0};
/** The distance, cm, beyond which a calibration point asks before it is kept. */
inline constexpr CleReglage EcartMaxCalibration{
    "Calibration/EcartMaxCm", Genre::Nombre, {1.0, 1000.0}, 50.0};
/** "Messages clavier": the key boxes shown. */
inline constexpr CleReglage MessagesClavier{"Affichage/MessagesClavier", Genre::Oui, {}, 1.0};
/** The folder a file dialog opened last, per kind of file ("Dossiers/kiv", ...). */
inline constexpr CleReglage DossierFichiers{"Dossiers/", Genre::Texte, {}, std::nullopt, true};

/** Every key, in the manual's order. */
inline constexpr std::array<CleReglage, 12> ToutesLesCles{
    PeripheriquePort, DelaiPerte,     SilenceResynchro,    Reconnexion,
    SeuilBatterie,    TailleJournaux, VitesseRejeu,        MessagesClavier,
    Evasion,          Filtre,         EcartMaxCalibration, DossierFichiers};

} // namespace reglages
