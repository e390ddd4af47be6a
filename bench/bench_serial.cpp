// The serial engine alone over a pseudo-terminal, with an owner that answers
// every status byte at once, as the control view does:
//  (a) delay from the robot's status byte written to the command byte read
//      back, p50 / p99 / max over 5,000 frames, in lock step;
//  (b) frames paced at the line rate of 38400 baud (384 frames/s) and at four
//      times that: every frame answered, in order, the delay, and the
//      processor use of the engine and its owner;
//  (c) the robot sending as fast as it can: the highest sustained frame rate,
//      with no frame lost or shifted.
#include "RobotPty.h"
#include "core/scripted/ScriptedPlatform.h"
#include "link/SerialPort.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using banc::afficherDelais;
using banc::Robot;
using banc::tempsProcessus;
using banc::tempsThread;

using Horloge = std::chrono::steady_clock;

/** Byte `i` of frame `k`: eight timestamp bytes, the status byte, the battery byte. */
unsigned char octetTrame(std::uint32_t k, int i)
{
    if (i < 8) {
        return static_cast<unsigned char>((k * 7u + static_cast<unsigned>(i) * 13u) & 0xFFu);
    }
    return static_cast<unsigned char>(i == 8 ? (k & 3u) : 100u + k % 100u);
}

/** The command that answers frame `k`. */
unsigned char commande(std::uint32_t k)
{
    return static_cast<unsigned char>(0x80u | (k & 0x7Fu));
}

/**
 * The console's side: counts the bytes into frames, checks them and, unless
 * the engine's reflex does, answers each status byte.
 */
class Proprietaire : public RobotLinkOwner {
public:
    Proprietaire(std::uint32_t premiere, bool repondre)
        : m_trame(premiere)
        , m_repondre(repondre)
    {}

    void OnRobotByte(int octet, int) override
    {
        if (octet != octetTrame(m_trame, m_position)) {
            ++decalages;
        }
        if (m_position == 8 && m_repondre) {
            const char texte[2] = {static_cast<char>(commande(m_trame)), '\0'};
            lien->QueueWrite(texte);
        }
        if (++m_position == 10) {
            m_position = 0;
            ++m_trame;
        }
    }
    void surDebordement(std::uint64_t octets) override
    {
        // Bytes the engine dropped, the owner too far behind: counted, and
        // the next byte is checked at its own place.
        perdus += octets;
        const std::uint64_t p = static_cast<std::uint64_t>(m_position) + octets;
        m_trame += static_cast<std::uint32_t>(p / 10);
        m_position = static_cast<int>(p % 10);
    }
    /** The frames seen whole so far. */
    std::uint32_t trames() const { return m_trame; }

    RobotLink* lien = nullptr;
    long decalages = 0;
    std::uint64_t perdus = 0;

private:
    std::uint32_t m_trame = 0;
    int m_position = 0;
    bool m_repondre;
};

struct Mesure {
    std::vector<double> delais; // microseconds
    long erreurs = 0;
    double secondes = 0;
    double processeurRobot = 0;
};

/**
 * Runs the robot on its own threads while the owner's event loop turns:
 * `trames` frames from frame `premiere`, one every `periode` (zero: as fast
 * as possible; negative: lock step, each frame after the previous answer).
 * `statutSeul`: in lock step, the status byte written alone once the
 * timestamps are handled.
 */
Mesure faireTourner(Robot& robot, std::uint32_t premiere, int trames,
                    std::chrono::nanoseconds periode, bool statutSeul = false)
{
    Mesure m;
    std::vector<Horloge::time_point> envoi(static_cast<std::size_t>(trames));
    std::atomic<int> envoyees{0};
    QEventLoop boucle;
    const auto debut = Horloge::now();
    const bool pasAPas = periode.count() < 0;

    auto trame = [&](int j, unsigned char* t) {
        for (int i = 0; i < 10; ++i) {
            t[i] = octetTrame(premiere + static_cast<std::uint32_t>(j), i);
        }
    };
    std::thread lecteur([&] {
        const double cpu0 = tempsThread();
        for (int j = 0; j < trames; ++j) {
            if (pasAPas) {
                unsigned char t[10];
                trame(j, t);
                if (statutSeul) {
                    robot.ecrire(t, 8);
                    std::this_thread::sleep_for(std::chrono::microseconds(300));
                    envoi[static_cast<std::size_t>(j)] = Horloge::now();
                    robot.ecrire(t + 8, 1);
                } else {
                    envoi[static_cast<std::size_t>(j)] = Horloge::now();
                    robot.ecrire(t, 9);
                }
            } else {
                while (envoyees.load(std::memory_order_acquire) <= j) {
                    envoyees.wait(j, std::memory_order_acquire);
                }
            }
            unsigned char c = 0;
            if (!robot.lire(c)) {
                m.erreurs += trames - j;
                break;
            }
            const auto recu = Horloge::now();
            if (c != commande(premiere + static_cast<std::uint32_t>(j))) {
                ++m.erreurs;
            }
            m.delais.push_back(
                std::chrono::duration<double, std::micro>(recu - envoi[static_cast<std::size_t>(j)])
                    .count());
            if (pasAPas) {
                unsigned char t[10];
                trame(j, t);
                robot.ecrire(t + 9, 1);
            }
        }
        m.secondes = std::chrono::duration<double>(Horloge::now() - debut).count();
        m.processeurRobot += tempsThread() - cpu0;
        QMetaObject::invokeMethod(&boucle, &QEventLoop::quit, Qt::QueuedConnection);
    });
    std::thread ecrivain;
    if (!pasAPas) {
        ecrivain = std::thread([&] {
            const double cpu0 = tempsThread();
            auto prochaine = Horloge::now();
            for (int j = 0; j < trames; ++j) {
                if (periode.count() > 0) {
                    std::this_thread::sleep_until(prochaine);
                    prochaine += periode;
                }
                unsigned char t[10];
                trame(j, t);
                robot.ecrire(t, 9);
                envoi[static_cast<std::size_t>(j)] = Horloge::now();
                envoyees.store(j + 1, std::memory_order_release);
                envoyees.notify_all();
                robot.ecrire(t + 9, 1);
            }
            m.processeurRobot += tempsThread() - cpu0;
        });
    }
    boucle.exec();
    lecteur.join();
    if (ecrivain.joinable()) {
        ecrivain.join();
    }
    return m;
}

} // namespace

