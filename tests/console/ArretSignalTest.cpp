// The program ended by a signal, as a service manager or a closing terminal
// would: the port is given back (no exclusive mode, no lock file) and the
// session log says the link closed.
#include "link/recorder/LecteurJournal.h"
#include "support/PseudoTerminal.h"
#include "support/RepertoireTemporaire.h"
#include "world/FichierTerrain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kiv_test::RepertoireTemporaire;

/** The lock files QSerialPort may have taken for `device`. */
std::vector<fs::path> verrous(const std::string& device)
{
    // "/dev/pts/3" locks as "LCK..pts_3".
    std::string nom = "LCK.." + device.substr(device.rfind("/dev/", 0) == 0 ? 5 : 0);
    std::replace(nom.begin(), nom.end(), '/', '_');
    std::vector<fs::path> trouves;
    for (const char* dossier : {"/var/lock", "/run/lock", "/tmp", "/var/tmp"}) {
        std::error_code e;
        if (fs::exists(fs::path(dossier) / nom, e)) {
            trouves.push_back(fs::path(dossier) / nom);
        }
    }
    return trouves;
}

/** The link events of the one session log under `dossier`. */
std::vector<std::string> evenementsDuJournal(const fs::path& dossier)
{
    std::vector<std::string> textes;
    for (const auto& f : fs::recursive_directory_iterator(dossier)) {
        if (f.path().extension() != ".kivlog") {
            continue;
        }
        std::ifstream flux(f.path(), std::ios::binary);
        journal::LecteurJournal lecteur(flux);
        EXPECT_TRUE(lecteur.lireEntete());
        journal::Enregistrement e;
        while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
            if (e.genre == journal::Genre::Lien) {
                textes.emplace_back(e.texte());
            }
        }
    }
    return textes;
}

/** The whole fields recorded in the session logs under `dossier` (read as they are written). */
std::vector<journal::EtatTerrain> terrainsDuJournal(const fs::path& dossier)
{
    std::vector<journal::EtatTerrain> terrains;
    std::error_code e;
    for (const auto& f : fs::recursive_directory_iterator(dossier, e)) {
        if (f.path().extension() != ".kivlog") {
            continue;
        }
        std::ifstream flux(f.path(), std::ios::binary);
        journal::LecteurJournal lecteur(flux);
        if (!lecteur.lireEntete()) {
            continue;
        }
        journal::Enregistrement r;
        journal::EtatTerrain t;
        while (lecteur.suivant(r) == journal::Lecture::Enregistrement) {
            if (r.genre == journal::Genre::Terrain &&
                journal::decoderTerrain(r.charge.data(), r.charge.size(), t)) {
                terrains.push_back(t);
            }
        }
    }
    return terrains;
}

