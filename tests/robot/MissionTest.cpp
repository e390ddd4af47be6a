// The whole loop: kiv-robot in --fast mode on a pseudo-terminal of its own,
// the console offscreen with its real serial engine, network, navigation and
// bumper handling. The robot is steered only by the console's command bytes.
#include "console/ConsoleFixture.h"
#include "core/CatalogueReglages.h"

#include "console/ReglageSilence.h"
#include "console/VoletMarche.h"
#include "link/SerialPort.h"
#include "robot/Liaison.h"
#include "robot/Session.h"
#include "support/PseudoTerminal.h"
#include "world/MapEditing.h"
#include "world/WorldChange.h"

#include <QFile>
#include <QSettings>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

/**
 * The robot's side runs on a thread of the test, in --fast mode on a
 * pseudo-terminal of its own, in lock step with the console: the robot waits
 * as long as it takes for the command byte that answers each status byte,
 * and the next frame leaves only once the navigation has handled every change
 * that frame made, as it would between two frames of a robot in real time.
 * Nothing depends on how fast the machine is. The program itself (kiv-robot)
 * is started by the last test.
 */
class MissionTest : public ConsoleTest {
protected:
    /** Starts the robot on `scenario` and the console on its line. */
    void lancer(const std::string& texte)
    {
        const LectureScenario lu = lireScenario(texte);
        ASSERT_TRUE(lu.valide) << lu.erreur;
        std::string erreur;
        liaison = robotsim::Liaison::creerPty({}, erreur);
        ASSERT_TRUE(liaison) << erreur;
        robot = std::make_unique<robotsim::RobotVirtuel>(lu.scenario);
        robotsim::OptionsSession options;
        options.rapide = true;
        // The reply is awaited whatever the machine's load; the guard only
        // keeps a broken console from hanging the test.
        options.delaiReponseMs = 120000;
        options.trace = &trace;
        options.avantEtat = [this](long envoyes) {
            // The console has handled the frame's timestamps (its position)
            // and the navigation has acted on them: the reply to the status
            // byte carries the decision taken from this frame.
            attendreQue([&] { return traites->load() >= static_cast<std::uint64_t>(envoyes); },
                        "the console to handle the timestamps");
            attendreQue([] { return blockedWorldWaiters() >= 1; },
                        "the navigation to act on the position");
        };
        options.apresPeriode = [this](const robotsim::RobotVirtuel& r) {
            // The console's estimate against the truth (before the navigation acts on it).
            const Point e = monde().robot.position();
            const double d = std::hypot(e.x - r.pose().x, e.y - r.pose().y);
            ecartMax = std::max(ecartMax.load(), d);
            // The status byte's marks were made before its reply left; the
            // navigation is at rest once it has handled them.
            attendreQue([] { return blockedWorldWaiters() >= 1; },
                        "the navigation to act on the status byte");
        };
        qputenv("KIV_COM1", QByteArray::fromStdString(liaison->nom()));
        // The robot pauses inside its frames for the console: no silence
        // may start a new frame here.
        QSettings().setValue(QString::fromLatin1(reglages::SilenceResynchro.nom), 0);
        demarrerAvec([] { return makeSerialPort(); });
        ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
        EXPECT_TRUE(scripted().messages().empty());
        traites = view->compteurOctetsTraites();
        fil = std::thread([this, options] {
            bilan = robotsim::executerSession(*robot, *liaison, options, arret);
        });
    }

