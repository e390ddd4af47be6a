#include "WorldFixture.h"

#include "world/GridEdits.h"
#include "world/PlanPath.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class PlanPathTest : public WorldTest {
protected:
    /** Counts from here on what the display is told. */
    void installDisplay() { display = std::make_unique<CompteurAffichage>(); }
    int signaux() const { return display->signaux; }

    /** Sets the wheel codes to something a failure must clear. */
    static void setWheels()
    {
        monde().ordres.modifier([](OrdresRobot& o) {
            o.roueGauche = 3;
            o.roueDroite = -2;
        });
    }

    static void expectWheelsStopped()
    {
        const OrdresRobot o = monde().ordres.lire();
        EXPECT_EQ(o.roueGauche, 0);
        EXPECT_EQ(o.roueDroite, 0);
    }

    /** A wall of operator obstacles down grid column `c`, ring included. */
    static void buildWall(int c)
    {
        for (int r = 1; r <= 20; ++r) {
            PlaceObstacle(r, c);
        }
    }

    std::unique_ptr<CompteurAffichage> display;
};

TEST_F(PlanPathTest, EmptyWorldCornerToCornerIsOneDiagonal)
{
    installDisplay();
    PlanPath(1, 1, 18, 18);
    const auto path = pathCopy();
    ASSERT_EQ(path.size(), 17u);
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(path[i].direction, 4) << "element " << i;
        EXPECT_EQ(path[i].x, 18 - i);
        EXPECT_EQ(path[i].y, 18 - i);
    }
    int cost = 0;
    EXPECT_TRUE(pathIsLegal(path, snapshotGrid(), 1, 1, 18, 18, &cost));
    EXPECT_EQ(cost, 238);
    EXPECT_EQ(monde().drapeaux.premierPas, 4);
    EXPECT_EQ(signaux(), 1) << "the new route, the wheels unchanged";
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 0);
}

TEST_F(PlanPathTest, StraightDownFourCells)
{
    PlanPath(1, 1, 1, 5);
    const auto path = pathCopy();
    ASSERT_EQ(path.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(path[i].direction, 5);
        EXPECT_EQ(path[i].x, 1);
        EXPECT_EQ(path[i].y, 5 - i);
    }
    EXPECT_EQ(path.front().y, 5);
    EXPECT_EQ(path.back().y, 2);
    EXPECT_EQ(monde().drapeaux.premierPas, 5);
}

TEST_F(PlanPathTest, EveryDirectionAsFirstStep)
{
    // From the middle, a goal two cells away in each direction is reached by
    // two steps of that direction.
    for (int k = 1; k <= 8; ++k) {
        const geo::Step& s = geo::Steps[k];
        const Itineraire& recherche = planifierEtGarder(9, 9, 9 + 2 * s.dx, 9 + 2 * s.dy);
        const auto path = pathCopy();
        ASSERT_EQ(path.size(), 2u) << "direction " << k;
        EXPECT_EQ(path[0].direction, k);
        EXPECT_EQ(path[1].direction, k);
        EXPECT_EQ(path[1].x, 9 + s.dx);
        EXPECT_EQ(path[1].y, 9 + s.dy);
        EXPECT_EQ(monde().drapeaux.premierPas, k);
        EXPECT_EQ(recherche.directions[9][9], 0);
        EXPECT_EQ(recherche.directions[9 + 2 * s.dy][9 + 2 * s.dx], k);
    }
}

