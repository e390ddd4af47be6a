// The whole console over a pseudo-terminal: the serial engine, the sensor
// frame parser, the position network, the map and the traffic boxes, with a
// robot that sends real beacon timestamps along a circle.
//  (a) delay from the robot's status byte written to the command byte read
//      back, p50 / p99 / max over 5,000 frames in lock step;
//  (b) frames paced at the line rate of 38400 baud (384 frames/s), at four
//      times that, at 5,000 frames/s, and the robot sending as fast as it
//      can: every frame answered once, none lost or shifted, and the
//      processor use of the console (everything but the robot's own threads);
//  (c) random bytes (noise) at 3,840 bytes/s, the line rate of 38400 baud:
//      the console's processor use;
//  (d) nothing on the line for 10 s: the console's processor use at rest.
#include "RobotPty.h"
#include "console/KIVView.h"
#include "console/MainFrame.h"
#include "console/VueReception.h"
#include "core/scripted/ScriptedPlatform.h"
#include "link/SerialPort.h"
#include "link/settings/EcritureScom.h"
#include "world/BeaconModel.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <typeinfo>
#include <utility>
#include <vector>

namespace {

using Horloge = std::chrono::steady_clock;

/**
 * The scripted platform with the traces off, as the program runs them by
 * default: a recording platform would format and keep every trace line,
 * which the console does not pay for.
 */
class PlateformeSansTraces : public ScriptedPlatform {
public:
    bool traceEnabled(TraceChannel) const override { return false; }
    void trace(TraceChannel, const std::string&) override {}
};

/** Frame k: the robot on a circle of radius 150 cm around the centre, one degree a frame. */
std::array<unsigned char, 10> trame(std::uint32_t k, unsigned char batterie)
{
    const double a = (k % 360) * 3.14159265358979 / 180.0;
    const balises::Position p{250.0 + 150.0 * std::cos(a), 250.0 + 150.0 * std::sin(a)};
    std::array<unsigned char, 10> t{};
    const auto h = balises::horodatages(p, k * 7919u);
    for (std::size_t i = 0; i < h.size(); ++i) {
        const auto mot = static_cast<std::uint16_t>(h[i]);
        t[2 * i] = static_cast<unsigned char>(mot & 0xFF);
        t[2 * i + 1] = static_cast<unsigned char>(mot >> 8);
    }
    t[8] = 0;
    t[9] = batterie;
    return t;
}

struct Mesure {
    std::vector<double> delais;
    long erreurs = 0;
    double secondes = 0;
    double processeurRobot = 0;
};

/**
 * `trames` frames from frame `premiere`: in lock step (periode < 0; the
 * status byte alone when `statutSeul`), paced (periode > 0) or as fast as
 * possible (0). The console's event loop turns meanwhile.
 */
Mesure faireTourner(banc::Robot& robot, std::uint32_t premiere, int trames,
                    std::chrono::nanoseconds periode, bool statutSeul, unsigned char derniere)
{
    Mesure m;
    std::vector<Horloge::time_point> envoi(static_cast<std::size_t>(trames));
    std::atomic<int> envoyees{0};
    QEventLoop boucle;
    const bool pasAPas = periode.count() < 0;
    const auto debut = Horloge::now();
    auto batterie = [&](int j) {
        return j == trames - 1 ? derniere : static_cast<unsigned char>(200);
    };

    std::thread lecteur([&] {
        const double cpu0 = banc::tempsThread();
        for (int j = 0; j < trames; ++j) {
            const auto t = trame(premiere + static_cast<std::uint32_t>(j), batterie(j));
            if (pasAPas) {
                if (statutSeul) {
                    robot.ecrire(t.data(), 8);
                    std::this_thread::sleep_for(std::chrono::microseconds(300));
                    envoi[static_cast<std::size_t>(j)] = Horloge::now();
                    robot.ecrire(t.data() + 8, 1);
                } else {
                    envoi[static_cast<std::size_t>(j)] = Horloge::now();
                    robot.ecrire(t.data(), 9);
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
            // No destination: the navigation keeps the wheels stopped.
            m.erreurs += c != 0x80;
            m.delais.push_back(
                std::chrono::duration<double, std::micro>(recu - envoi[static_cast<std::size_t>(j)])
                    .count());
            if (pasAPas) {
                robot.ecrire(t.data() + 9, 1);
            }
        }
        m.secondes = std::chrono::duration<double>(Horloge::now() - debut).count();
        m.processeurRobot += banc::tempsThread() - cpu0;
        QMetaObject::invokeMethod(&boucle, &QEventLoop::quit, Qt::QueuedConnection);
    });
    std::thread ecrivain;
    if (!pasAPas) {
        ecrivain = std::thread([&] {
            const double cpu0 = banc::tempsThread();
            auto prochaine = Horloge::now();
            for (int j = 0; j < trames; ++j) {
                if (periode.count() > 0) {
                    std::this_thread::sleep_until(prochaine);
                    prochaine += periode;
                }
                const auto t = trame(premiere + static_cast<std::uint32_t>(j), batterie(j));
                robot.ecrire(t.data(), 9);
                envoi[static_cast<std::size_t>(j)] = Horloge::now();
                envoyees.store(j + 1, std::memory_order_release);
                envoyees.notify_all();
                robot.ecrire(t.data() + 9, 1);
            }
            m.processeurRobot += banc::tempsThread() - cpu0;
        });
    }
    boucle.exec();
    lecteur.join();
    if (ecrivain.joinable()) {
        ecrivain.join();
    }
    // The last battery byte reaches the bar after the last command.
    QEventLoop attente;
    QTimer::singleShot(200, &attente, &QEventLoop::quit);
    attente.exec();
    return m;
}

/**
 * With KIV_PEINTURES set, counts the paints each widget receives, the
 * window's painting passes, and the timer and posted events each object
 * receives, and prints them at the end, most frequent first (where a
 * phase's drawing and wake-ups go).
 */
class CompteurPeintures : public QObject {
public:
    /** The object's own class, ours included (they need no meta-object). */
    static std::string nomType(const QObject& objet)
    {
        const char* brut = typeid(objet).name();
        int etat = 0;
        char* lisible = abi::__cxa_demangle(brut, nullptr, nullptr, &etat);
        std::string nom = etat == 0 && lisible != nullptr ? lisible : brut;
        std::free(lisible);
        return nom;
    }

    bool eventFilter(QObject* objet, QEvent* evenement) override
    {
        if (evenement->type() == QEvent::Paint) {
            ++m_comptes["(paint) " + std::string(objet->metaObject()->className()) + " " +
                        objet->objectName().toStdString()];
        } else if (evenement->type() == QEvent::UpdateRequest) {
            ++m_comptes["(painting passes of the window) " + objet->objectName().toStdString()];
        } else if (evenement->type() == QEvent::Timer || evenement->type() >= QEvent::User) {
            // The wake-ups: timers and posted events, by the object they go to.
            ++m_comptes[std::string(evenement->type() == QEvent::Timer ? "(timer) " : "(posted) ") +
                        nomType(*objet) + " " + objet->objectName().toStdString()];
        }
        return false;
    }
    ~CompteurPeintures() override
    {
        std::vector<std::pair<long, std::string>> tri;
        for (const auto& [nom, n] : m_comptes) {
            tri.emplace_back(n, nom);
        }
        std::sort(tri.rbegin(), tri.rend());
        for (const auto& [n, nom] : tri) {
            std::printf("  %8ld  %s\n", n, nom.c_str());
        }
    }

private:
    std::map<std::string, long> m_comptes;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::optional<CompteurPeintures> peintures;
    if (std::getenv("KIV_PEINTURES") != nullptr) {
        app.installEventFilter(&peintures.emplace());
    }
    PlateformeSansTraces scripted;
    setPlatform(&scripted);

    banc::PtyBanc pty;
    QTemporaryDir dossier;
    if (!pty.ouvrir() || !dossier.isValid() || !QDir::setCurrent(dossier.path()) ||
        !ecrireScom(PortSettings{1, 38400})) {
        std::fprintf(stderr, "cannot prepare the pseudo-terminal and the settings file\n");
        return 1;
    }
    qputenv("KIV_COM1", QByteArray::fromStdString(pty.nom));
    // The console on its defaults, whatever the user's settings store holds.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier.path());

    int code = 0;
    {
        OptionsConsole options;
        options.poids = KIV_DATA_DIR "/beacons.wgh";
        options.lien = [] { return makeSerialPort(); };
        CMainFrame frame(std::move(options));
        frame.show();
        CKIVView* vue = frame.view();
        const auto limite = Horloge::now() + std::chrono::seconds(10);
        while (!(vue->lien() && vue->lien()->threadAlive()) && Horloge::now() < limite) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        if (!vue->lien() || !vue->lien()->threadAlive()) {
            std::fprintf(stderr, "the console did not open %s\n", pty.nom.c_str());
            return 1;
        }
        auto* reception = vue->findChild<VueReception*>(QStringLiteral("id1004"));
        auto* barre = vue->findChild<QProgressBar*>(QStringLiteral("id1019"));

        banc::Robot robot(pty.robot);
        std::uint32_t premiere = 0;
        long erreurs = 0;
        long pertes = 0;
        unsigned char marque = 1;
        // KIV_BANC=384 (or a, 1536, 5000, max, c, d, or several: "a,384")
        // runs those parts alone (profiling).
        const char* choix = std::getenv("KIV_BANC");
        auto voulu = [choix](const char* partie) {
            if (choix == nullptr) {
                return true;
            }
            const std::string liste = std::string(",") + choix + ",";
            return liste.find(std::string(",") + partie + ",") != std::string::npos;
        };
        auto tour = [&](const char* titre, int n, std::chrono::nanoseconds periode,
                        bool seul = false) {
            const double cpu0 = banc::tempsProcessus();
            ++marque;
            Mesure m = faireTourner(robot, premiere, n, periode, seul, marque);
            const double cpu = banc::tempsProcessus() - cpu0 - m.processeurRobot;
            premiere += static_cast<std::uint32_t>(n);
            erreurs += m.erreurs;
            // One command for every status byte, and the last battery byte on
            // the bar: a lost or extra byte would shift the frames and put
            // another byte there.
            const bool decale = barre->value() != marque;
            pertes += decale ? 1 : 0;
            banc::afficherDelais(titre, m.delais);
            std::printf("    %.0f frames/s over %.2f s, console processor %.1f %% of one core, "
                        "%ld wrong or missing commands, %s; reception box %d lines, resident "
                        "%.0f MB\n",
                        n / m.secondes, m.secondes, 100.0 * cpu / m.secondes, m.erreurs,
                        decale ? "SHIFTED" : "in step", reception->nombreLignes(),
                        banc::memoireResidente());
        };

        std::printf("Console over %s at 38400 baud, beacon network, boxes on\n", pty.nom.c_str());
        if (voulu("a")) {
            tour("(a) lock step, 9 bytes through the status byte written at once -> command", 5000,
                 std::chrono::nanoseconds(-1));
            tour("(a) lock step, status byte written alone -> command", 5000,
                 std::chrono::nanoseconds(-1), true);
        }
        if (voulu("384")) {
            tour("(b) paced at 384 frames/s (38400 baud)", 384 * 10,
                 std::chrono::nanoseconds(1000000000 / 384));
        }
        if (voulu("1536")) {
            tour("(b) paced at 1536 frames/s (4 x 38400 baud)", 1536 * 5,
                 std::chrono::nanoseconds(1000000000 / 1536));
        }
        if (voulu("5000")) {
            tour("(b) paced at 5000 frames/s", 5000 * 4,
                 std::chrono::nanoseconds(1000000000 / 5000));
        }
        if (voulu("max")) {
            tour("(b) as fast as the robot can send", 20000, std::chrono::nanoseconds(0));
        }

        // (c) Noise: random bytes at the line rate, paced in bursts of 16.
        if (voulu("c")) {
            const double cpu0 = banc::tempsProcessus();
            const auto debut = Horloge::now();
            std::atomic<bool> fini{false};
            std::thread bruit([&] {
                std::uint32_t alea = 12345;
                auto prochaine = Horloge::now();
                for (int k = 0; k < 3840 * 10 / 16; ++k) {
                    unsigned char b[16];
                    for (unsigned char& o : b) {
                        alea = alea * 1664525u + 1013904223u;
                        o = static_cast<unsigned char>(alea >> 24);
                    }
                    robot.ecrire(b, sizeof b);
                    prochaine += std::chrono::microseconds(1000000 * 16 / 3840);
                    std::this_thread::sleep_until(prochaine);
                }
                fini = true;
            });
            // The console's event loop runs as in the program; a slow tick
            // looks for the end.
            QEventLoop boucle;
            QTimer verif;
            QObject::connect(&verif, &QTimer::timeout, [&] {
                if (fini) {
                    boucle.quit();
                }
            });
            verif.start(100);
            boucle.exec();
            bruit.join();
            // Read what the console answered meanwhile (replies to noise).
            unsigned char c = 0;
            long reponses = 0;
            while (robot.lire(c, 200)) {
                ++reponses;
            }
            const double s = std::chrono::duration<double>(Horloge::now() - debut).count();
            std::printf("(c) random bytes at 3840 bytes/s for %.1f s: console processor %.1f %% of "
                        "one core (%ld command bytes in reply to noise)\n",
                        s, 100.0 * (banc::tempsProcessus() - cpu0) / s, reponses);
        }
        // (d) At rest: nothing on the line.
        if (voulu("d")) {
            const double cpu0 = banc::tempsProcessus();
            const auto debut = Horloge::now();
            QEventLoop repos;
            QTimer::singleShot(10000, &repos, &QEventLoop::quit);
            repos.exec();
            const double s = std::chrono::duration<double>(Horloge::now() - debut).count();
            std::printf(
                "(d) nothing on the line for %.1f s: console processor %.3f %% of one core\n", s,
                100.0 * (banc::tempsProcessus() - cpu0) / s);
        }
        std::printf("commands wrong or missing: %ld; frames shifted: %ld\n", erreurs, pertes);
        code = erreurs == 0 && pertes == 0 ? 0 : 2;
        StopWorldThreads();
    }
    setPlatform(nullptr);
    return code;
}
