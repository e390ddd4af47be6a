#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

/** The link as the operator sees it. */
enum class EtatSante {
    Ferme,      ///< no port open
    Attente,    ///< open, no frame yet
    SansTrame,  ///< open for the loss delay and still no frame ever
    Reception,  ///< frames arriving
    Perdu,      ///< open, but no whole frame for the loss delay
    Deconnecte, ///< the device went away (unplugged, the other end closed)
};

/** What one look at the link sees. */
struct RegardLien {
    /** The port is open and its monitor runs. */
    bool ouvert = false;
    /** Whole frames received so far. */
    std::uint64_t trames = 0;
    /** Frames cut short by a silence so far. */
    std::uint64_t resynchronisations = 0;
    /** The port was open and its device went away. */
    bool deconnecte = false;
    /** Times the link was opened again by itself after its device came back. */
    std::uint64_t reconnexions = 0;
    /** Received bytes the link dropped before the console could show them, so far. */
    std::uint64_t debordes = 0;
};

/**
 * The link's health from periodic looks at the port (open or not, its
 * device gone or not), the number of whole frames received so far and the
 * frames cut short by a silence, at times the caller gives (in milliseconds
 * of a steady clock). "Lost" means the port is open, frames came, and none
 * completed for the loss delay; it recovers with the next frame. A port
 * that never received a frame is not lost: after the loss delay it says
 * that no frame ever came. Frames per second are
 * counted over the last two seconds; frames cut short, and bytes dropped by
 * an overrun, are told while one of them is less than ten seconds old.
 * Plain C++.
 */
class SanteLien {
public:
    explicit SanteLien(std::int64_t delaiPerteMs = 2000);

    /** One look; returns the new state when it changed. */
    std::optional<EtatSante> observer(std::int64_t maintenantMs, const RegardLien& regard);
    /** A look at a link that is not lost: open or not, and its frames. */
    std::optional<EtatSante> observer(std::int64_t maintenantMs, bool ouvert, std::uint64_t trames)
    {
        return observer(maintenantMs, RegardLien{ouvert, trames, m_resynchrosVus.vus, false,
                                                 m_reconnexionsVues, m_debordesVus.vus});
    }

    EtatSante etat() const { return m_etat; }
    double tramesParSeconde() const { return m_tps; }
    std::int64_t delaiPerteMs() const { return m_delai; }
    /** Frames cut short by a silence in the last ten seconds. */
    std::uint64_t resynchronisationsRecentes() const { return m_resynchrosVus.recents(); }
    /** Received bytes dropped by an overrun in the last ten seconds. */
    std::uint64_t debordesRecents() const { return m_debordesVus.recents(); }
    /**
     * The pane's text, e.g. "Lien : réception, 9.8 trames/s" or
     * "Lien : réception, 2.0 trames/s, 1 resynchronisation"; bytes dropped
     * by an overrun come first (", 1234 octets perdus (débordement)"); for
     * ten seconds after the link was opened again by itself, ", reconnecté"
     * follows.
     */
    std::string texte() const;

private:
    struct Echantillon {
        std::int64_t temps = 0;
        std::uint64_t trames = 0;
    };
    /** A count that only grows, and what it grew by in the last ten seconds. */
    struct CompteRecent {
        std::uint64_t vus = 0;
        /** Looks that saw it grow: when, and by how much. */
        std::deque<std::pair<std::int64_t, std::uint64_t>> hausses;
        void noter(std::int64_t maintenantMs, std::uint64_t compte);
        std::uint64_t recents() const;
    };

    void noter(std::int64_t maintenantMs, std::uint64_t trames);

    std::int64_t m_delai;
    EtatSante m_etat = EtatSante::Ferme;
    std::int64_t m_ouvertA = 0;
    std::int64_t m_derniereTrame = 0;
    std::uint64_t m_tramesVues = 0;
    bool m_aRecu = false;
    double m_tps = 0.0;
    /** The last looks, oldest overwritten first. */
    std::array<Echantillon, 64> m_echantillons{};
    std::size_t m_nombre = 0;
    std::size_t m_suivant = 0;
    CompteRecent m_resynchrosVus;
    CompteRecent m_debordesVus;
    std::uint64_t m_reconnexionsVues = 0;
    /** When the link was last opened again by itself; told for ten seconds. */
    std::optional<std::int64_t> m_reconnecteA;
    std::int64_t m_maintenant = 0;
};