TEST_F(PlanPathTest, WallMakesSearchFailAndShowsTheFailureOnlyOnce)
{
    buildWall(11);
    installDisplay();
    PlanPath(1, 1, 18, 18); // first failure: the map did not show one yet
    ASSERT_TRUE(pathCopy().empty());
    EXPECT_EQ(signaux(), 1) << "the failure; the wheels were stopped already";
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 1);

    // A success in between, then give the wheels values a failure must reset.
    PlanPath(1, 1, 5, 5);
    ASSERT_FALSE(pathCopy().empty());
    EXPECT_EQ(signaux(), 2);
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 0);
    setWheels();
    monde().grille.modifiee = 1;

    const Itineraire& recherche = planifierEtGarder(1, 1, 18, 18);
    EXPECT_TRUE(pathCopy().empty());
    EXPECT_EQ(monde().drapeaux.premierPas, 0);
    expectWheelsStopped();
    EXPECT_EQ(signaux(), 4) << "the wheels stopped, the failure shown";
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 1);
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_EQ(recherche.directions[18][18], -1);

    // A second failure in a row stops the wheels again (shown) but shows no
    // new failure.
    setWheels();
    PlanPath(2, 3, 15, 4);
    EXPECT_TRUE(pathCopy().empty());
    EXPECT_EQ(signaux(), 5);
    expectWheelsStopped();
    PlanPath(2, 3, 15, 4);
    EXPECT_EQ(signaux(), 5) << "nothing new to show";

    // Opening the wall lets the next search succeed and redraw.
    EraseObstacle(25 * 10 + 5, 25 * 9 + 5); // grid (10, 11) .. (12, 11)
    EraseObstacle(25 * 10 + 5, 25 * 10 + 5);
    EraseObstacle(25 * 10 + 5, 25 * 11 + 5);
    PlanPath(1, 1, 18, 18);
    const auto path = pathCopy();
    int cost = 0;
    EXPECT_TRUE(pathIsLegal(path, snapshotGrid(), 1, 1, 18, 18, &cost));
    EXPECT_EQ(cost, referenceCost(snapshotGrid(), 1, 1, 18, 18));
    EXPECT_EQ(signaux(), 5 + 3 + 1) << "the three erasures, the route";
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 0);
    EXPECT_EQ(monde().drapeaux.premierPas, path.back().direction);
}

TEST_F(PlanPathTest, SensorObstaclesBlockToo)
{
    for (int r = 1; r <= 20; ++r) {
        MarkObstacle(r, 8);
    }
    PlanPath(1, 1, 18, 1);
    EXPECT_TRUE(pathCopy().empty());
    EXPECT_EQ(monde().drapeaux.premierPas, 0);
}

TEST_F(PlanPathTest, NoDiagonalBetweenTwoBlockedCells)
{
    // Margins make (6, 5) and (5, 6) blocked while (6, 6) stays free.
    PlaceObstacle(5, 8); // cell (7, 4)
    PlaceObstacle(8, 5); // cell (4, 7)
    ASSERT_NE(valeurCellule(6, 5), 0);
    ASSERT_NE(valeurCellule(5, 6), 0);
    ASSERT_EQ(valeurCellule(6, 6), 0);
    ASSERT_EQ(valeurCellule(5, 5), 0);

    PlanPath(5, 5, 6, 6);
    const auto path = pathCopy();
    int cost = 0;
    ASSERT_TRUE(pathIsLegal(path, snapshotGrid(), 5, 5, 6, 6, &cost));
    EXPECT_GT(path.size(), 1u);
    EXPECT_EQ(cost, referenceCost(snapshotGrid(), 5, 5, 6, 6));
    EXPECT_GT(cost, 14);
}

TEST_F(PlanPathTest, DiagonalPastOneBlockedCornerIsAllowed)
{
    PlaceObstacle(5, 8); // blocks (6, 5) only
    ASSERT_NE(valeurCellule(6, 5), 0);
    ASSERT_EQ(valeurCellule(5, 6), 0);
    PlanPath(5, 5, 6, 6);
    const auto path = pathCopy();
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].direction, 4);
    EXPECT_EQ(monde().drapeaux.premierPas, 4);
}

TEST_F(PlanPathTest, GoalOnMarginOrObstacleHasNoPath)
{
    PlaceObstacle(10, 10); // cell (9, 9)
    MarkObstacle(5, 15);   // cell (14, 4)
    const int goals[][2] = {{9, 9}, {10, 10}, {14, 4}, {13, 3}, {0, 0}, {19, 10}, {5, 0}};
    for (const auto& goal : goals) {
        monde().drapeaux.premierPas = 7;
        PlanPath(3, 3, goal[0], goal[1]);
        EXPECT_TRUE(pathCopy().empty()) << goal[0] << ", " << goal[1];
        EXPECT_EQ(monde().drapeaux.premierPas, 0);
    }
}

TEST_F(PlanPathTest, StartEqualToGoalKeepsFirstStep)
{
    installDisplay();
    PlanPath(1, 1, 4, 4);
    ASSERT_EQ(pathCopy().size(), 3u);
    setWheels();
    monde().drapeaux.premierPas = 6;
    monde().grille.modifiee = 1;
    PlanPath(4, 4, 4, 4);
    EXPECT_TRUE(pathCopy().empty());
    EXPECT_EQ(monde().drapeaux.premierPas, 6);
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_EQ(monde().ordres.lire().roueGauche, 3) << "the wheels are left as they were";
}

