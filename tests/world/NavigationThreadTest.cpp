// The navigation and simulation threads running: stop state, heading probe,
// virtual run, "Arrêt", blocking waits and shutdown.
#include "WorldFixture.h"

#include "core/scripted/ScriptedPlatform.h"
#include "world/GridEdits.h"
#include "world/Navigation.h"
#include "world/PlanPath.h"
#include "world/WorldChange.h"
#include "world/WorldThreads.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Horloge = std::chrono::steady_clock;

/** Polls `condition` until it holds or `delai` passes. */
template <class Condition>
bool attendre(Condition condition, std::chrono::milliseconds delai = 3000ms)
{
    const auto fin = Horloge::now() + delai;
    while (!condition()) {
        if (Horloge::now() > fin) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::pair<int, int> roues()
{
    VerrouMonde verrou(g_wheelLock);
    return {g_wheelLeft.load(), g_wheelRight.load()};
}

Point celluleRobot()
{
    VerrouMonde verrou(g_robotLock);
    return g_robotCell;
}

/** Processor time of the whole process, in seconds. */
double tempsProcesseur()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

class NavigationThreadTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        static_cast<ScriptedPlatform&>(platform()).clear();
        g_turnCode = 0;
        g_turnPending = 0;
        g_simRunning = 0;
        g_mapView = &affichage;
    }
    void TearDown() override
    {
        StopWorldThreads();
        g_simRunning = 0;
        g_turnPending = 0;
        WorldTest::TearDown();
    }

    CountingDisplay affichage;
};

} // namespace

TEST_F(NavigationThreadTest, RobotOnTheDestinationStopsAndShowsOnce)
{
    SetRobotPosition(30, 30);
    SetDestination(40, 40); // same cell (1, 1)
    {
        VerrouMonde verrou(g_wheelLock);
        g_wheelLeft = 3;
        g_wheelRight = 3;
    }
    StartNavigation();
    ASSERT_TRUE(attendre([] { return roues() == std::pair{0, 0}; }));
    ASSERT_TRUE(attendre([this] { return affichage.wheelShows == 1; }));
    // Changes that keep it stopped show nothing more, and nothing is planned.
    SetRobotPosition(31, 31);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(affichage.wheelShows, 1);
    EXPECT_EQ(affichage.redraws, 0);
}

TEST_F(NavigationThreadTest, ProbeDrivesStraightUntilTheRobotChangesCell)
{
    SetRobotPosition(25 * 3, 25 * 5);
    SetDestination(25 * 10 + 12, 25 * 5 + 12);
    StartNavigation();
    ASSERT_TRUE(attendre([] { return roues() == std::pair{2, 2}; }));
    EXPECT_EQ(g_heading, 0);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(roues(), (std::pair{2, 2})); // still waiting: the robot has not moved

    // Moving inside the cell is no cell change.
    SetRobotPosition(25 * 3 + 10, 25 * 5);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(g_heading, 0);

    // One cell to the right: heading 3, straight along the path.
    SetRobotPosition(25 * 4, 25 * 5);
    ASSERT_TRUE(attendre([] { return g_heading == 3; }));
    ASSERT_TRUE(attendre([] { return roues() == std::pair{3, 3}; }));
    EXPECT_EQ(g_firstStep, 3);
}

TEST_F(NavigationThreadTest, NewCellReplansAndSteers)
{
    // A known heading: no probe. The first estimate comes from the origin
    // (0, 0) to (75, 125): about 59°, heading 4, so it veers counter-clockwise.
    g_heading = 1;
    SetRobotPosition(25 * 3, 25 * 5);
    SetDestination(25 * 10, 25 * 5);
    StartNavigation();
    ASSERT_TRUE(attendre([] { return roues() == std::pair{2, 3}; }));
    EXPECT_EQ(g_heading, 4);
    EXPECT_EQ(g_firstStep, 3);

    // One cell to the right: heading 3, straight ahead.
    SetRobotPosition(25 * 4, 25 * 5);
    ASSERT_TRUE(attendre([] { return roues() == std::pair{3, 3}; }));
    EXPECT_EQ(g_heading, 3);

    // An obstacle on the way: the map change makes it plan again.
    const int redraws = affichage.redraws;
    g_mapChanged = 1;
    PlaceObstacle(6, 7);
    ASSERT_TRUE(attendre([&] { return affichage.redraws > redraws; }));
    EXPECT_EQ(g_mapChanged, 0);
}

TEST_F(NavigationThreadTest, TurnOrderedWhenThePathLiesBehind)
{
    // From the origin to (75, 300): about 76°, heading 5; the goal is up: 180°.
    SetRobotPosition(25 * 3, 25 * 12);
    SetDestination(25 * 3, 25 * 5);
    g_heading = 1;
    StartNavigation();
    ASSERT_TRUE(attendre([] { return g_turnPending == 1 && g_turnCode == 3; }));
    EXPECT_EQ(g_heading, 1);
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    // The robot reports: the order is sent, navigation goes on.
    TurnTransmitted();
    ASSERT_TRUE(attendre([] { return roues() == std::pair{3, 3}; }));
}

