#include "robot/EntreeCommandes.h"

#include "robot/CommandesRobot.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace robotsim {

EntreeCommandes::EntreeCommandes(int fd)
    : m_fd(fd)
    , m_ouverte(fd >= 0)
{}

bool EntreeCommandes::lire(std::vector<CommandeTapee>& lignes)
{
    // A bounded number of reads a call: a file of commands is taken a
    // piece at a time, never holding the robot's loop.
    for (int essai = 0; m_ouverte && essai < 16; ++essai) {
        if (::isatty(m_fd) == 1 && ::tcgetpgrp(m_fd) != ::getpgrp()) {
            return true;
        }
        pollfd p{m_fd, POLLIN, 0};
        const int pret = ::poll(&p, 1, 0);
        if (pret < 0 && errno == EINTR) {
            return true;
        }
        if (pret < 0 || (p.revents & POLLNVAL) != 0) {
            m_ouverte = false;
            break;
        }
        if (pret == 0 || (p.revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            return true;
        }
        char tampon[4096];
        const ssize_t n = ::read(m_fd, tampon, sizeof tampon);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EIO)) {
            // EIO: a terminal that is no longer ours to read; maybe later.
            return true;
        }
        if (n <= 0) {
            m_ouverte = false;
            break;
        }
        ajouter(tampon, static_cast<std::size_t>(n), lignes);
    }
    if (!m_ouverte && (!m_ligne.empty() || m_tropLongue)) {
        // The last line without its line end still counts.
        lignes.push_back({m_tropLongue ? std::string() : std::move(m_ligne), m_tropLongue});
        m_ligne.clear();
        m_tropLongue = false;
    }
    return m_ouverte;
}

void EntreeCommandes::ajouter(const char* octets, std::size_t n, std::vector<CommandeTapee>& lignes)
{
    for (std::size_t k = 0; k < n; ++k) {
        const char c = octets[k];
        if (c == '\n') {
            lignes.push_back({m_tropLongue ? std::string() : std::move(m_ligne), m_tropLongue});
            m_ligne.clear();
            m_tropLongue = false;
        } else if (m_tropLongue) {
            continue;
        } else if (m_ligne.size() >= LongueurCommandeMax) {
            m_ligne.clear();
            m_tropLongue = true;
        } else {
            m_ligne += c;
        }
    }
}

} // namespace robotsim
