#include "robot/Relais.h"

#include "robot/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <unistd.h>

namespace robotsim {

namespace {

using Horloge = std::chrono::steady_clock;

/** Writes all of `octets`; false when the other end went away or the relay stops. */
bool toutEcrire(int fd, const std::uint8_t* octets, std::size_t n, const std::atomic<bool>& arret)
{
    while (n > 0 && !arret) {
        const ssize_t k = ::write(fd, octets, n);
        if (k > 0) {
            octets += k;
            n -= static_cast<std::size_t>(k);
        } else if (k < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return false;
        }
    }
    return n == 0;
}

} // namespace

std::unique_ptr<Relais> Relais::creer(const std::string& peripheriqueRobot, ReglagesRelais reglages,
                                      std::string& erreur)
{
    // The device end closed: the console's opening and closing of it show
    // on this end.
    PairePty paire;
    if (!ouvrirPty(paire, false, erreur)) {
        return nullptr;
    }
    return std::unique_ptr<Relais>(
        new Relais(paire.maitre, paire.nom, peripheriqueRobot, std::move(reglages)));
}

Relais::Relais(int console, std::string nom, std::string robot, ReglagesRelais reglages)
    : m_console(console)
    , m_nom(std::move(nom))
    , m_robot(std::move(robot))
    , m_reglages(std::move(reglages))
{}

Relais::~Relais()
{
    arreter();
    ::close(m_console);
}

void Relais::demarrer()
{
    if (!m_fil.joinable()) {
        m_fil = std::thread([this] { executer(); });
    }
}

void Relais::arreter()
{
    m_arret = true;
    if (m_fil.joinable()) {
        m_fil.join();
    }
}

BilanRelais Relais::bilan() const
{
    std::lock_guard verrou(m_mutex);
    return m_bilan;
}

void Relais::executer()
{
    // The robot's device is opened once the console holds its end.
    for (;;) {
        if (m_arret) {
            return;
        }
        pollfd p{m_console, POLLIN, 0};
        if (::poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0) {
            break;
        }
        ::usleep(10000);
    }
    const int robot = ::open(m_robot.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (robot < 0 || !mettreEnBrut(robot)) {
        if (robot >= 0) {
            ::close(robot);
        }
        return;
    }
    std::mt19937 alea(m_reglages.graine);
    std::uniform_real_distribution<double> tirage(0.0, 1.0);
    std::vector<Faute> fautes = m_reglages.fautes;
    std::sort(fautes.begin(), fautes.end(),
              [](const Faute& a, const Faute& b) { return a.octet < b.octet; });
    std::size_t prochaine = 0;
    std::deque<std::uint8_t> sortie;
    Horloge::time_point retenueJusqua{};
    int aPerdre = 0;
    std::uint64_t numero = 0;
    std::uint8_t tampon[512];

    while (!m_arret) {
        int attente = 100;
        const auto maintenant = Horloge::now();
        if (!sortie.empty() && retenueJusqua > maintenant) {
            attente = static_cast<int>(std::min<long long>(
                100,
                std::chrono::duration_cast<std::chrono::milliseconds>(retenueJusqua - maintenant)
                        .count() +
                    1));
        }
        pollfd p[2] = {{robot, POLLIN, 0}, {m_console, POLLIN, 0}};
        if (::poll(p, 2, attente) < 0 && errno != EINTR) {
            break;
        }
        // From the robot, with the faults.
        ssize_t n = ::read(robot, tampon, sizeof tampon);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            if ((p[0].revents & (POLLHUP | POLLERR)) != 0 || n < 0) {
                break;
            }
        }
        BilanRelais compte;
        std::int64_t ecart = 0;
        for (ssize_t k = 0; k < n; ++k, ++numero) {
            std::uint8_t octet = tampon[k];
            ++compte.lus;
            int fois = 1;
            for (; prochaine < fautes.size() && fautes[prochaine].octet <= numero; ++prochaine) {
                const Faute& f = fautes[prochaine];
                if (f.octet < numero) {
                    continue; // a byte already gone by
                }
                switch (f.genre) {
                case Faute::Genre::Perte:
                    aPerdre = std::max(aPerdre, f.nombre);
                    break;
                case Faute::Genre::Doublon:
                    ++fois;
                    break;
                case Faute::Genre::Inversion:
                    octet ^=
                        f.masque != 0 ? f.masque : static_cast<std::uint8_t>(1u << (alea() % 8));
                    ++compte.inverses;
                    break;
                case Faute::Genre::Retard:
                    retenueJusqua = Horloge::now() + std::chrono::milliseconds(f.retardMs);
                    compte.retardes += 1;
                    break;
                case Faute::Genre::Bruit:
                    for (int b = 0; b < f.nombre; ++b) {
                        sortie.push_back(static_cast<std::uint8_t>(alea() & 0xFF));
                    }
                    compte.bruit += static_cast<std::uint64_t>(f.nombre);
                    ecart += f.nombre;
                    break;
                }
            }
            if (m_reglages.tauxPerte > 0.0 && tirage(alea) < m_reglages.tauxPerte) {
                aPerdre = std::max(aPerdre, 1);
            }
            if (m_reglages.tauxDoublon > 0.0 && tirage(alea) < m_reglages.tauxDoublon) {
                ++fois;
            }
            if (m_reglages.tauxInversion > 0.0 && tirage(alea) < m_reglages.tauxInversion) {
                octet ^= static_cast<std::uint8_t>(1u << (alea() % 8));
                ++compte.inverses;
            }
            if (aPerdre > 0) {
                --aPerdre;
                ++compte.perdus;
                --ecart;
                continue;
            }
            compte.doubles += static_cast<std::uint64_t>(fois - 1);
            ecart += fois - 1;
            for (int f = 0; f < fois; ++f) {
                sortie.push_back(octet);
            }
        }
        // To the console, unless held back.
        std::size_t ecrits = 0;
        if (!sortie.empty() && Horloge::now() >= retenueJusqua) {
            std::vector<std::uint8_t> bloc(sortie.begin(), sortie.end());
            if (!toutEcrire(m_console, bloc.data(), bloc.size(), m_arret)) {
                break;
            }
            ecrits = bloc.size();
            sortie.clear();
        }
        {
            std::lock_guard verrou(m_mutex);
            m_bilan.lus += compte.lus;
            m_bilan.transmis += ecrits;
            m_bilan.perdus += compte.perdus;
            m_bilan.doubles += compte.doubles;
            m_bilan.inverses += compte.inverses;
            m_bilan.bruit += compte.bruit;
            m_bilan.retardes += compte.retardes;
        }
        m_ecart.fetch_add(ecart, std::memory_order_release);
        // From the console, unchanged.
        const ssize_t m = ::read(m_console, tampon, sizeof tampon);
        if (m > 0) {
            if (!toutEcrire(robot, tampon, static_cast<std::size_t>(m), m_arret)) {
                break;
            }
        } else if (m < 0 && errno == EIO) {
            break; // the console closed its end
        }
    }
    // The robot sees its line go.
    ::close(robot);
}

} // namespace robotsim
