// The virtual robot moved while it runs: its placement, the commands typed
// to it, the lines read from its standard input without waiting; its trace
// written line by line; and the program itself on a pseudo-terminal.
#include "robot/CommandesRobot.h"
#include "link/protocol/RobotProtocol.h"
#include "robot/EntreeCommandes.h"
#include "robot/FichierTrace.h"
#include "robot/PseudoTerminal.h"
#include "robot/RobotVirtuel.h"
#include "robot/Scenario.h"
#include "robot/Session.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using robotsim::RobotVirtuel;

namespace {

RobotVirtuel robot(const std::string& texte)
{
    const LectureScenario lu = lireScenario(texte);
    EXPECT_TRUE(lu.valide) << lu.erreur;
    return RobotVirtuel(lu.scenario);
}

std::string lire(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

/** Waits (a guard of a minute against a broken program) until `condition` holds. */
template <class F>
bool attendre(F condition)
{
    const auto garde = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > garde) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace

TEST(CommandesRobot, AllerPutsTheRobotDownOrSaysWhyNot)
{
    RobotVirtuel r = robot("depart 62 62 0\ncache 10 10\nbruit 0\n");
    // Driving, with a contact waiting to be reported.
    ASSERT_TRUE(r.commande(0x80 + 4 * 3 + 3));
    EXPECT_EQ(robotsim::executerCommande("aller 130 370.5 -90", r),
              "fait : x 130.0 y 370.5 cap 270.0");
    EXPECT_EQ(r.pose().x, 130.0);
    EXPECT_EQ(r.pose().y, 370.5);
    EXPECT_EQ(r.gauche(), 0) << "picked up: the wheels stop";
    EXPECT_EQ(r.droite(), 0);
    EXPECT_EQ(robotsim::executerCommande("  position  ", r),
              "position : x 130.0 y 370.5 cap 270.0");

    // Refused, nothing changed: outside, against a side, inside (or touching) an obstacle.
    EXPECT_EQ(robotsim::executerCommande("aller 501 100 0", r),
              "refusé : hors du terrain (x et y de 0 à 500 cm)");
    EXPECT_EQ(robotsim::executerCommande("aller -0.1 100 0", r),
              "refusé : hors du terrain (x et y de 0 à 500 cm)");
    EXPECT_EQ(robotsim::executerCommande("aller 6 100 0", r),
              "refusé : contre le bord du terrain (le centre du robot doit rester à plus de 6 cm "
              "des bords)");
    EXPECT_EQ(robotsim::executerCommande("aller 262 262 0", r),
              "refusé : dans un obstacle (le corps du robot, 12 cm de diamètre, le toucherait)");
    EXPECT_EQ(robotsim::executerCommande("aller 244 262 0", r),
              "refusé : dans un obstacle (le corps du robot, 12 cm de diamètre, le toucherait)")
        << "6 cm from the cell's side: touching";
    EXPECT_EQ(robotsim::executerCommande("aller 243.9 262 0", r).substr(0, 4), "fait");

    // Syntax: four words, finite numbers with a '.', whatever the locale.
    const std::string syntaxe = "refusé : syntaxe : aller X Y CAP (x et y en cm, cap en degrés "
                                "dans le sens horaire depuis l'axe x)";
    for (const char* faux : {"aller 100 100", "aller 100 100 0 0", "aller 100,5 100 0",
                             "aller nan 100 0", "aller 100 100 inf", "aller 1e3x 2 3"}) {
        EXPECT_EQ(robotsim::executerCommande(faux, r), syntaxe) << faux;
    }
    EXPECT_EQ(r.pose().x, 243.9);
    EXPECT_EQ(robotsim::executerCommande("voler\x1b[2J 1", r),
              "refusé : commande inconnue « voler?[2J 1 » (commandes : aller X Y CAP (cm, cm, "
              "degrés), position, aide)");
    EXPECT_EQ(robotsim::executerCommande("", r), "");
    EXPECT_EQ(robotsim::executerCommande("# note", r), "");
}

TEST(CommandesRobot, LinesAreReadWithoutWaitingAndTheEndChangesNothing)
{
    int tube[2];
    ASSERT_EQ(::pipe(tube), 0);
    robotsim::EntreeCommandes entree(tube[0]);
    std::vector<robotsim::CommandeTapee> lignes;
    // Nothing there: the call returns at once, the input still open.
    EXPECT_TRUE(entree.lire(lignes));
    EXPECT_TRUE(lignes.empty());

    // A line in two pieces; a line too long is refused whole, the next one read.
    ASSERT_EQ(::write(tube[1], "aller 1", 7), 7);
    EXPECT_TRUE(entree.lire(lignes));
    EXPECT_TRUE(lignes.empty());
    const std::string longue(robotsim::LongueurCommandeMax + 1, 'a');
    const std::string suite = "0 2 3\r\n" + longue + "\nposition";
    ASSERT_EQ(::write(tube[1], suite.data(), suite.size()), static_cast<ssize_t>(suite.size()));
    EXPECT_TRUE(entree.lire(lignes));
    ASSERT_EQ(lignes.size(), 2u);
    EXPECT_EQ(lignes[0].texte, "aller 10 2 3\r");
    EXPECT_FALSE(lignes[0].tropLongue);
    EXPECT_TRUE(lignes[1].tropLongue);
    EXPECT_TRUE(lignes[1].texte.empty());

    // The writer goes: the last line without its end still counts, then nothing more.
    ::close(tube[1]);
    lignes.clear();
    EXPECT_FALSE(entree.lire(lignes));
    ASSERT_EQ(lignes.size(), 1u);
    EXPECT_EQ(lignes[0].texte, "position");
    lignes.clear();
    EXPECT_FALSE(entree.lire(lignes));
    EXPECT_TRUE(lignes.empty());
    ::close(tube[0]);

    // /dev/null: ended at the first call.
    const int nul = ::open("/dev/null", O_RDONLY);
    robotsim::EntreeCommandes vide(nul);
    EXPECT_FALSE(vide.lire(lignes));
    EXPECT_TRUE(lignes.empty());
    ::close(nul);
}

TEST(FichierTrace, EachLineReachesTheFileAsItEnds)
{
    kiv_test::RepertoireTemporaire dossier;
    const std::string chemin = dossier / "trace.csv";
    std::string erreur;
    {
        auto trace = robotsim::FichierTrace::creer(chemin, erreur);
        ASSERT_TRUE(trace) << erreur;
        trace->flux() << "frame,x\n" << std::flush;
        EXPECT_EQ(lire(chemin), "frame,x\n");
        trace->flux() << 1 << ',' << 2.5;
        EXPECT_EQ(lire(chemin), "frame,x\n") << "half a line stays in the buffer";
        trace->flux() << std::endl;
        EXPECT_EQ(lire(chemin), "frame,x\n1,2.5\n");
        // A line longer than the buffer arrives whole too.
        trace->flux() << std::string(2000, 'z') << std::endl;
        EXPECT_EQ(lire(chemin).size(), 8u + 6u + 2001u);
        EXPECT_TRUE(trace->bon());
    }
    struct stat etat {};
    ASSERT_EQ(::stat(chemin.c_str(), &etat), 0);
    EXPECT_EQ(etat.st_mode & 0022, 0u);
    EXPECT_NE(etat.st_mode & 0400, 0u);

    // The previous trace is replaced, not appended to.
    auto encore = robotsim::FichierTrace::creer(chemin, erreur);
    ASSERT_TRUE(encore) << erreur;
    EXPECT_EQ(lire(chemin), "");
}

TEST(FichierTrace, NeverWrittenThroughALinkAndOnlyInPlaceOfAFile)
{
    kiv_test::RepertoireTemporaire dossier;
    const std::string victime = dossier / "victime";
    std::ofstream(victime) << "intact";
    const std::string chemin = dossier / "trace.csv";
    std::filesystem::create_symlink(victime, chemin);
    std::string erreur;
    {
        auto trace = robotsim::FichierTrace::creer(chemin, erreur);
        ASSERT_TRUE(trace) << erreur;
        trace->flux() << "ligne" << std::endl;
    }
    EXPECT_FALSE(std::filesystem::is_symlink(chemin));
    EXPECT_EQ(lire(chemin), "ligne\n");
    EXPECT_EQ(lire(victime), "intact");

    // A folder, a pipe: refused and left as they are.
    const std::string sousDossier = dossier / "dossier.csv";
    std::filesystem::create_directory(sousDossier);
    EXPECT_FALSE(robotsim::FichierTrace::creer(sousDossier, erreur));
    EXPECT_EQ(erreur, "ce n'est pas un fichier ordinaire (un dossier) ; la trace n'est pas écrite");
    EXPECT_TRUE(std::filesystem::is_directory(sousDossier));
    const std::string tube = dossier / "tube.csv";
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    EXPECT_FALSE(robotsim::FichierTrace::creer(tube, erreur));
    EXPECT_EQ(erreur, "ce n'est pas un fichier ordinaire (un tube) ; la trace n'est pas écrite");
    EXPECT_FALSE(robotsim::FichierTrace::creer("/dev/null", erreur));
    EXPECT_EQ(erreur,
              "ce n'est pas un fichier ordinaire (un périphérique) ; la trace n'est pas écrite");
    EXPECT_FALSE(robotsim::FichierTrace::creer(dossier / "absent/trace.csv", erreur));
    EXPECT_EQ(erreur, "No such file or directory");
}

namespace {

/** kiv-robot started with pipes on its standard input and output. */
class KivRobot {
public:
    explicit KivRobot(std::vector<std::string> arguments)
    {
        int entree[2];
        int sortie[2];
        if (::pipe2(entree, O_CLOEXEC) != 0 || ::pipe2(sortie, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, entree[0], 0);
        posix_spawn_file_actions_adddup2(&actions, sortie[1], 1);
        arguments.insert(arguments.begin(), KIV_ROBOT_PATH);
        std::vector<char*> argv;
        for (std::string& a : arguments) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, KIV_ROBOT_PATH, &actions, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(entree[0]);
        ::close(sortie[1]);
        m_entree = entree[1];
        m_sortie = sortie[0];
    }
    ~KivRobot()
    {
        fermerEntree();
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_sortie);
    }

    void ecrire(const std::string& texte) const
    {
        ASSERT_EQ(::write(m_entree, texte.data(), texte.size()),
                  static_cast<ssize_t>(texte.size()));
    }
    void fermerEntree()
    {
        if (m_entree >= 0) {
            ::close(m_entree);
            m_entree = -1;
        }
    }
    /** The next line of its output (a minute's guard); empty at its end. */
    std::string ligne()
    {
        for (;;) {
            if (const auto fin = m_lu.find('\n'); fin != std::string::npos) {
                std::string l = m_lu.substr(0, fin);
                m_lu.erase(0, fin + 1);
                return l;
            }
            pollfd p{m_sortie, POLLIN, 0};
            if (::poll(&p, 1, 60000) <= 0) {
                return {};
            }
            char tampon[256];
            const ssize_t n = ::read(m_sortie, tampon, sizeof tampon);
            if (n <= 0) {
                return {};
            }
            m_lu.append(tampon, static_cast<std::size_t>(n));
        }
    }
    /** Waits for its end; its exit status, or -1. */
    int fin()
    {
        int statut = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &statut, 0) != m_pid) {
            return -1;
        }
        m_pid = -1;
        return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
    }
    void tuer() const { ::kill(m_pid, SIGKILL); }

private:
    pid_t m_pid = -1;
    int m_entree = -1;
    int m_sortie = -1;
    std::string m_lu;
};

/** The console's end of the robot's line: answers every status byte with a neutral command. */
class Console {
public:
    explicit Console(const std::string& device)
    {
        m_fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_fd >= 0) {
            robotsim::mettreEnBrut(m_fd);
            m_fil = std::thread([this] { repondre(); });
        }
    }
    ~Console()
    {
        m_fin = true;
        if (m_fil.joinable()) {
            m_fil.join();
        }
        ::close(m_fd);
    }
    bool ouverte() const { return m_fd >= 0; }

private:
    void repondre()
    {
        long recus = 0;
        const char neutre = static_cast<char>(protocole::octetCommande(0, 0, 0));
        while (!m_fin) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0 || (p.revents & POLLIN) == 0) {
                continue;
            }
            char octet = 0;
            if (::read(m_fd, &octet, 1) != 1) {
                continue;
            }
            if (++recus % 10 == 9 && ::write(m_fd, &neutre, 1) != 1) {
                return;
            }
        }
    }

    int m_fd = -1;
    std::atomic<bool> m_fin{false};
    std::thread m_fil;
};

