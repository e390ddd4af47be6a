// The navigation's decisions one by one: heading sectors, turns with their
// beeps, wheel codes, bumpers.
#include "WorldFixture.h"

#include "core/scripted/ScriptedPlatform.h"
#include "world/Navigation.h"
#include "world/WorldThreads.h"

#include <cmath>

namespace {

ScriptedPlatform& scripted()
{
    return static_cast<ScriptedPlatform&>(platform());
}

class NavigationTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        scripted().clear();
        scripted().setSleepScale(0.0); // beeps are recorded, not waited for
        g_turnCode = 0;
        g_turnPending = 0;
        g_simRunning = 0;
    }
    void TearDown() override
    {
        scripted().setSleepScale(1.0);
        g_simRunning = 0;
        g_turnPending = 0;
        g_turnCode = 0;
        WorldTest::TearDown();
    }

    /** The heading after a displacement (dx, dy) from (200, 200). */
    static int capApres(double dx, double dy, int avant = 0)
    {
        g_heading = avant;
        g_prevX = 200.0;
        g_prevY = 200.0;
        {
            VerrouMonde verrou(g_robotLock);
            g_robotX = 200.0 + dx;
            g_robotY = 200.0 + dy;
        }
        UpdateHeading();
        return g_heading;
    }

    /** AlignHeading for a virtual run (the turn request returns at once). */
    static void aligner(int cap, int premierPas)
    {
        g_simRunning = 1;
        g_heading = cap;
        g_firstStep = premierPas;
        AlignHeading();
    }
};

} // namespace

TEST_F(NavigationTest, HeadingSectors)
{
    EXPECT_EQ(capApres(25, 0), 3);
    EXPECT_EQ(capApres(0, -25), 1);
    EXPECT_EQ(capApres(0, 25), 5);
    EXPECT_EQ(capApres(-25, 0), 7);
    EXPECT_EQ(capApres(25, 25), 4);
    EXPECT_EQ(capApres(25, -25), 2);
    EXPECT_EQ(capApres(-25, 25), 6);
    EXPECT_EQ(capApres(-25, -25), 8);
    EXPECT_EQ(capApres(100, -30), 3); // just above the 337.5° bound
    // No displacement: unchanged.
    EXPECT_EQ(capApres(0, 0, 6), 6);
}

TEST_F(NavigationTest, AngleOnASectorBoundChangesNothing)
{
    // The angle uses 3.14159 for pi: find a displacement whose angle is
    // exactly 67.5 in that arithmetic, then check the strict bounds.
    const double rad = 67.5 * 3.14159 / 180.0;
    double dx = std::cos(rad);
    double dy = std::sin(rad);
    const double angle = std::atan2(dy, dx) * 180.0 / 3.14159;
    if (angle == 67.5) {
        EXPECT_EQ(capApres(dx, dy, 7), 7);
    }
    // On either side of the bound the sectors apply.
    EXPECT_EQ(capApres(std::cos(rad + 1e-6) * 10, std::sin(rad + 1e-6) * 10, 7), 5);
    EXPECT_EQ(capApres(std::cos(rad - 1e-6) * 10, std::sin(rad - 1e-6) * 10, 7), 4);
}

TEST_F(NavigationTest, TurnsTheirCodesAndBeeps)
{
    aligner(1, 5);
    EXPECT_EQ(g_heading, 5);
    EXPECT_EQ(g_turnCode, 3);
    EXPECT_EQ(g_turnPending, 1); // left in place: nobody transmitted it
    auto bips = scripted().beeps();
    ASSERT_EQ(bips.size(), 2u);
    EXPECT_EQ(bips[0].frequency, 100);
    EXPECT_EQ(bips[1].milliseconds, 100);

    scripted().clear();
    aligner(1, 3);
    EXPECT_EQ(g_heading, 3);
    EXPECT_EQ(g_turnCode, 1);
    bips = scripted().beeps();
    ASSERT_EQ(bips.size(), 1u);
    EXPECT_EQ(bips[0].frequency, 200);
    EXPECT_EQ(bips[0].milliseconds, 200);

    aligner(8, 2); // d = -6
    EXPECT_EQ(g_turnCode, 1);
    EXPECT_EQ(g_heading, 2);
    aligner(3, 1); // d = -2
    EXPECT_EQ(g_turnCode, 5);
    EXPECT_EQ(g_heading, 1);
    aligner(2, 5); // d = 3
    EXPECT_EQ(g_turnCode, 2);
    EXPECT_EQ(g_heading, 5);
    aligner(7, 4); // d = -3
    EXPECT_EQ(g_turnCode, 4);
    EXPECT_EQ(g_heading, 4);

    // Differences of 0, 1 and 7 order nothing.
    scripted().clear();
    g_turnCode = 0;
    for (auto [cap, pas] : {std::pair{1, 1}, {1, 2}, {1, 8}, {8, 1}}) {
        aligner(cap, pas);
        EXPECT_EQ(g_heading, cap);
    }
    EXPECT_EQ(g_turnCode, 0);
    EXPECT_TRUE(scripted().beeps().empty());
}

