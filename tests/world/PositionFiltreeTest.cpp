// The world with the position filter on: the known cell enters the goal cell
// only inside it by the margin, the footprint clears and forbids contact
// marks, a contact marks the cell the body reaches, painted obstacles are never marked over, and
// the navigation's recovery frees a goal walled in by unconfirmed contact marks.
#include "WorldFixture.h"

#include "world/GridEdits.h"
#include "world/Navigation.h"
#include "world/RobotReports.h"
#include "world/WorldThreads.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

class PositionFiltreeTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        monde().suivi.actif = 1;
    }

    /** `n` frames estimated at (x, y) with the wheels stopped. */
    static void estimer(double x, double y, int n = 40)
    {
        for (int k = 0; k < n; ++k) {
            ReportRobotStatus(0, 0, [](int, int, int) {});
            ReportRobotPosition(y, x);
        }
    }

    /** The robot put in a corner (the filter starts again), then `n` frames estimated at (x, y). */
    static void depuis(int x, int y, int n = 40)
    {
        SetRobotPosition(30, 30);
        estimer(x, y, n);
    }

    static Point cellule() { return monde().robot.cellule(); }
};

} // namespace

TEST_F(PositionFiltreeTest, TheGoalCellIsEnteredOnlyInsideItByTheMargin)
{
    SetDestination(262, 262); // cell (10, 10)
    depuis(230, 262);
    EXPECT_EQ(cellule(), (Point{9, 10}));
    EXPECT_EQ(monde().suivi.brut.get(), (Point{230, 262}));
    // Across its edge by a centimetre: not yet in it.
    depuis(251, 262);
    EXPECT_EQ(monde().robot.position().x, 251);
    EXPECT_EQ(cellule(), (Point{9, 10}));
    depuis(253, 273); // near a corner: the diagonal neighbour
    EXPECT_EQ(cellule(), (Point{9, 11}));
    // Fresh, the filter's spread keeps the robot out; settled, it is in.
    SetRobotPosition(30, 30);
    estimer(258, 262, 1);
    EXPECT_EQ(cellule(), (Point{9, 10}));
    estimer(259, 262);
    EXPECT_EQ(cellule(), (Point{10, 10}));
    // Once in, the robot stays in while its position does.
    SetRobotPosition(262, 262);
    estimer(251, 262);
    EXPECT_EQ(cellule(), (Point{10, 10}));
    estimer(240, 262, 80);
    EXPECT_EQ(cellule(), (Point{9, 10}));

    // An output that is not a number is refused and moves nothing.
    const long refus = monde().suivi.refus;
    const Point avant = monde().robot.position();
    ReportRobotPosition(std::numeric_limits<double>::infinity(), std::nan(""));
    EXPECT_EQ(monde().suivi.refus, refus + 1);
    EXPECT_EQ(monde().robot.position(), avant);
    EXPECT_EQ(monde().suivi.brut.get(), (Point{240, 262}));

    // Filter off: the specified rule, the cell of the estimate.
    monde().suivi.actif = 0;
    SetRobotPosition(200, 262);
    ReportRobotPosition(262, 251);
    EXPECT_EQ(cellule(), (Point{10, 10}));
}

TEST_F(PositionFiltreeTest, TheFootprintClearsAContactMarkAndIsNeverMarkedAgain)
{
    fixerCap(3);      // towards +x
    depuis(112, 137); // cell (4, 5)
    HandleBumpers(1, 1);
    ASSERT_EQ(valeurCellule(5, 5), 3);
    EXPECT_EQ(monde().suivi.marquesContact[5][5], 1);
    // The robot drives into that cell and stands well inside it: the mark was wrong.
    depuis(137, 137);
    EXPECT_EQ(monde().suivi.foulees[5][5], 1);
    EXPECT_NE(valeurCellule(5, 5), 3);
    EXPECT_EQ(monde().suivi.marquesContact[5][5], 0);
    // Back in (4, 5), a contact ahead marks nothing there.
    depuis(112, 137);
    HandleBumpers(1, 1);
    EXPECT_NE(valeurCellule(5, 5), 3);
}

TEST_F(PositionFiltreeTest, ASideContactMarksTheCellTheBodyReachesNotTheKnownCellsDiagonal)
{
    fixerCap(3);      // towards +x
    depuis(112, 145); // cell (4, 5), low in it, halfway along
    HandleBumpers(1, 0);
    // The right side touched what lies below; the diagonal cell (5, 6) is
    // beyond the body's reach from there.
    EXPECT_EQ(valeurCellule(4, 6), 3);
    EXPECT_EQ(monde().suivi.marquesContact[6][4], 1);
    EXPECT_NE(valeurCellule(5, 6), 3);
    // Filter off: the specified rule, the known cell's diagonal.
    monde().suivi.actif = 0;
    HandleBumpers(1, 0);
    EXPECT_EQ(valeurCellule(5, 6), 3);
}

