// The real console program flooded by its robot's line. `kiv` (or several
// builds of it, one after the other in the same run) is started on a
// pseudo-terminal, and the robot's end then sends, for KIV_FLOOD_SECONDS
// (60) each:
//  - random bytes as fast as the pseudo-terminal takes them,
//  - valid frames back to back, as fast,
//  - random bytes at 700 kB/s.
// For each: the console's resident memory (at the start, the highest, at
// the flood's end), the command bytes it sent back meanwhile, the time from
// the flood's end to the answer of a clean frame (sent once the console's
// replies have stopped for 150 ms, after 150 ms more of silence, so that it
// starts a frame of its own), and, the flood started again for 3 s, the
// time the console takes to end on SIGTERM.
//
// Usage: bench_flood [KIV ...]      (default: the kiv built with this bench)
// KIV_FLOOD_CASES=random,frames,700 picks the cases; KIV_FLOOD_MAX_MB (3000)
// stops a flood early when the console grows past it (a shared machine).
#include "RobotPty.h"
#include "link/settings/EcritureScom.h"
#include "world/BeaconModel.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Horloge = std::chrono::steady_clock;

double secondesDepuis(Horloge::time_point t)
{
    return std::chrono::duration<double>(Horloge::now() - t).count();
}

/** Resident memory of process `pid`, MB (0 when it is gone). */
double memoireDe(pid_t pid)
{
    const std::string chemin = "/proc/" + std::to_string(pid) + "/status";
    std::FILE* f = std::fopen(chemin.c_str(), "r");
    if (f == nullptr) {
        return 0;
    }
    char ligne[256];
    long ko = 0;
    while (std::fgets(ligne, sizeof ligne, f) != nullptr) {
        if (std::strncmp(ligne, "VmRSS:", 6) == 0) {
            ko = std::strtol(ligne + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return static_cast<double>(ko) / 1024.0;
}

/** A clean frame k: a robot at a point of a circle, status 0, battery 200. */
std::array<unsigned char, 10> trame(std::uint32_t k)
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
    t[9] = 200;
    return t;
}

enum class Genre { Aleatoire, Trames, Cadence };

struct Cas {
    const char* nom;
    const char* titre;
    Genre genre;
};

constexpr Cas TousLesCas[] = {
    {"random", "random bytes, as fast as the line takes them", Genre::Aleatoire},
    {"frames", "valid frames back to back", Genre::Trames},
    {"700", "random bytes at 700 kB/s", Genre::Cadence},
};

/** The robot's end: a flood on its own thread, and a reader that counts the replies. */
class Robot {
public:
    explicit Robot(int fd)
        : m_fd(fd)
    {
        std::uint32_t alea = 12345;
        m_bruit.resize(1 << 20);
        for (unsigned char& o : m_bruit) {
            alea = alea * 1664525u + 1013904223u;
            o = static_cast<unsigned char>(alea >> 24);
        }
        for (std::uint32_t k = 0; k < 4096; ++k) {
            const auto t = trame(k);
            m_trames.insert(m_trames.end(), t.begin(), t.end());
        }
        m_lecteur = std::thread([this] { lire(); });
    }
    ~Robot()
    {
        arreterFlot();
        m_fin = true;
        m_lecteur.join();
    }

    void lancerFlot(Genre genre)
    {
        arreterFlot();
        m_arret = false;
        m_flot = std::thread([this, genre] { inonder(genre); });
    }
    void arreterFlot()
    {
        m_arret = true;
        if (m_flot.joinable()) {
            m_flot.join();
        }
    }

    /** Writes all of `octets` (the flood stopped); false when the line stays full 2 s. */
    bool ecrire(const unsigned char* octets, std::size_t n)
    {
        const auto limite = Horloge::now() + std::chrono::seconds(2);
        while (n > 0 && Horloge::now() < limite) {
            const ssize_t k = ::write(m_fd, octets, n);
            if (k > 0) {
                octets += k;
                n -= static_cast<std::size_t>(k);
            } else {
                pollfd p{m_fd, POLLOUT, 0};
                ::poll(&p, 1, 50);
            }
        }
        return n == 0;
    }

    std::uint64_t reponses() const { return m_reponses.load(); }
    Horloge::time_point derniereReponse() const
    {
        return Horloge::time_point(Horloge::duration(m_derniere.load()));
    }
    std::uint64_t envoyes() const { return m_envoyes.load(); }
    std::uint64_t statuts() const { return m_statuts.load(); }

private:
    void inonder(Genre genre)
    {
        std::size_t position = 0;
        auto prochaine = Horloge::now();
        const std::vector<unsigned char>& source = genre == Genre::Trames ? m_trames : m_bruit;
        // 700 kB/s: 7,000 bytes every 10 ms.
        const std::size_t morceau = genre == Genre::Cadence ? 7000 : 4000;
        while (!m_arret) {
            if (genre == Genre::Cadence) {
                std::this_thread::sleep_until(prochaine);
                prochaine += std::chrono::milliseconds(10);
            }
            std::size_t fait = 0;
            while (fait < morceau && !m_arret) {
                if (position == source.size()) {
                    position = 0;
                }
                const std::size_t n = std::min(morceau - fait, source.size() - position);
                const ssize_t k = ::write(m_fd, source.data() + position, n);
                if (k > 0) {
                    fait += static_cast<std::size_t>(k);
                    position += static_cast<std::size_t>(k);
                    m_envoyes += static_cast<std::uint64_t>(k);
                    if (genre == Genre::Trames) {
                        // Status bytes sent: those at offset 8 of a frame.
                        m_statuts = m_envoyes.load() / 10 + (m_envoyes.load() % 10 > 8 ? 1 : 0);
                    }
                } else {
                    pollfd p{m_fd, POLLOUT, 0};
                    ::poll(&p, 1, 50);
                }
            }
        }
        // The frames flood ends on a frame's end, so a clean frame follows in step.
        if (genre == Genre::Trames) {
            const std::size_t reste = (10 - m_envoyes.load() % 10) % 10;
            const std::size_t debut = position % m_trames.size();
            std::vector<unsigned char> fin(reste);
            for (std::size_t i = 0; i < reste; ++i) {
                fin[i] = m_trames[(debut + i) % m_trames.size()];
            }
            if (ecrire(fin.data(), fin.size())) {
                m_envoyes += reste;
                m_statuts = m_envoyes.load() / 10;
            }
        }
    }

    void lire()
    {
        unsigned char tampon[4096];
        while (!m_fin) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) {
                continue;
            }
            const ssize_t k = ::read(m_fd, tampon, sizeof tampon);
            if (k > 0) {
                m_reponses += static_cast<std::uint64_t>(k);
                m_derniere = Horloge::now().time_since_epoch().count();
            } else if (k < 0 && errno != EAGAIN && errno != EINTR) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }

    int m_fd;
    std::vector<unsigned char> m_bruit;
    std::vector<unsigned char> m_trames;
    std::atomic<bool> m_arret{true};
    std::atomic<bool> m_fin{false};
    std::atomic<std::uint64_t> m_reponses{0};
    std::atomic<Horloge::rep> m_derniere{0};
    std::atomic<std::uint64_t> m_envoyes{0};
    std::atomic<std::uint64_t> m_statuts{0};
    std::thread m_flot;
    std::thread m_lecteur;
};

/** What one case measured. */
struct Resultat {
    bool demarre = false;
    double secondes = 0;
    double memoireDebut = 0;
    double memoireMax = 0;
    double memoireFin = 0;
    bool arreteTot = false;
    double envoyesMo = 0;
    std::uint64_t reponses = 0;
    std::uint64_t statuts = 0;
    /** From the flood's end to the answer of a clean frame, s; < 0: none in 10 s. */
    double reponseApres = -1;
    /** Of which the clean frame's own reply, from its status byte, s. */
    double delaiTrame = -1;
    /** From SIGTERM to the end of the process, s; < 0: still running after 5 s. */
    double arret = -1;
    std::string finProcessus;
};

/** Starts `kiv` in `dossier` on the pseudo-terminal `device`. */
pid_t lancer(const std::string& kiv, const std::string& dossier, const std::string& device)
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string v = *e;
        if (v.rfind("KIV_COM", 0) != 0 && v.rfind("QT_QPA_PLATFORM=", 0) != 0 &&
            v.rfind("XDG_", 0) != 0) {
            env.push_back(v);
        }
    }
    env.push_back("KIV_COM1=" + device);
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("XDG_CONFIG_HOME=" + dossier + "/config");
    env.push_back("XDG_DATA_HOME=" + dossier + "/data");
    env.push_back("XDG_RUNTIME_DIR=" + dossier + "/run");
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& v : env) {
        envp.push_back(v.data());
    }
    envp.push_back(nullptr);
    std::string poids = std::string(KIV_DATA_DIR) + "/beacons.wgh";
    std::string option = "--weights";
    std::string programme = kiv;
    char* argv[] = {programme.data(), option.data(), poids.data(), nullptr};
    const std::string sortie = dossier + "/kiv.log";
    const pid_t pid = fork();
    if (pid == 0) {
        if (::chdir(dossier.c_str()) != 0) {
            _exit(126);
        }
        const int fd = ::open(sortie.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execve(argv[0], argv, envp.data());
        _exit(127);
    }
    return pid;
}