TEST_F(NavigationTest, WithoutAPathTheTurnsLeaveTheHeadingAtEight)
{
    for (int cap : {2, 3, 4, 5, 6}) {
        aligner(cap, 0);
        EXPECT_EQ(g_heading, 8) << cap;
    }
    aligner(1, 0);
    EXPECT_EQ(g_heading, 1);
}

TEST_F(NavigationTest, TurnRequestWaitsForTheTransmission)
{
    g_simRunning = 0;
    std::atomic<bool> fini{false};
    std::thread demandeur([&] {
        RequestTurn(-90);
        fini = true;
    });
    while (g_turnCode != 5) {
        std::this_thread::yield();
    }
    EXPECT_EQ(g_turnPending, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fini);
    {
        VerrouMonde verrou(g_wheelLock);
        EXPECT_EQ(g_wheelLeft, 0);
        EXPECT_EQ(g_wheelRight, 0);
    }
    TurnTransmitted();
    demandeur.join();
    EXPECT_TRUE(fini);
    EXPECT_EQ(g_turnCode, 0);

    // A virtual run starting releases a waiting request, order kept.
    std::thread autre([] { RequestTurn(180); });
    while (g_turnCode != 3) {
        std::this_thread::yield();
    }
    SetSimRunning(1);
    autre.join();
    EXPECT_EQ(g_turnCode, 3);
    EXPECT_EQ(g_turnPending, 1);
}

TEST_F(NavigationTest, WheelCodesSteerTowardsTheFirstStep)
{
    auto roues = [](int cap, int pas) {
        g_heading = cap;
        g_firstStep = pas;
        ChooseWheelCommands();
        return std::pair{g_cmdLeft.load(), g_cmdRight.load()};
    };
    EXPECT_EQ(roues(1, 2), (std::pair{3, 2}));
    EXPECT_EQ(roues(1, 8), (std::pair{2, 3}));
    EXPECT_EQ(roues(8, 1), (std::pair{3, 2}));
    EXPECT_EQ(roues(3, 3), (std::pair{3, 3}));
    EXPECT_EQ(roues(5, 4), (std::pair{2, 3}));
    EXPECT_EQ(roues(4, 0), (std::pair{0, 0}));
}

TEST_F(NavigationTest, BumpersMarkAheadAheadLeftAheadRight)
{
    CountingDisplay affichage;
    g_mapView = &affichage;
    SetRobotPosition(25 * 8, 25 * 8); // cell (8, 8), grid (9, 9)
    g_heading = 3;

    HandleBumpers(0, 1);
    EXPECT_EQ(g_grid[8][10], 3); // up-right
    EXPECT_EQ(g_grid[7][10], 2);
    EXPECT_EQ(affichage.redraws, 1);
    EXPECT_EQ(g_mapDirty, 0);
    EXPECT_EQ(g_mapChanged, 1);

    HandleBumpers(1, 0);
    EXPECT_EQ(g_grid[10][10], 3); // down-right
    HandleBumpers(1, 1);
    EXPECT_EQ(g_grid[9][10], 3); // right
    EXPECT_EQ(affichage.redraws, 3);

    // Already marked: nothing, no redraw.
    HandleBumpers(1, 1);
    EXPECT_EQ(affichage.redraws, 3);

    // Heading 1 wraps to 8 for ahead-left; heading 8 to 1 for ahead-right.
    g_heading = 1;
    HandleBumpers(0, 1);
    EXPECT_EQ(g_grid[8][8], 3);
    g_heading = 8;
    HandleBumpers(1, 0);
    EXPECT_EQ(g_grid[8][9], 3);

    // Unknown heading: nothing marked.
    g_heading = 0;
    const GridSnapshot avant = snapshotGrid();
    HandleBumpers(1, 1);
    EXPECT_EQ(snapshotGrid(), avant);
}

TEST_F(NavigationTest, BumpOnTheBorderMarksNothing)
{
    for (auto [x, y, cap] :
         {std::tuple{0, 5, 7}, {19, 5, 3}, {5, 0, 1}, {5, 19, 5}, {0, 0, 8}, {19, 19, 4}}) {
        SetRobotPosition(25 * x, 25 * y);
        g_heading = cap;
        const GridSnapshot avant = snapshotGrid();
        HandleBumpers(1, 1);
        HandleBumpers(1, 0);
        HandleBumpers(0, 1);
        for (int k = 0; k < geo::GridSize; ++k) {
            EXPECT_EQ(g_grid[0][k], 1);
            EXPECT_EQ(g_grid[21][k], 1);
            EXPECT_EQ(g_grid[k][0], 1);
            EXPECT_EQ(g_grid[k][21], 1);
        }
        (void)avant;
    }
}