TEST_F(PositionFiltreeTest, APaintedObstacleIsNeverMarkedOverWithTheFilterAsItIsWithout)
{
    PlaceObstacle(6, 6); // cell (5, 5), painted
    fixerCap(3);
    depuis(112, 137);
    HandleBumpers(1, 1);
    EXPECT_EQ(valeurCellule(5, 5), 1);
    EXPECT_EQ(monde().suivi.marquesContact[5][5], 0);
    monde().suivi.actif = 0;
    HandleBumpers(1, 1);
    EXPECT_EQ(valeurCellule(5, 5), 3) << "the specified rule marks whatever the cell held";
}

TEST_F(PositionFiltreeTest, RecoveryFreesAGoalWalledInByUnconfirmedContactMarksNeverPaintedOnes)
{
    // The goal (12, 10) walled in by contact marks; near it, a painted
    // obstacle and a contact mark a second contact confirmed.
    const Point but{12, 10};
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx != 0 || dy != 0) {
                MarkObstacle(but.y + dy + 1, but.x + dx + 1);
                noterMarqueContact(but.x + dx, but.y + dy);
            }
        }
    }
    PlaceObstacle(11, 16); // cell (15, 10)
    MarkObstacle(13, 15);  // cell (14, 12)
    noterMarqueContact(14, 12);
    confirmerMarqueContact(14, 12);
    depuis(5 * 25 + 12, 10 * 25 + 12);
    fixerCap(3);
    SetDestination(but.x * 25 + 12, but.y * 25 + 12);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(monde().suivi.degagements.lire().nombre, 1);
    EXPECT_EQ(monde().suivi.degagements.lire().marques, 8);
    EXPECT_NE(monde().drapeaux.premierPas, 0) << "planned again after the recovery";
    EXPECT_EQ(valeurCellule(14, 12), 3) << "confirmed by a second contact";
    EXPECT_EQ(valeurCellule(15, 10), 1) << "painted";
    EXPECT_NE(valeurCellule(11, 10), 3);
    EXPECT_NE(navigationTrace().end(),
              std::find(navigationTrace().begin(), navigationTrace().end(), "recovery 8"));
    StopWorldThreads();
    // A cell a recovery cleared, marked again: that is its second contact.
    MarkObstacle(11, 12);
    noterMarqueContact(11, 10);
    EXPECT_EQ(monde().suivi.marquesContact[10][11], 2);

    // Filter off: the marks stand and "no path" with them.
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx != 0 || dy != 0) {
                MarkObstacle(but.y + dy + 1, but.x + dx + 1);
                noterMarqueContact(but.x + dx, but.y + dy);
            }
        }
    }
    monde().suivi.actif = 0;
    notifyWorldChange();
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(monde().suivi.degagements.lire().nombre, 1);
    EXPECT_EQ(monde().drapeaux.premierPas, 0);
    EXPECT_EQ(valeurCellule(11, 10), 3);
}

TEST_F(PositionFiltreeTest, AGoalThatOnlyContactMarksTurnedIntoAMarginEndsTheRouteAPaintedOneNot)
{
    // Two contacts from one wrong place confirmed (13, 11), beside the goal:
    // the goal is a margin, and the route may still end in it.
    const Point but{12, 10};
    MarkObstacle(12, 14);
    noterMarqueContact(13, 11);
    confirmerMarqueContact(13, 11);
    MarkObstacle(14, 16); // cell (15, 13), confirmed too but not beside the goal
    noterMarqueContact(15, 13);
    confirmerMarqueContact(15, 13);
    ASSERT_EQ(valeurCellule(but.x, but.y), 2);
    depuis(5 * 25 + 12, 10 * 25 + 12);
    fixerCap(3);
    SetDestination(but.x * 25 + 12, but.y * 25 + 12);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_NE(monde().drapeaux.premierPas, 0);
    EXPECT_EQ(monde().suivi.degagements.lire().nombre, 0) << "a route: no recovery";
    EXPECT_EQ(valeurCellule(but.x, but.y), 2);
    const std::vector<PathNode> chemin = pathCopy();
    ASSERT_FALSE(chemin.empty());
    EXPECT_EQ(chemin[0].x, but.x);
    EXPECT_EQ(chemin[0].y, but.y);
    StopWorldThreads();

    // A painted obstacle beside the goal: it stays, and so does "no path".
    SetRobotPosition(30, 30);
    PlaceObstacle(10, 12); // cell (11, 9)
    depuis(5 * 25 + 12, 10 * 25 + 12);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_EQ(valeurCellule(11, 9), 1);
    EXPECT_EQ(valeurCellule(but.x, but.y), 2);
    EXPECT_EQ(monde().drapeaux.premierPas, 0);
}
