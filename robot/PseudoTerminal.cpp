#include "robot/PseudoTerminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace robotsim {

bool mettreEnBrut(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    // TCSANOW: bytes already queued are kept.
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

bool ouvrirPty(PairePty& paire, bool garderEsclave, std::string& erreur)
{
    int maitre = -1;
    int esclave = -1;
    char nom[128] = {};
    if (openpty(&maitre, &esclave, nom, nullptr, nullptr) != 0) {
        erreur = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    if (!mettreEnBrut(esclave)) {
        erreur = std::string("tcsetattr: ") + std::strerror(errno);
        ::close(esclave);
        ::close(maitre);
        return false;
    }
    fcntl(maitre, F_SETFL, fcntl(maitre, F_GETFL) | O_NONBLOCK);
    fcntl(maitre, F_SETFD, FD_CLOEXEC);
    if (garderEsclave) {
        fcntl(esclave, F_SETFD, FD_CLOEXEC);
    } else {
        ::close(esclave);
        esclave = -1;
    }
    paire.maitre = maitre;
    paire.esclave = esclave;
    paire.nom = nom;
    return true;
}

void fermerPty(PairePty& paire)
{
    if (paire.maitre >= 0) {
        ::close(paire.maitre);
        paire.maitre = -1;
    }
    if (paire.esclave >= 0) {
        ::close(paire.esclave);
        paire.esclave = -1;
    }
}

} // namespace robotsim