TEST_F(NavigationThreadTest, VirtualRunOnAThreeCellPath)
{
    SetRobotPosition(25 * 1, 25 * 1);
    SetDestination(25 * 4 + 12, 25 * 1 + 12);
    PlanPath(1, 1, 4, 1);
    ASSERT_EQ(g_path.taille(), 3);
    StartNavigation();
    // As when the operator presses "Go!!!": the navigation is already in its
    // heading probe (both wheels at 2), waiting for the robot to move.
    ASSERT_TRUE(attendre([] { return roues() == std::pair{2, 2}; }));
    SetSimRunning(1);
    const auto debut = Horloge::now();
    StartSimulation();
    ASSERT_TRUE(attendre([] { return celluleRobot() == Point{2, 1}; }, 500ms));
    ASSERT_TRUE(attendre([] { return celluleRobot() == Point{3, 1}; }, 4000ms));
    ASSERT_TRUE(attendre([] { return celluleRobot() == Point{4, 1}; }, 4000ms));
    const auto arrivee = Horloge::now();
    // Two steps of 1.5 s after the first, immediate one (some slack for a busy machine).
    const double duree = std::chrono::duration<double>(arrivee - debut).count();
    EXPECT_GE(duree, 2.9);
    EXPECT_LT(duree, 3.8);
    EXPECT_EQ(runningSimulations(), 1);
    ASSERT_TRUE(attendre([] { return runningSimulations() == 0; }, 2500ms));
    // The thread sleeps its last step on the goal, then ends.
    const double fin = std::chrono::duration<double>(Horloge::now() - arrivee).count();
    EXPECT_GE(fin, 1.4);
    EXPECT_LT(fin, 2.0);
    // Navigation threads start at the lowest priority.
    const auto priorites = static_cast<ScriptedPlatform&>(platform()).threadPriorities();
    ASSERT_FALSE(priorites.empty());
    for (ThreadPriority p : priorites) {
        EXPECT_EQ(p, ThreadPriority::Lowest);
    }
    EXPECT_EQ(g_robotPos.get(), (Point{100, 25}));
    ASSERT_TRUE(attendre([] { return roues() == std::pair{0, 0}; }));
}

TEST_F(NavigationThreadTest, OneStopEndsEveryVirtualRun)
{
    // A walled-in goal: no path, both runs keep waiting while g_simRunning is 1.
    for (int r = 9; r <= 11; ++r) {
        for (int c = 9; c <= 11; ++c) {
            if (r != 10 || c != 10) {
                PlaceObstacle(r, c);
            }
        }
    }
    SetRobotPosition(25 * 2, 25 * 2);
    SetDestination(25 * 9, 25 * 9);
    SetSimRunning(1);
    StartSimulation();
    StartSimulation();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(runningSimulations(), 2);
    SetSimRunning(0);
    ASSERT_TRUE(attendre([] { return runningSimulations() == 0; }, 2000ms));
    EXPECT_EQ(celluleRobot(), (Point{2, 2}));
}

TEST_F(NavigationThreadTest, WaitingThreadsUseNoProcessor)
{
    // Stopped (no destination), then following with nothing changing.
    StartNavigation();
    std::this_thread::sleep_for(50ms);
    double avant = tempsProcesseur();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(tempsProcesseur() - avant, 0.05);

    g_heading = 3;
    SetRobotPosition(25 * 3, 25 * 5);
    SetDestination(25 * 10, 25 * 5);
    ASSERT_TRUE(attendre([] { return roues().first != 0; }));
    std::this_thread::sleep_for(50ms);
    avant = tempsProcesseur();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(tempsProcesseur() - avant, 0.05);

    // No path at all: the stopped wheels do not make it spin either.
    for (int r = 1; r <= 20; ++r) {
        g_mapChanged = 1; // as the mouse does before each edit
        PlaceObstacle(r, 8);
    }
    ASSERT_TRUE(attendre([] { return roues() == std::pair{0, 0}; }));
    std::this_thread::sleep_for(50ms);
    avant = tempsProcesseur();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(tempsProcesseur() - avant, 0.05);
}

TEST_F(NavigationThreadTest, StopJoinsThreadsWhereverTheyWait)
{
    // Navigation held in a turn request (no virtual run, no robot), a
    // simulation asleep between two steps.
    g_heading = 1;
    SetRobotPosition(25 * 3, 25 * 12);
    SetDestination(25 * 3, 25 * 5);
    StartNavigation();
    ASSERT_TRUE(attendre([] { return g_turnPending == 1; }));
    g_simRunning = 1; // set quietly: the request keeps waiting
    StartSimulation();
    std::this_thread::sleep_for(50ms);
    const auto debut = Horloge::now();
    StopWorldThreads();
    EXPECT_LT(Horloge::now() - debut, 500ms);
    EXPECT_EQ(runningSimulations(), 0);
}
