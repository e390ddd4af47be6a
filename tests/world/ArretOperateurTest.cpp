// The operator's hold: neutral replies, wheels kept at 0, a turn order kept
// for the resume, the navigation and the virtual robot standing still, and
// everything steering again at once on the resume. Threads are checked once
// at rest, never after a delay.
#include "WorldFixture.h"

#include "core/scripted/ScriptedPlatform.h"
#include "world/Navigation.h"
#include "world/RobotReports.h"
#include "world/WorldChange.h"
#include "world/WorldClock.h"
#include "world/WorldThreads.h"

#include <array>
#include <chrono>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::pair<int, int> roues()
{
    const OrdresRobot o = monde().ordres.lire();
    return {o.roueGauche, o.roueDroite};
}

Point celluleRobot()
{
    return monde().robot.cellule();
}

/** The codes of the reply to one status byte with clear bumpers. */
std::array<int, 3> reponse()
{
    std::array<int, 3> codes{-1, -1, -1};
    ReportRobotStatus(0, 0, [&](int g, int d, int v) { codes = {g, d, v}; });
    return codes;
}

class ArretOperateurTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        static_cast<ScriptedPlatform&>(platform()).clear();
        static_cast<ScriptedPlatform&>(platform()).setSleepScale(0.0);
        setWorldClock(&horloge);
    }
    void TearDown() override
    {
        WorldTest::TearDown();
        static_cast<ScriptedPlatform&>(platform()).setSleepScale(1.0);
    }

    ManualWorldClock horloge;
};

} // namespace

TEST_F(ArretOperateurTest, HeldEveryReplyIsNeutralAndATurnWaitsForTheResume)
{
    SetWheels(3, 2);
    EXPECT_TRUE(ArreterOperateur());
    EXPECT_FALSE(ArreterOperateur()) << "already held";
    EXPECT_EQ(roues(), (std::pair{0, 0})) << "stopped at once, before any reply";
    SetWheels(3, 3);
    EXPECT_EQ(roues(), (std::pair{0, 0})) << "codes chosen while held are not taken";
    // A turn ordered just before the hold.
    monde().ordres.modifier([](OrdresRobot& o) {
        o.virage = 3;
        o.virageEnAttente = true;
    });
    for (int trame = 0; trame < 3; ++trame) {
        EXPECT_EQ(reponse(), (std::array{0, 0, 0}));
    }
    EXPECT_TRUE(monde().ordres.lire().virageEnAttente);
    EXPECT_EQ(monde().ordres.lire().virage, 3);

    EXPECT_TRUE(ReprendreOperateur());
    EXPECT_FALSE(ReprendreOperateur()) << "not held any more";
    EXPECT_EQ(reponse(), (std::array{0, 0, 3})) << "the turn goes out once, after the resume";
    EXPECT_FALSE(monde().ordres.lire().virageEnAttente);
    SetWheels(3, 2);
    EXPECT_EQ(reponse(), (std::array{3, 2, 0}));
}

TEST_F(ArretOperateurTest, TheNavigationStandsStillWhileHeldAndSteersAtOnceOnResume)
{
    fixerCap(1);
    SetRobotPosition(25 * 3, 25 * 5);
    SetDestination(25 * 10, 25 * 5);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    ASSERT_EQ(roues(), (std::pair{2, 3}));

    ArreterOperateur();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    EXPECT_EQ(navigationTrace().back(), "hold");
    // Neither a new cell nor a new destination moves a held robot.
    SetRobotPosition(25 * 4, 25 * 5);
    SetDestination(25 * 12, 25 * 7);
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    EXPECT_EQ(reponse(), (std::array{0, 0, 0}));

    // Resumed without any other change: the navigation chooses at once
    // (stopped wheels never bring the cell change a turning robot waits for).
    ReprendreOperateur();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_NE(roues(), (std::pair{0, 0}));
    EXPECT_FALSE(monde().ordres.lire().virageEnAttente);
}

TEST_F(ArretOperateurTest, ATurnOrderedBeforeTheHoldGoesOutAfterTheResume)
{
    // The route lies behind the robot: a half turn is ordered.
    fixerCap(1);
    SetRobotPosition(25 * 3, 25 * 12);
    SetDestination(25 * 3, 25 * 5);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    ASSERT_TRUE(monde().ordres.lire().virageEnAttente);

    ArreterOperateur();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(reponse(), (std::array{0, 0, 0}));
    EXPECT_TRUE(monde().ordres.lire().virageEnAttente)
        << "the heading assumed the turn: it must still be made";

    ReprendreOperateur();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(reponse(), (std::array{0, 0, 3}));
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(roues(), (std::pair{3, 3}));
}

TEST_F(ArretOperateurTest, TheVirtualRobotDoesNotStepWhileHeld)
{
    SetRobotPosition(25 * 2, 25 * 2);
    SetDestination(25 * 9 + 12, 25 * 2 + 12);
    fixerCap(3);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    SetSimRunning(1);
    StartSimulation();
    ASSERT_TRUE(threadsAtRest(2));
    const Point apresPremierPas = celluleRobot();
    ASSERT_EQ(apresPremierPas, (Point{3, 2}));

    ArreterOperateur();
    ASSERT_TRUE(threadsAtRest(2));
    for (int pas = 0; pas < 3; ++pas) {
        horloge.advance(1500ms);
        ASSERT_TRUE(threadsAtRest(2));
    }
    EXPECT_EQ(celluleRobot(), apresPremierPas);
    EXPECT_EQ(runningSimulations(), 1) << "the run waits; only \"Arrêt\" ends it";

    ReprendreOperateur();
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(celluleRobot(), (Point{4, 2}));
}
