// Why no route exists, found beside the planner and always agreeing with it.
#include "WorldFixture.h"

#include "world/GridEdits.h"
#include "world/PlanPath.h"
#include "world/PositionFiltree.h"
#include "world/RaisonSansChemin.h"

#include <gtest/gtest.h>

namespace {

class RaisonSansCheminTest : public WorldTest {
protected:
    /** The planner's verdict on the same cells: true when it finds a route. */
    static bool planificateurTrouve(Point d, Point b)
    {
        monde().drapeaux.premierPas = 0;
        PlanPath(d.x, d.y, b.x, b.y);
        return monde().drapeaux.premierPas != 0;
    }

    /** The reason, checked against the planner's own search. */
    static RaisonSansChemin raison(Point d, Point b)
    {
        const RaisonSansChemin r = raisonSansChemin(d, b);
        EXPECT_EQ(r == RaisonSansChemin::Aucune, planificateurTrouve(d, b))
            << "(" << d.x << "," << d.y << ") -> (" << b.x << "," << b.y << ")\n"
            << gridText(snapshotGrid());
        return r;
    }

    /** Operator obstacles on the ring of grid cells at distance `d` around grid (r, c). */
    static void anneau(int r, int c, int d)
    {
        for (int k = -d; k <= d; ++k) {
            PlaceObstacle(r - d, c + k);
            PlaceObstacle(r + d, c + k);
            PlaceObstacle(r + k, c - d);
            PlaceObstacle(r + k, c + d);
        }
    }
};

TEST_F(RaisonSansCheminTest, FreeFieldAndNothingToJoin)
{
    EXPECT_EQ(raison({1, 1}, {18, 18}), RaisonSansChemin::Aucune);
    // Already there, or cells outside the field: nothing to explain.
    EXPECT_EQ(raisonSansChemin({5, 5}, {5, 5}), RaisonSansChemin::Aucune);
    EXPECT_EQ(raisonSansChemin({-1, 5}, {5, 5}), RaisonSansChemin::Aucune);
    EXPECT_EQ(raisonSansChemin({5, 5}, {20, 5}), RaisonSansChemin::Aucune);
    EXPECT_STREQ(texteRaisonSansChemin(RaisonSansChemin::Aucune), "");
}

TEST_F(RaisonSansCheminTest, DestinationInAnObstacleOrItsMargin)
{
    // The outer ring of the field is margin from the start.
    EXPECT_EQ(raison({5, 5}, {0, 7}), RaisonSansChemin::DestinationBloquee);
    PlaceObstacle(11, 11); // cell (10, 10)
    EXPECT_EQ(raison({2, 2}, {10, 10}), RaisonSansChemin::DestinationBloquee);
    EXPECT_EQ(raison({2, 2}, {11, 11}), RaisonSansChemin::DestinationBloquee);
    EXPECT_STREQ(texteRaisonSansChemin(RaisonSansChemin::DestinationBloquee),
                 "Pas de chemin : la destination est dans un obstacle ou sa marge");
}

TEST_F(RaisonSansCheminTest, WithTheFilterAGoalThatIsOnlyAMarginEndsTheRoute)
{
    monde().suivi.actif = 1;
    MarkObstacle(11, 11); // cell (10, 10), found by the bumper; its margin ring around it
    noterMarqueContact(10, 10);
    EXPECT_EQ(raison({2, 2}, {11, 11}), RaisonSansChemin::Aucune);
    const std::vector<PathNode> chemin = pathCopy();
    ASSERT_GT(chemin.size(), 1u);
    EXPECT_EQ(chemin[0].x, 11);
    EXPECT_EQ(chemin[0].y, 11);
    // Only the goal is opened: every other cell of the route is free.
    for (std::size_t k = 1; k < chemin.size(); ++k) {
        EXPECT_EQ(valeurCellule(chemin[k].x, chemin[k].y), 0) << k;
    }
    // The mark itself, the outer ring along the wall, and a margin an
    // obstacle the operator painted makes, stay closed.
    EXPECT_EQ(raison({2, 2}, {10, 10}), RaisonSansChemin::DestinationBloquee);
    EXPECT_EQ(raison({5, 5}, {0, 7}), RaisonSansChemin::DestinationBloquee);
    PlaceObstacle(5, 5); // cell (4, 4)
    EXPECT_EQ(raison({10, 2}, {5, 5}), RaisonSansChemin::DestinationBloquee);
    MarkObstacle(5, 7); // cell (6, 4), a mark the bumper made but not of this session
    EXPECT_EQ(raison({10, 2}, {7, 5}), RaisonSansChemin::DestinationBloquee);
    // A margin on the way is still never crossed: the goal (12, 10) lies
    // behind a wall whose only gap is margin.
    for (int r = 1; r <= 20; ++r) {
        if (r != 10) {
            PlaceObstacle(r, 14); // column x = 13, open at y = 9
        }
    }
    EXPECT_EQ(raison({17, 9}, {11, 9}), RaisonSansChemin::Separes);
}

TEST_F(RaisonSansCheminTest, RobotEnclosedTightlyOrInAPaintedRing)
{
    // Obstacles all around: no move leaves the robot's cell (9, 9).
    anneau(10, 10, 1);
    EXPECT_EQ(raison({9, 9}, {16, 16}), RaisonSansChemin::RobotEnferme);
    ResetWorld();
    InitWorld();
    // A wider ring: the robot moves inside it but reaches no edge.
    anneau(10, 10, 4);
    EXPECT_EQ(raison({9, 9}, {17, 17}), RaisonSansChemin::RobotEnferme);
    EXPECT_STREQ(texteRaisonSansChemin(RaisonSansChemin::RobotEnferme),
                 "Pas de chemin : le robot est enfermé");
}

TEST_F(RaisonSansCheminTest, WallAcrossTheFieldSeparatesThem)
{
    for (int r = 1; r <= 20; ++r) {
        PlaceObstacle(r, 10);
    }
    EXPECT_EQ(raison({2, 5}, {15, 5}), RaisonSansChemin::Separes);
    // The destination inside a ring, the robot free: they are separated.
    ResetWorld();
    InitWorld();
    anneau(10, 10, 4);
    EXPECT_EQ(raison({2, 2}, {9, 9}), RaisonSansChemin::Separes);
    EXPECT_STREQ(texteRaisonSansChemin(RaisonSansChemin::Separes),
                 "Pas de chemin : aucun passage ne relie le robot à la destination");
    // A gap in the wall: a route again.
    ResetWorld();
    InitWorld();
    for (int r = 1; r <= 20; ++r) {
        if (r < 8 || r > 12) {
            PlaceObstacle(r, 10);
        }
    }
    EXPECT_EQ(raison({2, 5}, {15, 5}), RaisonSansChemin::Aucune);
}

TEST_F(RaisonSansCheminTest, DiagonalBetweenTwoBlockedSidesIsNoWayOut)
{
    // Sensor obstacles leave the robot only diagonal exits between two
    // blocked sides: the planner refuses them, and so does the reason.
    for (const auto& [r, c] : {std::pair{9, 10}, {11, 10}, {10, 9}, {10, 11}}) {
        monde().grille[r][c] = 3;
    }
    EXPECT_EQ(raison({9, 9}, {15, 15}), RaisonSansChemin::RobotEnferme);
    // Starting on an obstacle is allowed, as for the planner.
    monde().grille[10][10] = 1;
    monde().grille[9][10] = 0;
    EXPECT_EQ(raison({9, 9}, {9, 2}), RaisonSansChemin::Aucune);
}

} // namespace
