// The navigation and simulation threads running: stop state, heading probe,
// turns, a virtual run stepped by the world clock, "Arrêt", waits without
// passes, traces and shutdown. Every check is made once the threads are at
// rest (blocked until the next change), never after a delay.
#include "WorldFixture.h"

#include "core/scripted/ScriptedPlatform.h"
#include "world/GridEdits.h"
#include "world/Navigation.h"
#include "world/PlanPath.h"
#include "world/WorldChange.h"
#include "world/WorldClock.h"
#include "world/WorldThreads.h"

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

ScriptedPlatform& scripted()
{
    return static_cast<ScriptedPlatform&>(platform());
}

std::pair<int, int> roues()
{
    const OrdresRobot o = monde().ordres.lire();
    return {o.roueGauche, o.roueDroite};
}

Point celluleRobot()
{
    return monde().robot.cellule();
}

class NavigationThreadTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        scripted().clear();
        scripted().setSleepScale(0.0); // beeps are recorded, not waited for
        setWorldClock(&horloge);
    }
    void TearDown() override
    {
        WorldTest::TearDown(); // stops the threads before the clock and display go
        scripted().setSleepScale(1.0);
    }

    ManualWorldClock horloge;
    CompteurAffichage affichage;
};

} // namespace

TEST_F(NavigationThreadTest, RobotOnTheDestinationStopsAndShowsOnce)
{
    SetRobotPosition(30, 30);
    SetDestination(40, 40); // same cell (1, 1)
    SetWheels(3, 3);
    affichage.signaux = 0;
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    EXPECT_EQ(affichage.signaux, 2) << "the wheels stopped, and shown";

    // Each change makes one pass that stays stopped: the navigation shows
    // nothing more (the two changes are all the display hears of) and plans
    // nothing.
    const unsigned passes = monde().drapeaux.passesNavigation;
    SetRobotPosition(31, 31);
    ASSERT_TRUE(threadsAtRest());
    notifyWorldChange();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(monde().drapeaux.passesNavigation, passes + 2);
    EXPECT_EQ(affichage.signaux, 2 + 2);
    EXPECT_EQ(navigationTrace(), std::vector<std::string>(3, "stop"));
}

TEST_F(NavigationThreadTest, ProbeDrivesStraightUntilTheRobotChangesCell)
{
    SetRobotPosition(25 * 3, 25 * 5);
    SetDestination(25 * 10 + 12, 25 * 5 + 12);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{2, 2}));
    EXPECT_EQ(capRobot(), 0);

    // Moving inside the cell is no cell change: still probing.
    SetRobotPosition(25 * 3 + 10, 25 * 5);
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{2, 2}));
    EXPECT_EQ(capRobot(), 0);

    // One cell to the right: heading 3, straight along the path.
    SetRobotPosition(25 * 4, 25 * 5);
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(capRobot(), 3);
    EXPECT_EQ(monde().drapeaux.premierPas, 3);
    EXPECT_EQ(roues(), (std::pair{3, 3}));
    EXPECT_EQ(navigationTrace(), (std::vector<std::string>{"probe", "wheels 3 3"}));
}

TEST_F(NavigationThreadTest, NewCellReplansAndSteers)
{
    // A known heading: no probe. The first estimate comes from the origin
    // (0, 0) to (75, 125): about 59°, heading 4, so it veers counter-clockwise.
    fixerCap(1);
    SetRobotPosition(25 * 3, 25 * 5);
    SetDestination(25 * 10, 25 * 5);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{2, 3}));
    EXPECT_EQ(capRobot(), 4);
    EXPECT_EQ(monde().drapeaux.premierPas, 3);

    // While the wheels turn, changes that leave the robot in its cell make no pass.
    const unsigned passes = monde().drapeaux.passesNavigation;
    SetRobotPosition(25 * 3 + 5, 25 * 5 + 5);
    ASSERT_TRUE(threadsAtRest());
    notifyWorldChange();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(monde().drapeaux.passesNavigation, passes);

    // One cell to the right of where the pass began: heading 3, straight ahead.
    SetRobotPosition(25 * 4, 25 * 5);
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(monde().drapeaux.passesNavigation, passes + 1);
    EXPECT_EQ(roues(), (std::pair{3, 3}));
    EXPECT_EQ(capRobot(), 3);

    // An obstacle on the way: the map change makes it plan around it.
    const int signaux = affichage.signaux;
    monde().grille.modifiee = 1; // as the mouse does before each edit
    PlaceObstacle(6, 9);
    ASSERT_TRUE(threadsAtRest());
    EXPECT_GT(affichage.signaux, signaux + 1) << "the edit, then the new route";
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_FALSE(monde().ordres.lire().virageEnAttente);
    EXPECT_TRUE(pathIsLegal(pathCopy(), snapshotGrid(), 4, 5, 10, 5));
}

