// The navigation's decisions one by one: heading sectors, turns with their
// beeps, wheel codes, bumpers.
#include "WorldFixture.h"

#include "core/scripted/ScriptedPlatform.h"
#include "world/Navigation.h"
#include "world/WorldThreads.h"

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

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
    }
    void TearDown() override
    {
        scripted().setSleepScale(1.0);
        WorldTest::TearDown();
    }

    /** The heading after a displacement (dx, dy) from `origine` on both axes. */
    static int capApres(double dx, double dy, int avant = 0, double origine = 200.0)
    {
        fixerCap(avant);
        monde().robot.modifier([&](PoseRobot& pose, filtre::FiltrePosition&) {
            pose.x = origine + dx;
            pose.y = origine + dy;
        });
        UpdateHeading(origine, origine);
        return capRobot();
    }

    /** AlignHeading for a virtual run (the turn request returns at once). */
    static void aligner(int cap, int premierPas)
    {
        monde().drapeaux.simulation = 1;
        fixerCap(cap);
        monde().drapeaux.premierPas = premierPas;
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
    // With 3.14159 for pi this displacement gives exactly 22.5 degrees, and
    // mirrored (dy < 0, plus 360) exactly 337.5. From the origin 0 the robot
    // position holds it unrounded.
    const double dx = 0.92387965944684225;
    const double dy = 0.38268312591540643;
    ASSERT_EQ(std::atan2(dy, dx) * 180.0 / 3.14159, 22.5);
    EXPECT_EQ(capApres(dx, dy, 7, 0.0), 7);
    EXPECT_EQ(capApres(dx, -dy, 7, 0.0), 7);
    // On either side of each bound the sectors apply.
    EXPECT_EQ(capApres(dx, dy * (1 + 1e-9), 7, 0.0), 4);
    EXPECT_EQ(capApres(dx, dy * (1 - 1e-9), 7, 0.0), 3);
    EXPECT_EQ(capApres(dx, -dy * (1 + 1e-9), 7, 0.0), 2);
    EXPECT_EQ(capApres(dx, -dy * (1 - 1e-9), 7, 0.0), 3);
}

TEST_F(NavigationTest, TurnsTheirCodesAndBeeps)
{
    aligner(1, 5);
    EXPECT_EQ(capRobot(), 5);
    EXPECT_EQ(monde().ordres.lire().virage, 3);
    EXPECT_TRUE(monde().ordres.lire().virageEnAttente); // left in place: nobody transmitted it
    auto bips = scripted().beeps();
    ASSERT_EQ(bips.size(), 2u);
    EXPECT_EQ(bips[0].frequency, 100);
    EXPECT_EQ(bips[1].milliseconds, 100);

    scripted().clear();
    aligner(1, 3);
    EXPECT_EQ(capRobot(), 3);
    EXPECT_EQ(monde().ordres.lire().virage, 1);
    bips = scripted().beeps();
    ASSERT_EQ(bips.size(), 1u);
    EXPECT_EQ(bips[0].frequency, 200);
    EXPECT_EQ(bips[0].milliseconds, 200);

    aligner(8, 2); // d = -6
    EXPECT_EQ(monde().ordres.lire().virage, 1);
    EXPECT_EQ(capRobot(), 2);
    aligner(3, 1); // d = -2
    EXPECT_EQ(monde().ordres.lire().virage, 5);
    EXPECT_EQ(capRobot(), 1);
    aligner(2, 5); // d = 3
    EXPECT_EQ(monde().ordres.lire().virage, 2);
    EXPECT_EQ(capRobot(), 5);
    aligner(7, 4); // d = -3
    EXPECT_EQ(monde().ordres.lire().virage, 4);
    EXPECT_EQ(capRobot(), 4);

    // Differences of 0, 1 and 7 order nothing.
    scripted().clear();
    monde().ordres.modifier([](OrdresRobot& o) { o.virage = 0; });
    for (auto [cap, pas] : {std::pair{1, 1}, {1, 2}, {1, 8}, {8, 1}}) {
        aligner(cap, pas);
        EXPECT_EQ(capRobot(), cap);
    }
    EXPECT_EQ(monde().ordres.lire().virage, 0);
    EXPECT_TRUE(scripted().beeps().empty());
}

TEST_F(NavigationTest, WithoutAPathTheTurnsLeaveTheHeadingAtEight)
{
    for (int cap : {2, 3, 4, 5, 6}) {
        aligner(cap, 0);
        EXPECT_EQ(capRobot(), 8) << cap;
    }
    aligner(1, 0);
    EXPECT_EQ(capRobot(), 1);
}

TEST_F(NavigationTest, TurnRequestWaitsForTheTransmission)
{
    std::atomic<bool> fini{false};
    std::thread demandeur([&] {
        RequestTurn(-90);
        fini = true;
    });
    ASSERT_TRUE(threadsAtRest()); // the request waits for the robot
    EXPECT_FALSE(fini);
    EXPECT_EQ(monde().ordres.lire().virage, 5);
    EXPECT_TRUE(monde().ordres.lire().virageEnAttente);
    EXPECT_EQ(monde().ordres.lire().roueGauche, 0);
    EXPECT_EQ(monde().ordres.lire().roueDroite, 0);
    TurnTransmitted();
    demandeur.join();
    EXPECT_TRUE(fini);
    EXPECT_EQ(monde().ordres.lire().virage, 0);

    // A virtual run starting releases a waiting request, order kept.
    std::thread autre([] { RequestTurn(180); });
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(monde().ordres.lire().virage, 3);
    SetSimRunning(1);
    autre.join();
    EXPECT_EQ(monde().ordres.lire().virage, 3);
    EXPECT_TRUE(monde().ordres.lire().virageEnAttente);
    EXPECT_EQ(navigationTrace(), (std::vector<std::string>{"turn 5", "turn 3"}));
}

