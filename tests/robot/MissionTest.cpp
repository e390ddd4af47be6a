// The whole loop: kiv-robot in --fast mode on a pseudo-terminal of its own,
// the console offscreen with its real serial engine, network, navigation and
// bumper handling. The robot is steered only by the console's command bytes.
#include "console/ConsoleFixture.h"

#include "link/SerialPort.h"
#include "robot/Liaison.h"
#include "robot/Session.h"
#include "support/PseudoTerminal.h"
#include "world/MapEditing.h"
#include "world/WorldChange.h"

#include <QFile>
#include <QProcess>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <thread>

namespace {

/**
 * The robot's side runs on a thread of the test, in --fast mode on a
 * pseudo-terminal of its own, in lock step with the console's navigation:
 * each frame leaves once the navigation has handled every change, as it
 * would between two frames of a robot in real time. The program itself
 * (kiv-robot) is started by the last test.
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
        options.trace = &trace;
        options.apresPeriode = [this](const robotsim::RobotVirtuel& r) {
            // The console's estimate against the truth (before the navigation acts on it).
            const Point e = g_robotPos.get();
            const double d = std::hypot(e.x - r.pose().x, e.y - r.pose().y);
            ecartMax = std::max(ecartMax.load(), d);
            for (int k = 0; k < 100000 && blockedWorldWaiters() < 1; ++k) {
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        };
        fil = std::thread([this, options] {
            bilan = robotsim::executerSession(*robot, *liaison, options, arret);
        });
        qputenv("KIV_COM1", QByteArray::fromStdString(liaison->nom()));
        demarrerAvec([] { return makeSerialPort(); });
        ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
        EXPECT_TRUE(scripted().messages().empty());
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
            const Point p = g_robotPos.get();
            return std::hypot(p.x - depart.x, p.y - depart.y) < 25;
        });
        EXPECT_TRUE(localise);
        SetDestination(x, y);
        return attendre(
            [] {
                VerrouMonde r(g_robotLock);
                VerrouMonde d(g_destLock);
                return g_robotCell == g_destCell;
            },
            60000);
    }

    /** Closes the console; the robot sees its line go and ends. */
    void terminer()
    {
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
    }

    std::unique_ptr<robotsim::Liaison> liaison;
    std::unique_ptr<robotsim::RobotVirtuel> robot;
    std::ostringstream trace;
    std::atomic<bool> arret{false};
    std::thread fil;
    robotsim::Bilan bilan;
    /** The largest distance between the console's estimate and the truth after a frame, cm. */
    std::atomic<double> ecartMax{0.0};
};

} // namespace

TEST_F(MissionTest, CrossesAnOpenFieldOneCommandPerFrameWithTheEstimateOnTheTruth)
{
    lancer("depart 62 62 0\ngraine 5\n");
    ASSERT_TRUE(allerA(437, 412, {62, 62}));
    const int barre = controle<QProgressBar>(1019)->value();
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
    QProcess programme;
    programme.start(QStringLiteral(KIV_ROBOT_PATH), {"--fast", "mission.scn"});
    ASSERT_TRUE(attendre([&] { return programme.canReadLine(); }));
    const QString ligne = QString::fromUtf8(programme.readLine()).trimmed();
    ASSERT_TRUE(ligne.startsWith(QStringLiteral("device /dev/"))) << ligne.toStdString();
    qputenv("KIV_COM1", ligne.mid(7).toUtf8());
    demarrerAvec([] { return makeSerialPort(); });
    ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
    SetDestination(437, 437);
    ASSERT_TRUE(attendre([] { return g_robotPos.get().x > 100; }));
    scripted().clear();
    programme.terminate();
    ASSERT_TRUE(programme.waitForFinished(20000));
    EXPECT_EQ(programme.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(programme.exitCode(), 0);
    const std::string resume = programme.readAll().toStdString();
    EXPECT_EQ(resume.rfind("frames ", 0), 0u) << resume;
    EXPECT_EQ(resume.find("went away"), std::string::npos);

    ASSERT_TRUE(attendre([this] { return !view->lien()->threadAlive(); }));
    ASSERT_TRUE(attendre([] { return !scripted().messages().empty(); }));
    EXPECT_EQ(scripted().messages()[0].caption, "Application Error");
    scripted().clear();
    cliquer(1007);
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Le port série n'est pas en fonction");
    cliquer(1042);
    EXPECT_TRUE(transmission().endsWith(QStringLiteral(" -128")));
    // The map still takes the operator's edits.
    OnMapLeftButtonDown(Selection::Obstacle, 312, 312);
    EXPECT_EQ(valeurCellule(12, 12), 1);
}