/** Waits for the end of `pid` for at most `delai` s; the time taken, or -1. */
double attendreFin(pid_t pid, double delai, std::string& comment)
{
    const auto debut = Horloge::now();
    while (secondesDepuis(debut) < delai) {
        int statut = 0;
        if (::waitpid(pid, &statut, WNOHANG) == pid) {
            comment = WIFEXITED(statut) ? "exit " + std::to_string(WEXITSTATUS(statut))
                                        : "signal " + std::to_string(WTERMSIG(statut));
            return secondesDepuis(debut);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
}

/**
 * Sends clean frames, each after a silence, until one is answered: the
 * time from `depuis` to that answer, or -1 after 10 s.
 */
double reponseAUneTrame(Robot& robot, Horloge::time_point depuis, std::uint32_t& k,
                        std::uint64_t* avantTrame = nullptr, double* delai = nullptr)
{
    while (secondesDepuis(depuis) < 10) {
        // Quiet first: what the console still answers of the flood, then a
        // silence longer than the frame threshold (100 ms at 38400 baud).
        const auto calme = Horloge::now();
        while (secondesDepuis(calme) < 10 &&
               std::chrono::duration<double>(Horloge::now() - robot.derniereReponse()).count() <
                   0.15) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const std::uint64_t avant = robot.reponses();
        if (avantTrame != nullptr && *avantTrame == 0) {
            // The replies to the flood, its tail included.
            *avantTrame = avant;
        }
        const auto t = trame(100000 + k++);
        robot.ecrire(t.data(), 9);
        const auto envoi = Horloge::now();
        while (robot.reponses() == avant && secondesDepuis(envoi) < 1) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        robot.ecrire(t.data() + 9, 1);
        if (robot.reponses() > avant) {
            if (delai != nullptr) {
                *delai = std::chrono::duration<double>(robot.derniereReponse() - envoi).count();
            }
            return std::chrono::duration<double>(robot.derniereReponse() - depuis).count();
        }
    }
    return -1;
}

Resultat mesurer(const std::string& kiv, const Cas& cas, double duree, double plafondMo)
{
    Resultat r;
    namespace fs = std::filesystem;
    char modele[] = "/tmp/kiv-flood-XXXXXX";
    const char* d = ::mkdtemp(modele);
    if (d == nullptr) {
        return r;
    }
    const std::string dossier = d;
    fs::create_directories(dossier + "/config");
    fs::create_directories(dossier + "/data");
    fs::create_directories(dossier + "/run");
    fs::permissions(dossier + "/run", fs::perms::owner_all);
    if (!ecrireScom(PortSettings{1, 38400}, dossier + "/scom.ini")) {
        std::fprintf(stderr, "cannot write %s/scom.ini\n", dossier.c_str());
        return r;
    }
    banc::PtyBanc pty;
    if (!pty.ouvrir()) {
        return r;
    }
    Robot robot(pty.robot);
    const pid_t pid = lancer(kiv, dossier, pty.nom);
    std::uint32_t k = 0;
    // Up once it answers a frame.
    r.demarre = reponseAUneTrame(robot, Horloge::now(), k) >= 0;
    if (!r.demarre) {
        std::fprintf(stderr, "%s did not answer on %s (see %s/kiv.log)\n", kiv.c_str(),
                     pty.nom.c_str(), dossier.c_str());
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return r;
    }
    r.memoireDebut = memoireDe(pid);
    r.memoireMax = r.memoireDebut;
    const std::uint64_t reponses0 = robot.reponses();
    const auto debut = Horloge::now();
    robot.lancerFlot(cas.genre);
    while (secondesDepuis(debut) < duree) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        r.memoireMax = std::max(r.memoireMax, memoireDe(pid));
        if (r.memoireMax > plafondMo) {
            r.arreteTot = true;
            break;
        }
    }
    robot.arreterFlot();
    const auto finFlot = Horloge::now();
    r.secondes = std::chrono::duration<double>(finFlot - debut).count();
    r.memoireFin = memoireDe(pid);
    r.envoyesMo = static_cast<double>(robot.envoyes()) / 1e6;
    r.statuts = robot.statuts();
    std::uint64_t reponsesFlot = 0;
    r.reponseApres = reponseAUneTrame(robot, finFlot, k, &reponsesFlot, &r.delaiTrame);
    r.reponses = reponsesFlot - reponses0;
    r.memoireMax = std::max(r.memoireMax, memoireDe(pid));

    // SIGTERM under the flood.
    robot.lancerFlot(cas.genre);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    r.memoireMax = std::max(r.memoireMax, memoireDe(pid));
    ::kill(pid, SIGTERM);
    r.arret = attendreFin(pid, 5, r.finProcessus);
    robot.arreterFlot();
    if (r.arret < 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        r.finProcessus = "killed after 5 s";
    }
    std::error_code ignore;
    fs::remove_all(dossier, ignore);
    return r;
}

std::string enSecondes(double s, const char* absent)
{
    if (s < 0) {
        return absent;
    }
    char t[32];
    std::snprintf(t, sizeof t, "%.2f s", s);
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> programmes;
    for (int k = 1; k < argc; ++k) {
        programmes.emplace_back(argv[k]);
    }
    if (programmes.empty()) {
        programmes.emplace_back(KIV_PATH);
    }
    const char* s = std::getenv("KIV_FLOOD_SECONDS");
    const double duree = s != nullptr ? std::atof(s) : 60.0;
    const char* m = std::getenv("KIV_FLOOD_MAX_MB");
    const double plafond = m != nullptr ? std::atof(m) : 3000.0;
    const char* choix = std::getenv("KIV_FLOOD_CASES");
    const std::string liste =
        std::string(",") + (choix != nullptr ? choix : "random,frames,700") + ",";

    bool bon = true;
    std::printf("Flood of %.0f s per case; the console at 38400 baud, session log on\n", duree);
    for (const Cas& cas : TousLesCas) {
        if (liste.find(std::string(",") + cas.nom + ",") == std::string::npos) {
            continue;
        }
        std::printf("\n%s\n", cas.titre);
        for (const std::string& kiv : programmes) {
            const Resultat r = mesurer(kiv, cas, duree, plafond);
            if (!r.demarre) {
                bon = false;
                continue;
            }
            char reponses[96] = "";
            if (cas.genre == Genre::Trames) {
                std::snprintf(reponses, sizeof reponses, "%llu replies to %llu status bytes",
                              static_cast<unsigned long long>(r.reponses),
                              static_cast<unsigned long long>(r.statuts));
            } else {
                std::snprintf(reponses, sizeof reponses, "%llu command bytes back",
                              static_cast<unsigned long long>(r.reponses));
            }
            std::printf("  %s\n    %.1f s, %.1f MB sent%s; %s\n    resident memory: %.0f MB at "
                        "the start, %.0f MB highest, %.0f MB at the flood's end\n    clean frame "
                        "answered %s after the flood (its status byte %.1f ms before the "
                        "reply, after 0.3 s of silence); SIGTERM under the flood: %s (%s)\n",
                        kiv.c_str(), r.secondes, r.envoyesMo,
                        r.arreteTot ? " (stopped early: the console passed the memory cap)" : "",
                        reponses, r.memoireDebut, r.memoireMax, r.memoireFin,
                        enSecondes(r.reponseApres, "never (10 s)").c_str(), r.delaiTrame * 1e3,
                        enSecondes(r.arret, "still running after 5 s").c_str(),
                        r.finProcessus.c_str());
            std::fflush(stdout);
        }
    }
    return bon ? 0 : 1;
}