/** The console in `racine` (its scom.ini there), offscreen, its stderr into racine/stderr. */
class Console {
public:
    Console(const fs::path& racine, const std::string& com1, const std::vector<std::string>& plus)
    {
        const std::string programme = KIV_PATH;
        const std::string poids = KIV_DATA_DIR "/beacons.wgh";
        std::vector<std::string> arguments{programme, "--weights", poids};
        arguments.insert(arguments.end(), plus.begin(), plus.end());
        std::vector<std::string> environnement{"QT_QPA_PLATFORM=offscreen",
                                               "QT_LOGGING_RULES=kiv.app.debug=true",
                                               "KIV_COM1=" + com1,
                                               "XDG_DATA_HOME=" + (racine / "donnees").string(),
                                               "XDG_CONFIG_HOME=" + (racine / "reglages").string(),
                                               "XDG_RUNTIME_DIR=" + racine.string(),
                                               "HOME=" + racine.string()};
        // A sanitizer run's options reach the program too.
        for (const char* nom : {"TSAN_OPTIONS", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
            if (const char* valeur = std::getenv(nom)) {
                environnement.push_back(std::string(nom) + "=" + valeur);
            }
        }
        std::vector<char*> argv;
        for (std::string& a : arguments) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& e : environnement) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        m_erreurs = racine / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, m_erreurs.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        // The console runs in the folder of its scom.ini.
        const fs::path ici = fs::current_path();
        fs::current_path(racine);
        const int lance =
            posix_spawn(&m_pid, programme.c_str(), &actions, nullptr, argv.data(), envp.data());
        fs::current_path(ici);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(lance, 0);
        if (lance != 0) {
            m_pid = -1;
        }
    }
    ~Console()
    {
        if (m_pid > 0 && !m_fini) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    pid_t pid() const { return m_pid; }
    bool fini()
    {
        m_fini = m_fini || ::waitpid(m_pid, &m_statut, WNOHANG) == m_pid;
        return m_fini;
    }
    int statut() const { return m_statut; }
    std::string erreurs() const
    {
        std::ifstream f(m_erreurs, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

private:
    fs::path m_erreurs;
    pid_t m_pid = -1;
    int m_statut = 0;
    bool m_fini = false;
};

/** A folder of the console's own, with its scom.ini on COM1 at 9600 baud. */
void preparer(const fs::path& racine)
{
    fs::permissions(racine, fs::perms::owner_all); // a runtime folder of its own
    std::ofstream scom(racine / "scom.ini", std::ios::binary);
    scom << ";scom.ini\r\n;\r\n\r\n[OPTIONS]\r\nLast Port = 1\r\n\r\n[Port#1]\r\nBaud Rate = "
            "9600\r\n";
}

/**
 * The console on a pty, with `plus(its folder)` on its command line, answers a frame,
 * then `signal` closes it as "Quitter" does: exit status 0, the port given
 * back, the session log closed.
 */
void fermeSurSignal(int signal,
                    const std::function<std::vector<std::string>(const fs::path&)>& plus = {},
                    const std::function<bool(const Console&, const fs::path&)>& pret = {})
{
    RepertoireTemporaire dossier;
    const fs::path& racine = dossier.chemin();
    preparer(racine);
    Pty pty;
    Console console(racine, pty.nom(), plus ? plus(racine) : std::vector<std::string>{});
    ASSERT_GT(console.pid(), 0);

    // A frame answered: the port is open and the console at work.
    const std::string trame("\x01\x02\x03\x04\x05\x06\x07\x08\x00\x64", 10);
    const bool repondu = attendre(
        [&] {
            if (pty.recu.empty()) {
                pty.envoyer(trame);
            }
            return !pty.recu.empty() || console.fini();
        },
        60000);
    if (!repondu || pty.recu.empty()) {
        FAIL() << "the console never answered a frame";
    }
    EXPECT_FALSE(verrous(pty.nom()).empty()) << "the console holds the port's lock";
    if (pret && !attendre([&] { return pret(console, racine) || console.fini(); }, 60000)) {
        FAIL() << "the console never got where the test waits for\n" << console.erreurs();
    }

    ::kill(console.pid(), signal);
    if (!attendre([&] { return console.fini(); }, 60000)) {
        FAIL() << "the console did not end on the signal";
    }
    ASSERT_TRUE(WIFEXITED(console.statut())) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(console.statut()), 0) << console.erreurs();

    // The device is free again: not exclusive, no lock file.
    const int fd = ::open(pty.nom().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    int exclusif = -1;
    ASSERT_EQ(::ioctl(fd, TIOCGEXCL, &exclusif), 0);
    EXPECT_EQ(exclusif, 0);
    ::close(fd);
    EXPECT_TRUE(verrous(pty.nom()).empty());

    const auto evenements = evenementsDuJournal(racine / "donnees");
    ASSERT_FALSE(evenements.empty());
    EXPECT_EQ(evenements.front().rfind("ouvert COM1 9600", 0), 0u) << evenements.front();
    EXPECT_EQ(evenements.back(), "fermé");
}

class ArretSignal : public ::testing::TestWithParam<int> {};

TEST_P(ArretSignal, ClosesThePortAndTheLogAsQuitterDoes)
{
    fermeSurSignal(GetParam());
}

TEST(ArretSignalTube, AFieldThatIsAFifoFreezesNeitherTheConsoleNorItsSignals)
{
    // The field opened at start was a FIFO: the interface thread waited in
    // open() for good, and the first SIGTERM was never served (the second
    // killed the console, its lock file and log left open). The field is
    // now refused in a box, and the signal closes the console under it.
    fermeSurSignal(
        SIGTERM,
        [](const fs::path& racine) {
            const std::string tube = (racine / "terrain.kiv").string();
            EXPECT_EQ(::mkfifo(tube.c_str(), 0600), 0);
            return std::vector<std::string>{tube};
        },
        // The box is up: the interface thread waits in its loop, not in open().
        [](const Console& console, const fs::path&) {
            return console.erreurs().find("message box: Impossible d'ouvrir le fichier « ") !=
                   std::string::npos;
        });
}

TEST(ArretSignalTerrain, AFieldNamedInBytesThatAreNoUtf8Opens)
{
    // The name went through a QString: its bytes became U+FFFD and the
    // field could not be opened. It is recorded in the session log once open.
    fermeSurSignal(
        SIGTERM,
        [](const fs::path& racine) {
            const std::string nom = (racine / "\xE9t\xE9.kiv").string();
            Terrain t = terrainInitial();
            t.destination = {410, 90};
            std::ostringstream texte;
            ecrireTerrain(texte, t);
            std::ofstream(nom, std::ios::binary) << texte.str();
            return std::vector<std::string>{nom};
        },
        [](const Console&, const fs::path& racine) {
            for (const journal::EtatTerrain& t : terrainsDuJournal(racine / "donnees")) {
                if (t.destinationPlacee && t.destinationX == 410 && t.destinationY == 90) {
                    return true;
                }
            }
            return false;
        });
}

TEST(ReglagesTube, ASettingsFileThatIsAFifoIsRefusedBeforeAnyWindow)
{
    // Qt's settings reader waited on it for good before any window showed.
    RepertoireTemporaire dossier;
    const fs::path& racine = dossier.chemin();
    preparer(racine);
    const fs::path conf = racine / "reglages" / "Local AppWizard-Generated Applications";
    fs::create_directories(conf);
    ASSERT_EQ(::mkfifo((conf / "KIV.conf").c_str(), 0600), 0);
    Console console(racine, "/dev/null", {});
    ASSERT_GT(console.pid(), 0);
    const std::string attendu = "kiv : Le fichier de réglages « " + (conf / "KIV.conf").string() +
                                " » n'est pas un fichier ordinaire (c'est un tube (FIFO)) : la "
                                "console ne peut pas le lire. Retirez-le, puis relancez la "
                                "console.\n";
    // Said on the terminal, then in a box nobody answers here: a signal ends it.
    ASSERT_TRUE(attendre(
        [&] { return console.erreurs().find(attendu) != std::string::npos || console.fini(); },
        60000))
        << console.erreurs();
    EXPECT_NE(console.erreurs().find(attendu), std::string::npos) << console.erreurs();
    ::kill(console.pid(), SIGTERM);
    ASSERT_TRUE(attendre([&] { return console.fini(); }, 60000));
    ASSERT_TRUE(WIFEXITED(console.statut()));
    EXPECT_EQ(WEXITSTATUS(console.statut()), 1);
    EXPECT_FALSE(fs::exists(racine / "donnees" / "kiv-zul")) << "nothing was started";
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, ArretSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
