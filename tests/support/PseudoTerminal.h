#pragma once

// A pseudo-terminal that plays the robot's end of the serial line, and an
// event-loop wait, for the tests of the link and of the console.

#include "robot/PseudoTerminal.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

/**
 * A pseudo-terminal pair: the engine opens the device end (`nom`), the test
 * plays the robot on the controlling end. A descriptor of the device end
 * stays open (never read) so the controlling end never fails with EIO while
 * the engine has not opened its side. What arrives from the engine is
 * collected, on the test's thread, as the event loop runs.
 */
class Pty {
public:
    Pty()
    {
        robotsim::PairePty paire;
        std::string erreur;
        if (!robotsim::ouvrirPty(paire, true, erreur)) {
            ADD_FAILURE() << erreur;
            return;
        }
        m_robot = paire.maitre;
        m_garde = paire.esclave;
        m_nom = paire.nom;
        m_lecteur = std::make_unique<QSocketNotifier>(m_robot, QSocketNotifier::Read);
        QObject::connect(m_lecteur.get(), &QSocketNotifier::activated, [this] { lire(); });
    }
    ~Pty()
    {
        fermerRobot();
        if (m_garde >= 0) {
            ::close(m_garde);
        }
    }

    const std::string& nom() const { return m_nom; }

    /** The robot sends `octets`. */
    void envoyer(const std::string& octets)
    {
        std::size_t fait = 0;
        while (fait < octets.size()) {
            const ssize_t n = ::write(m_robot, octets.data() + fait, octets.size() - fait);
            if (n > 0) {
                fait += static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                ADD_FAILURE() << "write: " << std::strerror(errno);
                return;
            }
        }
    }

    /** The robot goes away: its end of the line is closed. */
    void fermerRobot()
    {
        m_lecteur.reset();
        if (m_robot >= 0) {
            ::close(m_robot);
            m_robot = -1;
        }
    }

    /** Bytes sent by the robot that the engine has not read yet (-1: unknown). */
    int nonLus() const
    {
        int n = -1;
        return m_garde >= 0 && ::ioctl(m_garde, FIONREAD, &n) == 0 ? n : -1;
    }

    /**
     * Waits for `n` bytes in `recu` without running the event loop (the
     * caller's thread stays busy meanwhile): what the engine writes from
     * its own thread. False after 20 s, a guard against a broken engine.
     */
    bool recuSansBoucle(std::size_t n)
    {
        QDeadlineTimer fin(20000);
        while (recu.size() < n) {
            pollfd attente{m_robot, POLLIN, 0};
            const auto reste = static_cast<int>(fin.remainingTime());
            if (reste <= 0) {
                return false;
            }
            if (::poll(&attente, 1, reste) > 0) {
                lire();
            }
        }
        return true;
    }

    /** Everything the engine has written so far. */
    std::string recu;

private:
    void lire()
    {
        char tampon[256];
        ssize_t n;
        while ((n = ::read(m_robot, tampon, sizeof tampon)) > 0) {
            recu.append(tampon, static_cast<std::size_t>(n));
        }
    }

    int m_robot = -1;
    int m_garde = -1;
    std::string m_nom;
    std::unique_ptr<QSocketNotifier> m_lecteur;
};

/** Runs the event loop until `condition` holds; false after `ms` (a guard against hangs only). */
inline bool attendre(const std::function<bool()>& condition, int ms = 20000)
{
    QDeadlineTimer fin(ms);
    // The loop wakes for events; the tick only lets the guard expire.
    QTimer tic;
    tic.start(50);
    while (!condition()) {
        if (fin.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

/**
 * Delivers every event already posted to this thread, and those they post in
 * turn: once the thread that could hand something over has ended or holds
 * still, whatever it handed over has then arrived, without a wait on the clock.
 */
inline void viderFile()
{
    for (int tour = 0; tour < 8; ++tour) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}