TEST_F(NavigationThreadTest, TurnOrderedWhenThePathLiesBehind)
{
    // From the origin to (75, 300): about 76°, heading 5; the goal is up: 180°.
    SetRobotPosition(25 * 3, 25 * 12);
    SetDestination(25 * 3, 25 * 5);
    fixerCap(1);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_TRUE(monde().ordres.lire().virageEnAttente);
    EXPECT_EQ(monde().ordres.lire().virage, 3);
    EXPECT_EQ(capRobot(), 1);
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    EXPECT_EQ(scripted().beeps().size(), 2u);

    // The robot reports: the order is sent, navigation goes on.
    TurnTransmitted();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{3, 3}));
    EXPECT_EQ(monde().ordres.lire().virage, 0);
    EXPECT_EQ(navigationTrace(), (std::vector<std::string>{"turn 3", "wheels 3 3"}));
}

TEST_F(NavigationThreadTest, WithoutAPathTheStoppedWheelsWaitForAChange)
{
    for (int r = 1; r <= 20; ++r) {
        PlaceObstacle(r, 8); // a wall across the field
    }
    SetRobotPosition(25 * 3, 25 * 5);
    SetDestination(25 * 10, 25 * 5);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    EXPECT_EQ(monde().drapeaux.premierPas, 0);

    // A change brings the pass that sees it and at most one more search.
    const unsigned passes = monde().drapeaux.passesNavigation;
    notifyWorldChange();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_GE(monde().drapeaux.passesNavigation - passes, 1u);
    EXPECT_LE(monde().drapeaux.passesNavigation - passes, 2u);
    const auto lignes = navigationTrace();
    ASSERT_FALSE(lignes.empty());
    EXPECT_EQ(lignes.back(), "no path");
}

TEST_F(NavigationThreadTest, VirtualRunOnAThreeCellPath)
{
    SetRobotPosition(25 * 1, 25 * 1);
    SetDestination(25 * 4 + 12, 25 * 1 + 12);
    PlanPath(1, 1, 4, 1);
    ASSERT_EQ(pathCopy().size(), 3u);
    StartNavigation();
    // As when the operator presses "Go!!!": the navigation is in its heading
    // probe (both wheels at 2), waiting for the robot to move.
    ASSERT_TRUE(threadsAtRest());
    ASSERT_EQ(roues(), (std::pair{2, 2}));
    SetSimRunning(1);
    StartSimulation();

    // The first step comes at once, each next one 1500 ms later.
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(celluleRobot(), (Point{2, 1}));
    EXPECT_EQ(capRobot(), 3);
    EXPECT_EQ(roues(), (std::pair{3, 3}));
    horloge.advance(1499ms);
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(celluleRobot(), (Point{2, 1}));
    horloge.advance(1ms);
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(celluleRobot(), (Point{3, 1}));
    horloge.advance(1500ms);
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(monde().robot.position(), (Point{100, 25}));
    EXPECT_EQ(roues(), (std::pair{0, 0})); // on the destination

    // The run sleeps one more step on the goal, then ends.
    horloge.advance(1499ms);
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(runningSimulations(), 1);
    horloge.advance(1ms);
    ASSERT_TRUE(waitUntil([] { return runningSimulations() == 0; }));
    EXPECT_EQ(monde().robot.position(), (Point{100, 25}));

    // World threads start at the lowest priority.
    const auto priorites = scripted().threadPriorities();
    ASSERT_FALSE(priorites.empty());
    for (ThreadPriority p : priorites) {
        EXPECT_EQ(p, ThreadPriority::Lowest);
    }
}

TEST_F(NavigationThreadTest, OneStopEndsEveryVirtualRunAfterItsStep)
{
    // Nothing planned, no path: both runs keep stepping while monde().drapeaux.simulation is 1.
    SetRobotPosition(25 * 2, 25 * 2);
    SetDestination(25 * 9, 25 * 9);
    SetSimRunning(1);
    StartSimulation();
    StartSimulation();
    ASSERT_TRUE(threadsAtRest(2));
    horloge.advance(1500ms);
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(runningSimulations(), 2);

    // "Arrêt": each run ends at its next check, once its step is over.
    SetSimRunning(0);
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(runningSimulations(), 2);
    horloge.advance(1500ms);
    ASSERT_TRUE(waitUntil([] { return runningSimulations() == 0; }));
    EXPECT_EQ(celluleRobot(), (Point{2, 2}));
}

TEST_F(NavigationThreadTest, StopJoinsThreadsWhereverTheyWait)
{
    // A simulation asleep in its step (nothing planned yet), then the
    // navigation held in a turn request that no robot will transmit.
    fixerCap(1);
    SetRobotPosition(25 * 3, 25 * 12);
    SetDestination(25 * 3, 25 * 5);
    monde().drapeaux.simulation = 1; // set quietly: only the simulation reads it
    StartSimulation();
    ASSERT_TRUE(threadsAtRest());
    monde().drapeaux.simulation = 0;
    StartNavigation();
    ASSERT_TRUE(threadsAtRest(2));
    ASSERT_TRUE(monde().ordres.lire().virageEnAttente);

    StopWorldThreads();
    EXPECT_EQ(runningSimulations(), 0);
    EXPECT_EQ(blockedWorldWaiters(), 0);
    EXPECT_TRUE(worldThreadsStopping());
}