    /** Blocks the robot's thread until `condition` holds (or the test is stopping). */
    void attendreQue(const std::function<bool()>& condition, const char* quoi) const
    {
        // A guard against a broken console only, far beyond any machine's load.
        const auto garde = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (!condition() && !arret && !consoleFermee) {
            if (std::chrono::steady_clock::now() > garde) {
                ADD_FAILURE() << "lock step: no end of waiting for " << quoi
                              << " (navigation passes " << monde().drapeaux.passesNavigation.load()
                              << ", heading " << capRobot() << ")";
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    /** Paints the cells (c, r) .. (c, r2) as the operator would. */
    static void peindre(int c, int r, int r2)
    {
        for (int k = r; k <= r2; ++k) {
            OnMapLeftButtonDown(Selection::Obstacle, c * 25 + 12, k * 25 + 12);
        }
    }

    /** Places the destination once the console knows where the robot is; waits for the arrival. */
    static bool allerA(int x, int y, Point depart)
    {
        const bool localise = attendre([&] {
            const Point p = monde().robot.position();
            return std::hypot(p.x - depart.x, p.y - depart.y) < 25;
        });
        EXPECT_TRUE(localise);
        SetDestination(x, y);
        return attendre(
            [] { return monde().robot.cellule() == monde().destination.lire().cellule; }, 60000);
    }

    /** Closes the console; the robot sees its line go and ends. */
    void terminer()
    {
        // The robot stops waiting for a console that goes away.
        consoleFermee = true;
        frame.reset();
        fil.join();
    }

    /** One command byte per status byte, none lost, none extra, none garbled. */
    void unPourUn() const
    {
        EXPECT_GT(bilan.trames, 20);
        // The frame sent while the console is closing may go unanswered.
        EXPECT_EQ(bilan.reponses + bilan.manquantes, bilan.trames);
        EXPECT_LE(bilan.manquantes, 1);
        EXPECT_EQ(bilan.inattendues, 0);
        EXPECT_EQ(bilan.invalides, 0);
        EXPECT_TRUE(bilan.partie);
    }

    /** The true robot stands in cell (c, r), or less than 8 cm outside it. */
    void dansLaCellule(int c, int r) const
    {
        const robotsim::Pose& p = bilan.finale;
        const double dx = std::max({c * 25.0 - p.x, p.x - (c + 1) * 25.0, 0.0});
        const double dy = std::max({r * 25.0 - p.y, p.y - (r + 1) * 25.0, 0.0});
        EXPECT_LT(std::hypot(dx, dy), 8.0) << "true pose " << p.x << ", " << p.y;
    }

    /** Cells of the grid holding an obstacle found by the bumper. */
    static std::vector<Point> marques()
    {
        std::vector<Point> m;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                if (valeurCellule(x, y) == 3) {
                    m.push_back({x, y});
                }
            }
        }
        return m;
    }

    void TearDown() override
    {
        arret = true;
        ConsoleTest::TearDown();
        if (fil.joinable()) {
            fil.join();
        }
        qunsetenv("KIV_COM1");
        QSettings().remove(QString::fromLatin1(reglages::SilenceResynchro.nom));
    }

    std::unique_ptr<robotsim::Liaison> liaison;
    std::unique_ptr<robotsim::RobotVirtuel> robot;
    std::ostringstream trace;
    std::atomic<bool> arret{false};
    std::atomic<bool> consoleFermee{false};
    /** The console's count of handled bytes, read from the robot's thread. */
    std::shared_ptr<const std::atomic<std::uint64_t>> traites;
    std::thread fil;
    robotsim::BilanSession bilan;
    /** The largest distance between the console's estimate and the truth after a frame, cm. */
    std::atomic<double> ecartMax{0.0};
};

} // namespace

TEST_F(MissionTest, CrossesAnOpenFieldOneCommandPerFrameWithTheEstimateOnTheTruth)
{
    lancer("depart 62 62 0\ngraine 5\n");
    ASSERT_TRUE(allerA(437, 412, {62, 62}));
    const int barre = controle<QProgressBar>(ctrl::Batterie)->value();
    terminer();
    unPourUn();
    dansLaCellule(17, 16);
    EXPECT_EQ(bilan.contacts, 0);
    EXPECT_TRUE(marques().empty());
    // A shifted byte would garble the frames: the estimate stays within a
    // cell and its lag of the truth all along, and the bar shows the robot's
    // own battery byte.
    EXPECT_GT(ecartMax, 0.0);
    EXPECT_LT(ecartMax, 25.0 + 25.0);
    EXPECT_LT(barre, 230);
    EXPECT_NEAR(barre, bilan.batterie, 1.0);
    // The trace: a line per frame, each with exactly one byte received.
    std::istringstream lignes(trace.str());
    std::string ligne;
    long n = -1;
    while (std::getline(lignes, ligne)) {
        ++n;
        if (n > 0) {
            // frame,time,x,y,heading,status,battery,received,left,right
            std::istringstream champs(ligne);
            std::string recu;
            for (int k = 0; k < 8; ++k) {
                std::getline(champs, recu, ',');
            }
            ASSERT_TRUE(recu.size() == 2u || (recu.empty() && n == bilan.trames)) << ligne;
        }
    }
    EXPECT_EQ(n, bilan.trames);
}