/** The trace's lines (the header's included). */
std::vector<std::string> lignesTrace(const std::string& chemin)
{
    std::vector<std::string> lignes;
    std::istringstream flux(lire(chemin));
    for (std::string l; std::getline(flux, l);) {
        lignes.push_back(l);
    }
    return lignes;
}

} // namespace

TEST(KivRobotProgramme, MovedByItsStandardInputWhileItsTraceIsFollowedLive)
{
    kiv_test::RepertoireTemporaire dossier;
    const std::string scenario = dossier / "essai.scn";
    std::ofstream(scenario) << "depart 62 62 0\nperiode 20\ncache 10 10\n";
    const std::string trace = dossier / "trace.csv";
    std::ofstream(trace) << "la trace d'avant\n";
    KivRobot robot({"--trace", trace, scenario});
    const std::string premiere = robot.ligne();
    ASSERT_EQ(premiere.rfind("device /dev/", 0), 0u) << premiere;
    Console console(premiere.substr(7));
    ASSERT_TRUE(console.ouverte());

    // Followed live: frames are in the file while the robot runs.
    ASSERT_TRUE(attendre([&] { return lignesTrace(trace).size() >= 3; }));
    const auto debut = lignesTrace(trace);
    EXPECT_EQ(debut[0] + "\n", robotsim::EnteteTrace);
    EXPECT_EQ(debut[1].substr(0, 20), "1,0.000,62.00,62.00,");

    // Moved: the answer, then frames from the new place.
    robot.ecrire("aller 130 370 90\n");
    EXPECT_EQ(robot.ligne(), "fait : x 130.0 y 370.0 cap 90.0");
    ASSERT_TRUE(attendre([&] {
        const auto l = lignesTrace(trace);
        return l.back().find(",130.00,370.00,90.0,") != std::string::npos;
    }));
    robot.ecrire("aller 262 262 0\naller 1 2\n");
    EXPECT_EQ(robot.ligne(),
              "refusé : dans un obstacle (le corps du robot, 12 cm de diamètre, le toucherait)");
    EXPECT_EQ(robot.ligne().rfind("refusé : syntaxe : aller X Y CAP", 0), 0u);
    robot.ecrire("position\n");
    EXPECT_EQ(robot.ligne(), "position : x 130.0 y 370.0 cap 90.0");

    // The end of its input changes nothing: frames go on.
    robot.fermerEntree();
    const std::size_t avant = lignesTrace(trace).size();
    ASSERT_TRUE(attendre([&] { return lignesTrace(trace).size() >= avant + 3; }));

    // Killed: every line it wrote is there, whole.
    robot.tuer();
    EXPECT_EQ(robot.fin(), -1);
    const std::string tout = lire(trace);
    ASSERT_FALSE(tout.empty());
    EXPECT_EQ(tout.back(), '\n');
    EXPECT_EQ(tout.find("la trace d'avant"), std::string::npos);
    EXPECT_GE(lignesTrace(trace).size(), avant + 3);
}

TEST(KivRobotProgramme, ATraceInPlaceOfAFolderIsRefusedWithStatusOne)
{
    kiv_test::RepertoireTemporaire dossier;
    const std::string scenario = dossier / "essai.scn";
    std::ofstream(scenario) << "depart 62 62 0\n";
    const std::string trace = dossier / "trace";
    std::filesystem::create_directory(trace);
    const std::string erreur = dossier / "erreur.txt";
    std::vector<std::string> arguments = {KIV_ROBOT_PATH, "--trace", trace, scenario};
    std::vector<char*> argv;
    for (std::string& a : arguments) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, erreur.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, KIV_ROBOT_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int statut = 0;
    ASSERT_EQ(::waitpid(pid, &statut, 0), pid);
    ASSERT_TRUE(WIFEXITED(statut));
    EXPECT_EQ(WEXITSTATUS(statut), 1);
    EXPECT_EQ(lire(erreur), "kiv-robot: " + trace +
                                ": ce n'est pas un fichier ordinaire (un dossier) ; la trace n'est "
                                "pas écrite\n");
    EXPECT_TRUE(std::filesystem::is_directory(trace));
}
