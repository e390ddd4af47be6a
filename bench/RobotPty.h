#pragma once

// The robot's end of a pseudo-terminal for the link benchmarks: opening the
// pair, writing and reading bytes with waits that never spin, the processor
// clocks and the delay summary.

#include "robot/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace banc {

double tempsThread()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double tempsProcessus()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

/** The robot's end of the line. */
class Robot {
public:
    explicit Robot(int fd)
        : m_fd(fd)
    {}

    void ecrire(const unsigned char* octets, std::size_t n) const
    {
        while (n > 0) {
            const ssize_t k = ::write(m_fd, octets, n);
            if (k > 0) {
                octets += k;
                n -= static_cast<std::size_t>(k);
            } else if (errno == EAGAIN) {
                pollfd p{m_fd, POLLOUT, 0};
                ::poll(&p, 1, 1000);
            } else if (errno != EINTR) {
                std::perror("write");
                std::exit(1);
            }
        }
    }

    /** Reads one command byte; false after `delaiMs` without one. */
    bool lire(unsigned char& octet, int delaiMs = 5000) const
    {
        for (;;) {
            const ssize_t k = ::read(m_fd, &octet, 1);
            if (k == 1) {
                return true;
            }
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, delaiMs) <= 0) {
                return false;
            }
        }
    }

private:
    int m_fd;
};

void afficherDelais(const char* titre, std::vector<double> d)
{
    if (d.empty()) {
        std::printf("%s: no frame\n", titre);
        return;
    }
    std::sort(d.begin(), d.end());
    auto rang = [&](double q) {
        return d[static_cast<std::size_t>(q * static_cast<double>(d.size() - 1))];
    };
    std::printf("%s: %zu frames, p50 %.0f us, p99 %.0f us, max %.0f us\n", titre, d.size(),
                rang(0.50), rang(0.99), d.back());
}

/** Resident memory of the process, MB. */
inline double memoireResidente()
{
    long pages = 0;
    long residentes = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &residentes) != 2) {
            residentes = 0;
        }
        std::fclose(f);
    }
    return static_cast<double>(residentes) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

/** A pseudo-terminal pair in raw mode: the robot's descriptor and the device name. */
struct PtyBanc {
    int robot = -1;
    std::string nom;

    bool ouvrir()
    {
        std::string erreur;
        if (!robotsim::ouvrirPty(m_paire, true, erreur)) {
            std::fprintf(stderr, "%s\n", erreur.c_str());
            return false;
        }
        robot = m_paire.maitre;
        nom = m_paire.nom;
        return true;
    }
    ~PtyBanc() { robotsim::fermerPty(m_paire); }

private:
    robotsim::PairePty m_paire;
};

} // namespace banc