TEST_F(MissionTest, GoesAroundAPaintedWall)
{
    lancer("depart 62 212 0\nmur 10 2 10 15\ngraine 3\n");
    peindre(10, 2, 15);
    ASSERT_TRUE(allerA(437, 212, {62, 212}));
    terminer();
    unPourUn();
    dansLaCellule(17, 8);
    EXPECT_EQ(bilan.contacts, 0);
}

TEST_F(MissionTest, FindsAHiddenObstacleWithItsBumperAndStillArrives)
{
    // A hidden cell on the straight route.
    lancer("depart 105 237 0\ncache 9 9\ngraine 7\n");
    ASSERT_TRUE(allerA(437, 237, {105, 237}));
    const auto m = marques();
    terminer();
    unPourUn();
    dansLaCellule(17, 9);
    EXPECT_GE(bilan.contacts, 1);
    // The mark lies on the block or, the known cell lagging the true one by
    // up to a cell, next to it.
    const bool surLeBloc = std::any_of(
        m.begin(), m.end(), [](Point p) { return p.x >= 8 && p.x <= 10 && p.y >= 8 && p.y <= 10; });
    EXPECT_TRUE(surLeBloc);
}

TEST_F(MissionTest, ARobotStoppedMidRunLeavesTheConsoleWorkingWithTheLinkLost)
{
    // The program: its pseudo-terminal, its frames, its end on SIGTERM.
    QFile f(QStringLiteral("mission.scn"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("depart 62 62 0\n");
    f.close();
    // Spawned, not forked from this multi-threaded process, and not through
    // QProcess: the thread checker loses track of the test's locks after
    // QProcess starts a child.
    const std::string programme = KIV_ROBOT_PATH;
    std::vector<std::string> texte{programme, "--fast", "mission.scn"};
    std::vector<char*> argv;
    for (std::string& a : texte) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "robot.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int lance = posix_spawn(&pid, programme.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(lance, 0);
    const auto sortie = [] {
        std::ifstream f("robot.out", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    };
    int statut = 0;
    const auto fini = [&] { return ::waitpid(pid, &statut, WNOHANG) == pid; };
    ASSERT_TRUE(attendre([&] { return sortie().find('\n') != std::string::npos; }));
    const std::string ligne = sortie().substr(0, sortie().find('\n'));
    if (ligne.rfind("device /dev/", 0) != 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        FAIL() << ligne;
    }
    qputenv("KIV_COM1", QByteArray::fromStdString(ligne.substr(7)));
    demarrerAvec([] { return makeSerialPort(); });
    ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
    SetDestination(437, 437);
    ASSERT_TRUE(attendre([] { return monde().robot.position().x > 100; }));
    scripted().clear();
    ::kill(pid, SIGTERM);
    if (!attendre(fini)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        FAIL() << "kiv-robot did not end on SIGTERM";
    }
    ASSERT_TRUE(WIFEXITED(statut));
    EXPECT_EQ(WEXITSTATUS(statut), 0);
    const std::string tout = sortie();
    const std::string resume = tout.substr(tout.find('\n') + 1);
    EXPECT_EQ(resume.rfind("trames ", 0), 0u) << resume;
    EXPECT_EQ(resume.find("l'autre bout a fermé la ligne"), std::string::npos);

    ASSERT_TRUE(attendre([this] { return !view->lien()->threadAlive(); }));
    ASSERT_TRUE(attendre([] { return !scripted().messages().empty(); }));
    EXPECT_EQ(scripted().messages()[0].caption, "Application Error");
    scripted().clear();
    cliquer(ctrl::EtatPort);
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Le port série n'est pas en fonction");
    cliquer(ctrl::Saisie);
    EXPECT_TRUE(transmission().endsWith(QStringLiteral(" -128")));
    // The map still takes the operator's edits.
    OnMapLeftButtonDown(Selection::Obstacle, 312, 312);
    EXPECT_EQ(valeurCellule(12, 12), 1);
}

TEST_F(MissionTest, ARobotHeldByTheOperatorGetsOnlyNeutralRepliesUntilResumed)
{
    lancer("depart 62 62 0\ngraine 11\n");
    ASSERT_TRUE(attendre([] {
        return std::hypot(monde().robot.position().x - 62, monde().robot.position().y - 62) < 25;
    }));
    SetDestination(437, 412);
    ASSERT_TRUE(attendre([] { return monde().robot.position().x > 62 + 50; })) << "on its way";
    ASSERT_TRUE(attendre([] {
        const OrdresRobot o = monde().ordres.lire();
        return o.roueGauche == 3 || o.roueDroite == 3;
    })) << "driving at speed";

    cliquer(ctrl::Arret); // "Arrêt"
    const std::uint64_t appui = traites->load();
    ASSERT_TRUE(attendre([&] { return traites->load() >= appui + 80; })) << "eight frames held";
    auto* marche = frame->findChild<VoletMarche*>();
    ASSERT_NE(marche, nullptr);
    EXPECT_EQ(marche->text(), QStringLiteral("Arrêté par l'opérateur"));
    EXPECT_EQ(controle<QLineEdit>(ctrl::RoueGauche)->text(), QStringLiteral("0"));
    EXPECT_EQ(controle<QLineEdit>(ctrl::RoueDroite)->text(), QStringLiteral("0"));
    const std::uint64_t reprise = traites->load();
    view->findChild<QPushButton*>(QStringLiteral("reprendre"))->click();

    ASSERT_TRUE(attendre(
        [] { return monde().robot.cellule() == monde().destination.lire().cellule; }, 60000))
        << "the robot goes on after the resume";
    terminer();
    dansLaCellule(17, 16);
    EXPECT_EQ(bilan.inattendues, 1) << "the one neutral byte of the press";
    EXPECT_EQ(bilan.reponses + bilan.manquantes, bilan.trames);

    // The trace: from the first frame whose status byte came after the
    // press to the last one answered before the resume, every reply is
    // neutral, the wheels stand still and the robot does not move.
    const long premier = static_cast<long>(appui / 10) + 2;
    const long dernier = static_cast<long>(reprise / 10);
    ASSERT_GE(dernier - premier, 5);
    std::istringstream lignes(trace.str());
    std::string ligne;
    std::getline(lignes, ligne); // the header
    std::string position;
    long retenues = 0;
    long doubles = 0;
    while (std::getline(lignes, ligne)) {
        // frame,time,x,y,heading,status,battery,received,left,right,sent
        std::vector<std::string> champs;
        std::istringstream flux(ligne);
        for (std::string champ; std::getline(flux, champ, ',');) {
            champs.push_back(champ);
        }
        ASSERT_GE(champs.size(), 10u) << ligne;
        const long n = std::stol(champs[0]);
        if (n < premier || n > dernier) {
            continue;
        }
        ++retenues;
        // The neutral reply; the press's own neutral byte may come with it
        // when the line delivered it late.
        EXPECT_TRUE(champs[7] == "80" || champs[7] == "80 80") << ligne;
        doubles += champs[7] == "80 80" ? 1 : 0;
        EXPECT_EQ(champs[8], "0") << ligne;
        EXPECT_EQ(champs[9], "0") << ligne;
        if (n > premier) {
            EXPECT_EQ(champs[2] + "," + champs[3], position) << "the robot stands still: " << ligne;
        }
        position = champs[2] + "," + champs[3];
    }
    EXPECT_EQ(retenues, dernier - premier + 1);
    EXPECT_LE(doubles, 1) << "the press sent one byte";
}
