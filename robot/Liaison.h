#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace robotsim {

/**
 * The robot's end of the serial line: the controlling end of a
 * pseudo-terminal pair it made itself, or a serial device it opened (for
 * example one end of a null-modem pair). Every wait blocks in poll() in
 * slices of 100 ms and gives up when the stop flag is raised.
 */
class Liaison {
public:
    enum class Resultat {
        Octets, ///< at least one byte was read
        Delai,  ///< nothing came in time
        Partie, ///< the other end went away
        Arret,  ///< the stop flag was raised
    };

    /**
     * A new pseudo-terminal pair in raw mode; nom() is the device the console
     * opens. With `lien` not empty, a symbolic link of that name points at
     * it (an existing symbolic link is replaced, any other file is not).
     * Null on failure, with the reason in `erreur`.
     */
    static std::unique_ptr<Liaison> creerPty(const std::string& lien, std::string& erreur);

    /** Opens the serial device `chemin` (raw, 8 data bits, no parity, 1 stop bit). */
    static std::unique_ptr<Liaison> ouvrir(const std::string& chemin, std::string& erreur);

    ~Liaison();
    Liaison(const Liaison&) = delete;
    Liaison& operator=(const Liaison&) = delete;

    /** The device the console is to open. */
    const std::string& nom() const { return m_nom; }

    /**
     * Waits until the other end is open (a pseudo-terminal's device end; a
     * device is taken as connected). False when the stop flag was raised.
     */
    bool attendreConnexion(const std::atomic<bool>& arret);

    /** Writes every byte; false when the other end went away or the stop flag was raised. */
    bool ecrire(const std::uint8_t* octets, std::size_t n, const std::atomic<bool>& arret);

    /** Waits up to `delaiMs` for bytes and appends all that are there. */
    Resultat lire(std::vector<std::uint8_t>& octets, int delaiMs, const std::atomic<bool>& arret);

    /** Appends the bytes already there, without waiting; false when the other end went away. */
    bool lireDisponibles(std::vector<std::uint8_t>& octets);

private:
    Liaison(int fd, std::string nom, std::string lien, bool pty);

    int m_fd;
    std::string m_nom;
    /** The symbolic link made for nom(), removed at the end. */
    std::string m_lien;
    bool m_pty;
};

} // namespace robotsim
