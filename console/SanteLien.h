#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

/** The link as the operator sees it. */
enum class EtatLien {
    Ferme,     ///< no port open
    Attente,   ///< open, no frame yet
    Reception, ///< frames arriving
    Perdu,     ///< open, but no whole frame for the loss delay
};

/**
 * The link's health from periodic looks at the port (open or not) and the
 * number of whole frames received so far, at times the caller gives (in
 * milliseconds of a steady clock). "Lost" means the port is open and no
 * frame completed for the loss delay; it recovers with the next frame.
 * Frames per second are counted over the last two seconds. Plain C++.
 */
class SanteLien {
public:
    explicit SanteLien(std::int64_t delaiPerteMs = 2000);

    /** One look; returns the new state when it changed. */
    std::optional<EtatLien> observer(std::int64_t maintenantMs, bool ouvert, std::uint64_t trames);

    EtatLien etat() const { return m_etat; }
    double tramesParSeconde() const { return m_tps; }
    std::int64_t delaiPerteMs() const { return m_delai; }
    /** The pane's text, e.g. "Lien : réception, 9.8 trames/s". */
    std::string texte() const;

private:
    struct Echantillon {
        std::int64_t temps = 0;
        std::uint64_t trames = 0;
    };
    void noter(std::int64_t maintenantMs, std::uint64_t trames);

    std::int64_t m_delai;
    EtatLien m_etat = EtatLien::Ferme;
    std::int64_t m_ouvertA = 0;
    std::int64_t m_derniereTrame = 0;
    std::uint64_t m_tramesVues = 0;
    bool m_aRecu = false;
    double m_tps = 0.0;
    /** The last looks, oldest overwritten first. */
    std::array<Echantillon, 64> m_echantillons{};
    std::size_t m_nombre = 0;
    std::size_t m_suivant = 0;
};
