#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace robotsim {

/** A fault the relay makes in the bytes the robot sends to the console. */
struct Faute {
    enum class Genre {
        Perte,     ///< `nombre` bytes from there never arrive
        Doublon,   ///< the byte arrives twice
        Inversion, ///< the byte arrives with the bits of `masque` flipped
        Retard,    ///< the byte, and all after it, are held back `retardMs`
        Bruit,     ///< `nombre` random bytes arrive before the byte
    };
    Genre genre = Genre::Perte;
    /** The byte of the robot's stream it falls on, counted from 0. */
    std::uint64_t octet = 0;
    int nombre = 1;
    /** Inversion: the bits flipped; 0: one bit chosen at random. */
    std::uint8_t masque = 0;
    int retardMs = 0;
};

/** The faults of a relay: at given bytes, and at given rates per byte. */
struct ReglagesRelais {
    std::vector<Faute> fautes;
    double tauxPerte = 0.0;
    double tauxDoublon = 0.0;
    double tauxInversion = 0.0;
    std::uint32_t graine = 1;
};

/** What a relay did so far. */
struct BilanRelais {
    std::uint64_t lus = 0;      ///< bytes read from the robot
    std::uint64_t transmis = 0; ///< bytes written to the console
    std::uint64_t perdus = 0;
    std::uint64_t doubles = 0;
    std::uint64_t inverses = 0;
    std::uint64_t bruit = 0; ///< random bytes added
    std::uint64_t retardes = 0;
};

/**
 * A faulty line between the virtual robot and the console, on two
 * pseudo-terminal pairs: the relay opens the robot's device and makes one
 * of its own that the console opens. Bytes from the robot reach the console
 * with the faults of its settings, seeded, so a run can be made again; bytes
 * from the console reach the robot unchanged. It opens the robot's device
 * once the console has opened its end, and closes it when the console goes
 * away (the robot then ends). Every wait is a poll() in slices of 100 ms.
 */
class Relais {
public:
    /** Null on failure, with the reason in `erreur`. */
    static std::unique_ptr<Relais> creer(const std::string& peripheriqueRobot,
                                         ReglagesRelais reglages, std::string& erreur);
    ~Relais();
    Relais(const Relais&) = delete;
    Relais& operator=(const Relais&) = delete;

    /** The device the console is to open. */
    const std::string& nom() const { return m_nom; }

    /** Relays on a thread of its own until arreter() or either end goes away. */
    void demarrer();
    void arreter();

    BilanRelais bilan() const;
    /**
     * Bytes the console gets beyond those the robot sent (added less lost),
     * so far: a peer in lock step counts on sent + ecart() handled bytes.
     */
    std::int64_t ecart() const { return m_ecart.load(std::memory_order_acquire); }

private:
    Relais(int console, std::string nom, std::string robot, ReglagesRelais reglages);
    void executer();

    int m_console;
    std::string m_nom;
    std::string m_robot;
    ReglagesRelais m_reglages;
    std::thread m_fil;
    std::atomic<bool> m_arret{false};
    std::atomic<std::int64_t> m_ecart{0};
    mutable std::mutex m_mutex;
    BilanRelais m_bilan;
};

} // namespace robotsim