TEST_F(PlanPathTest, StartOnMarginIsAllowed)
{
    // The start cell is not tested: a robot standing in the ring can leave it.
    PlanPath(0, 5, 5, 5);
    const auto path = pathCopy();
    int cost = 0;
    ASSERT_TRUE(pathIsLegal(path, snapshotGrid(), 0, 5, 5, 5, &cost));
    EXPECT_EQ(cost, 50);
    EXPECT_EQ(monde().drapeaux.premierPas, 3);

    // From a corner of the ring both orthogonal cells are margin, so the
    // diagonal into the field is refused and nothing is reachable.
    PlanPath(0, 0, 5, 5);
    EXPECT_TRUE(pathCopy().empty());
    EXPECT_EQ(monde().drapeaux.premierPas, 0);
}

TEST_F(PlanPathTest, StartOrGoalOutsideTheFieldIsAFailedSearch)
{
    installDisplay();
    const int cases[][4] = {{-1, 5, 5, 5},    {5, -1, 5, 5},   {20, 5, 5, 5},   {5, 20, 5, 5},
                            {5, 5, -1, 5},    {5, 5, 5, -1},   {5, 5, 20, 5},   {5, 5, 5, 20},
                            {-1, -1, 20, 20}, {1000, 3, 3, 3}, {3, 3, -1000, 3}};
    int failures = 0;
    for (const auto& c : cases) {
        PlanPath(3, 3, 8, 8); // a path to lose
        ASSERT_FALSE(pathCopy().empty());
        setWheels();
        monde().grille.modifiee = 1;
        PlanPath(c[0], c[1], c[2], c[3]);
        ++failures;
        EXPECT_TRUE(pathCopy().empty()) << c[0] << ", " << c[1] << " -> " << c[2] << ", " << c[3];
        EXPECT_EQ(monde().drapeaux.premierPas, 0);
        EXPECT_EQ(monde().grille.modifiee, 0);
        EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 1);
        expectWheelsStopped();
    }
    // Each failure followed a success: the success, the wheels stopped and
    // the failure were each shown.
    EXPECT_EQ(signaux(), 3 * failures);
}

TEST_F(PlanPathTest, ClearsMapChangedAndNeedsNoDisplay)
{
    monde().grille.modifiee = 1;
    PlanPath(2, 2, 16, 3);
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_FALSE(pathCopy().empty());
    buildWall(8);
    monde().grille.modifiee = 1;
    PlanPath(2, 2, 16, 3);
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_TRUE(pathCopy().empty());
}

TEST_F(PlanPathTest, LeavesThePathLockFree)
{
    PlanPath(1, 1, 10, 3);
    ASSERT_TRUE(monde().route.libre());
    ASSERT_TRUE(monde().ordres.libre());
    buildWall(5);
    PlanPath(1, 1, 10, 3);
    ASSERT_TRUE(monde().route.libre());
    ASSERT_TRUE(monde().ordres.libre());
}

} // namespace

namespace {

TEST_F(PlanPathTest, AChangeMadeWhileTheSearchRunsIsNeverLost)
{
    // The bumper marks a cell on the route while the search runs (here, a
    // search that marks it before it looks at its copy of the grid): the
    // route found goes through it, but the flag that asks for a new search
    // stays up, so the navigation plans again on its next pass.
    monde().grille.modifiee = 1;
    PlanPathAvec(2, 2, 16, 2, [](const GrilleMonde& grille, Point d, Point b, Itineraire& r) {
        MarkObstacle(3, 9); // cell (8, 2), on the straight route
        planifier(grille, d, b, r);
    });
    const auto traverse = pathCopy();
    EXPECT_TRUE(std::any_of(traverse.begin(), traverse.end(),
                            [](const PathNode& e) { return e.x == 8 && e.y == 2; }));
    EXPECT_EQ(monde().grille.modifiee, 1) << "the mark asks for a new search";
    PlanPath(2, 2, 16, 2);
    EXPECT_EQ(monde().grille.modifiee, 0);
    const auto autour = pathCopy();
    EXPECT_TRUE(pathIsLegal(autour, snapshotGrid(), 2, 2, 16, 2, nullptr));
    EXPECT_TRUE(std::none_of(autour.begin(), autour.end(),
                             [](const PathNode& e) { return e.x == 8 && e.y == 2; }));
}

} // namespace