TEST_F(NavigationTest, WheelCodesSteerTowardsTheFirstStep)
{
    auto roues = [](int cap, int pas) {
        const CodesRoues c = ChooseWheelCommands(cap, pas);
        return std::pair{c.gauche, c.droite};
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
    monde().drapeaux.evasionPermise = 0; // the marks alone; EvasionTest has the mends
    SetRobotPosition(25 * 8, 25 * 8);    // cell (8, 8), grid (9, 9)
    fixerCap(3);
    CompteurAffichage affichage;

    HandleBumpers(0, 1);
    EXPECT_EQ(monde().grille[8][10], 3); // up-right
    EXPECT_EQ(monde().grille[7][10], 2);
    EXPECT_EQ(affichage.signaux, 1);
    EXPECT_EQ(monde().grille.modifiee, 1);

    HandleBumpers(1, 0);
    EXPECT_EQ(monde().grille[10][10], 3); // down-right
    HandleBumpers(1, 1);
    EXPECT_EQ(monde().grille[9][10], 3); // right
    EXPECT_EQ(affichage.signaux, 3);

    // Already marked: nothing, nothing to show.
    HandleBumpers(1, 1);
    EXPECT_EQ(affichage.signaux, 3);

    // Heading 1 wraps to 8 for ahead-left; heading 8 to 1 for ahead-right.
    fixerCap(1);
    HandleBumpers(0, 1);
    EXPECT_EQ(monde().grille[8][8], 3);
    fixerCap(8);
    HandleBumpers(1, 0);
    EXPECT_EQ(monde().grille[8][9], 3);

    // Unknown heading: nothing marked.
    fixerCap(0);
    const GridSnapshot avant = snapshotGrid();
    HandleBumpers(1, 1);
    EXPECT_EQ(snapshotGrid(), avant);
}

TEST_F(NavigationTest, BumpOnTheBorderMarksNothing)
{
    for (auto [x, y, cap] :
         {std::tuple{0, 5, 7}, {19, 5, 3}, {5, 0, 1}, {5, 19, 5}, {0, 0, 8}, {19, 19, 4}}) {
        SetRobotPosition(25 * x, 25 * y);
        fixerCap(cap);
        const GridSnapshot avant = snapshotGrid();
        HandleBumpers(1, 1);
        HandleBumpers(1, 0);
        HandleBumpers(0, 1);
        // Ahead, ahead-left and ahead-right all lie in the border.
        EXPECT_EQ(snapshotGrid(), avant) << x << ", " << y;
    }
}

TEST_F(NavigationTest, TheHeadingIsPublishedWholeWithItsTurnAndAContactTakesTheHeadingBeforeIt)
{
    monde().drapeaux.evasionPermise = 0;
    SetRobotPosition(25 * 8, 25 * 8); // cell (8, 8), grid (9, 9)
    // Every heading, every first step: while the turn waits to go out, the
    // heading already published is whole (1 .. 8), and a contact is taken
    // from the heading the robot still has.
    for (int cap = 1; cap <= 8; ++cap) {
        for (int pas = 0; pas <= 8; ++pas) {
            monde().drapeaux.simulation = 0;
            fixerCap(cap);
            monde().drapeaux.premierPas = pas;
            std::atomic<bool> fini{false};
            std::thread navigation([&] {
                AlignHeading();
                fini = true;
            });
            // Done at once (no turn), or waiting for the turn to go out.
            ASSERT_TRUE(waitUntil([&] { return fini || blockedWorldWaiters() == 1; }));
            const bool virage = !fini;
            EXPECT_EQ(monde().ordres.lire().virageEnAttente, virage);
            const int publie = capRobot();
            EXPECT_GE(publie, 1) << cap << " " << pas;
            EXPECT_LE(publie, 8) << cap << " " << pas;
            EXPECT_EQ(capAuContact(), cap) << cap << " " << pas;
            if (virage) {
                TurnTransmitted();
            }
            navigation.join();
            EXPECT_EQ(capRobot(), publie) << "nothing more once the turn went out";
            EXPECT_EQ(capAuContact(), publie);
        }
    }

    // Heading 8, first step 2: a quarter turn clockwise, heading 2. A left
    // contact in the frame that carries the turn was made facing 8: it marks
    // the cell to the left (7), not the one up (1).
    monde().drapeaux.simulation = 1; // the order stays, the request returns
    fixerCap(8);
    monde().drapeaux.premierPas = 2;
    AlignHeading();
    ASSERT_TRUE(monde().ordres.lire().virageEnAttente);
    ASSERT_EQ(monde().ordres.lire().virage, 1);
    EXPECT_EQ(capRobot(), 2);
    HandleBumpers(0, 1);
    EXPECT_EQ(monde().grille[9][8], 3) << "left of the robot";
    EXPECT_EQ(monde().grille[8][9], 2) << "above it: only a margin";
}
