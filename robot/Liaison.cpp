#include "robot/Liaison.h"

#include "robot/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace robotsim {

namespace {

constexpr int Tranche = 100;

std::string raison(const char* quoi)
{
    return std::string(quoi) + ": " + std::strerror(errno);
}

/** `lien` is a symbolic link whose text is `cible`. */
bool lienPointeSur(const std::string& lien, const std::string& cible)
{
    struct stat s {};
    if (::lstat(lien.c_str(), &s) != 0 || !S_ISLNK(s.st_mode)) {
        return false;
    }
    char texte[512];
    const ssize_t n = ::readlink(lien.c_str(), texte, sizeof texte);
    return n > 0 && static_cast<std::size_t>(n) < sizeof texte &&
           std::string(texte, static_cast<std::size_t>(n)) == cible;
}

/**
 * Makes the symbolic link `lien` to `nom`. Nothing is replaced but a
 * symbolic link that leads nowhere (left by a robot that ended): a file,
 * or a link to a device that exists (another robot's, live), is refused.
 */
bool poserLien(const std::string& nom, const std::string& lien, std::string& erreur)
{
    struct stat s {};
    if (::lstat(lien.c_str(), &s) == 0) {
        struct stat cible {};
        if (!S_ISLNK(s.st_mode)) {
            erreur = lien + " existe et n'est pas un lien symbolique";
            return false;
        }
        if (::stat(lien.c_str(), &cible) == 0) {
            erreur = lien + " mène déjà à un périphérique qui existe (un autre robot ?)";
            return false;
        }
        // A dead link: removed only if it is still the one just looked at.
        if (::unlink(lien.c_str()) != 0 && errno != ENOENT) {
            erreur = raison(lien.c_str());
            return false;
        }
    }
    // Never over anything that appeared meanwhile.
    if (::symlink(nom.c_str(), lien.c_str()) != 0) {
        erreur = raison(lien.c_str());
        return false;
    }
    return true;
}

void dormirMs(int ms)
{
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

} // namespace

Liaison::Liaison(int fd, std::string nom, std::string lien, bool pty)
    : m_fd(fd)
    , m_nom(std::move(nom))
    , m_lien(std::move(lien))
    , m_pty(pty)
{}

Liaison::~Liaison()
{
    ::close(m_fd);
    // Only the link made here, if it is still this one (not replaced since).
    if (!m_lien.empty() && lienPointeSur(m_lien, m_nom)) {
        ::unlink(m_lien.c_str());
    }
}

std::unique_ptr<Liaison> Liaison::creerPty(const std::string& lien, std::string& erreur)
{
    PairePty paire;
    if (!ouvrirPty(paire, false, erreur)) {
        return nullptr;
    }
    const int maitre = paire.maitre;
    const std::string& nom = paire.nom;
    if (!lien.empty() && !poserLien(nom, lien, erreur)) {
        ::close(maitre);
        return nullptr;
    }
    return std::unique_ptr<Liaison>(new Liaison(maitre, nom, lien, true));
}

std::unique_ptr<Liaison> Liaison::ouvrir(const std::string& chemin, std::string& erreur)
{
    const int fd = ::open(chemin.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        erreur = raison(chemin.c_str());
        return nullptr;
    }
    if (isatty(fd) && !mettreEnBrut(fd)) {
        erreur = raison(chemin.c_str());
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<Liaison>(new Liaison(fd, chemin, {}, false));
}

bool Liaison::attendreConnexion(const std::atomic<bool>& arret)
{
    // The controlling end of a pair reports a hang-up while nobody holds
    // the device end open.
    while (m_pty && !arret) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0) {
            return true;
        }
        dormirMs(20);
    }
    return !arret;
}

bool Liaison::ecrire(const std::uint8_t* octets, std::size_t n, const std::atomic<bool>& arret)
{
    while (n > 0) {
        if (arret) {
            return false;
        }
        const ssize_t k = ::write(m_fd, octets, n);
        if (k > 0) {
            octets += k;
            n -= static_cast<std::size_t>(k);
        } else if (k < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{m_fd, POLLOUT, 0};
            ::poll(&p, 1, Tranche);
            if ((p.revents & (POLLHUP | POLLERR)) != 0) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

Liaison::Resultat Liaison::lire(std::vector<std::uint8_t>& octets, int delaiMs,
                                const std::atomic<bool>& arret)
{
    timespec debut{};
    clock_gettime(CLOCK_MONOTONIC, &debut);
    for (;;) {
        const std::size_t avant = octets.size();
        if (!lireDisponibles(octets)) {
            return Resultat::Partie;
        }
        if (octets.size() > avant) {
            return Resultat::Octets;
        }
        if (arret) {
            return Resultat::Arret;
        }
        timespec maintenant{};
        clock_gettime(CLOCK_MONOTONIC, &maintenant);
        const long ecoule = (maintenant.tv_sec - debut.tv_sec) * 1000 +
                            (maintenant.tv_nsec - debut.tv_nsec) / 1000000;
        if (ecoule >= delaiMs) {
            return Resultat::Delai;
        }
        pollfd p{m_fd, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(std::min<long>(Tranche, delaiMs - ecoule)));
    }
}

bool Liaison::lireDisponibles(std::vector<std::uint8_t>& octets)
{
    std::uint8_t tampon[256];
    for (;;) {
        const ssize_t k = ::read(m_fd, tampon, sizeof tampon);
        if (k > 0) {
            octets.insert(octets.end(), tampon, tampon + k);
            continue;
        }
        if (k < 0 && errno == EINTR) {
            continue;
        }
        if (k == 0 || errno == EAGAIN) {
            // Nothing there: a terminal in raw mode answers 0 bytes (or
            // EAGAIN) then. Gone only when it hangs up with nothing left.
            pollfd p{m_fd, POLLIN, 0};
            return ::poll(&p, 1, 0) <= 0 || (p.revents & (POLLHUP | POLLERR)) == 0;
        }
        // EIO: the device end was closed, or the device went away.
        return false;
    }
}

} // namespace robotsim