/** Runs the event loop until the owner has seen `trames` whole frames (10 s at most). */
bool attendreOctets(const Proprietaire& proprietaire, std::uint32_t trames)
{
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (proprietaire.trames() < trames && std::chrono::steady_clock::now() < limite) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return proprietaire.trames() >= trames;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ScriptedPlatform scripted;
    setPlatform(&scripted);

    banc::PtyBanc pty;
    if (!pty.ouvrir()) {
        return 1;
    }
    const char* nom = pty.nom.c_str();
    qputenv("KIV_COM1", nom);

    Robot robot(pty.robot);
    std::uint32_t trame = 0;
    long erreurs = 0;
    long decalages = 0;
    std::uint64_t perdus = 0;
    // First the owner answers on its thread, then the engine's reflex on the engine's.
    for (const bool reflexe : {false, true}) {
        Proprietaire proprietaire(trame, !reflexe);
        SerialPort lien;
        proprietaire.lien = &lien;
        // The reflex's own count of the bytes, on the engine's thread only.
        std::uint32_t trameReflexe = trame;
        int positionReflexe = 0;
        const bool ouvert =
            lien.Configure(&proprietaire, 1, 38400, 'N', 8, 1, LinkRxChar | LinkCts, 512) &&
            (!reflexe ||
             lien.installerReflexe({[&](int, std::int64_t, std::string& reponse) {
                                        if (positionReflexe == 8) {
                                            reponse += static_cast<char>(commande(trameReflexe));
                                        }
                                        if (++positionReflexe == 10) {
                                            positionReflexe = 0;
                                            ++trameReflexe;
                                        }
                                    },
                                    [](std::int64_t) {}})) &&
            lien.StartMonitor();
        if (!ouvert) {
            std::fprintf(stderr, "cannot open %s\n", nom);
            return 1;
        }
        auto tour = [&](const char* titre, int n, std::chrono::nanoseconds periode,
                        bool seul = false) {
            const double cpu0 = tempsProcessus();
            Mesure m = faireTourner(robot, trame, n, periode, seul);
            const double cpu = tempsProcessus() - cpu0 - m.processeurRobot;
            trame += static_cast<std::uint32_t>(n);
            erreurs += m.erreurs;
            afficherDelais(titre, m.delais);
            std::printf("    %.0f frames/s over %.2f s, engine + owner processor %.1f %% of one "
                        "core, %ld wrong or missing commands\n",
                        n / m.secondes, m.secondes, 100.0 * cpu / m.secondes, m.erreurs);
        };

        std::printf(reflexe ? "Serial engine over %s, its reflex answering each status byte on "
                              "its thread, the owner checking every byte\n"
                            : "Serial engine over %s, owner answering each status byte\n",
                    nom);
        tour("(a) lock step, 9 bytes through the status byte written at once -> command", 5000,
             std::chrono::nanoseconds(-1));
        tour("(a) lock step, status byte written alone -> command", 5000,
             std::chrono::nanoseconds(-1), true);
        tour("(b) paced at 384 frames/s (38400 baud)", 384 * 5,
             std::chrono::nanoseconds(1000000000 / 384));
        tour("(b) paced at 1536 frames/s (4 x 38400 baud)", 1536 * 5,
             std::chrono::nanoseconds(1000000000 / 1536));
        tour("(c) as fast as the robot can send", 30000, std::chrono::nanoseconds(0));
        // The owner sees every byte, whoever answered.
        if (!attendreOctets(proprietaire, trame)) {
            std::fprintf(stderr, "the owner did not see every byte\n");
            ++decalages;
        }
        decalages += proprietaire.decalages;
        perdus += proprietaire.perdus;
    }

    std::printf("frames shifted (bytes out of place at the owner): %ld; commands wrong or missing: "
                "%ld; bytes the owner was too far behind to see: %llu\n",
                decalages, erreurs, static_cast<unsigned long long>(perdus));
    return decalages == 0 && erreurs == 0 ? 0 : 2;
}
