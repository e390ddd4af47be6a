#include "WorldFixture.h"

#include "world/GridEdits.h"
#include "world/MapEditing.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

namespace {

using MapEditingTest = WorldTest;

constexpr Selection AllSelections[] = {Selection::None, Selection::Destination, Selection::Obstacle,
                                       Selection::Robot, Selection::Bandit};

void expectEdit(const MapEdit& edit, bool destination, bool robot, bool redraw)
{
    EXPECT_EQ(edit.showDestination, destination);
    EXPECT_EQ(edit.showRobotPosition, robot);
    EXPECT_EQ(edit.redraw, redraw);
}

Point robotCell()
{
    return monde().robot.cellule();
}

Point destCell()
{
    return monde().destination.lire().cellule;
}

TEST(ClampMapPoint, LastPixelCountsAsTheFieldAndOutsideIsRefused)
{
    int x = 500;
    int y = 500;
    EXPECT_TRUE(ClampMapPoint(x, y));
    EXPECT_EQ(x, 499);
    EXPECT_EQ(y, 499);

    x = 0;
    y = 499;
    EXPECT_TRUE(ClampMapPoint(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 499);

    x = 250;
    y = 500;
    EXPECT_TRUE(ClampMapPoint(x, y));
    EXPECT_EQ(x, 250);
    EXPECT_EQ(y, 499);

    for (const auto& p : {Point{-1, 10}, Point{10, -1}, Point{501, 10}, Point{10, 501},
                          Point{-1000, -1000}, Point{65535, 3}}) {
        x = p.x;
        y = p.y;
        EXPECT_FALSE(ClampMapPoint(x, y)) << p.x << ", " << p.y;
    }
}

TEST_F(MapEditingTest, DestinationClickStoresThePointAsClicked)
{
    const MapEdit edit = OnMapLeftButtonDown(Selection::Destination, 130, 70);
    expectEdit(edit, true, false, true);
    EXPECT_EQ(monde().destination.lire().marque, (Point{130, 70}));
    EXPECT_EQ(destCell(), (Point{5, 2}));
    EXPECT_TRUE(monde().destination.lire().placee);
    EXPECT_EQ(monde().grille.modifiee, 0);

    // Dragging with any flag moves it on.
    expectEdit(OnMapMouseMove(Selection::Destination, MouseShift, 260, 400), true, false, true);
    EXPECT_EQ(monde().destination.lire().marque, (Point{260, 400}));
    EXPECT_EQ(destCell(), (Point{10, 16}));
}

TEST_F(MapEditingTest, RobotClickSetsAllFourFields)
{
    expectEdit(OnMapLeftButtonDown(Selection::Robot, 311, 87), false, true, true);
    EXPECT_EQ(monde().robot.position(), (Point{311, 87}));
    EXPECT_EQ(robotCell(), (Point{12, 3}));
    EXPECT_EQ(monde().robot.pose(), (PoseRobot{311.0, 87.0, {12, 3}}));
    // The robot may be put anywhere, obstacles included.
    PlaceObstacle(5, 5);
    expectEdit(OnMapMouseMove(Selection::Robot, MouseLeft | MouseControl, 110, 110), false, true,
               true);
    EXPECT_EQ(monde().robot.position(), (Point{110, 110}));
    EXPECT_EQ(robotCell(), (Point{4, 4}));
    EXPECT_FALSE(monde().destination.lire().placee);
}

TEST_F(MapEditingTest, BanditClickPlacesAndShowsIt)
{
    EXPECT_FALSE(monde().bandit.lire().placee);
    expectEdit(OnMapLeftButtonDown(Selection::Bandit, 401, 12), false, false, true);
    EXPECT_EQ(monde().bandit.lire().position, (Point{401, 12}));
    EXPECT_TRUE(monde().bandit.lire().placee);
    expectEdit(OnMapMouseMove(Selection::Bandit, MouseMiddle, 3, 4), false, false, true);
    EXPECT_EQ(monde().bandit.lire().position, (Point{3, 4}));
    // The bandit is a marker only.
    EXPECT_TRUE(gridIsConsistent());
    EXPECT_EQ(snapshotGrid()[1][1], 2);
}

TEST_F(MapEditingTest, ObstacleLeftPaintsRightErasesOperatorObstaclesOnly)
{
    const GridSnapshot pristine = snapshotGrid();
    expectEdit(OnMapLeftButtonDown(Selection::Obstacle, 230, 120), false, false, true);
    EXPECT_EQ(monde().grille[5][10], 1);
    EXPECT_EQ(monde().grille[4][9], 2);
    EXPECT_EQ(monde().grille.modifiee, 1);

    MarkObstacle(15, 15);
    monde().grille.modifiee = 0;
    const GridSnapshot before = snapshotGrid();
    // Right click on a sensor obstacle or on a margin leaves the grid alone
    // but still asks for a re-plan and a redraw.
    expectEdit(OnMapRightButtonDown(Selection::Obstacle, 25 * 14 + 3, 25 * 14 + 3), false, false,
               true);
    expectEdit(OnMapRightButtonDown(Selection::Obstacle, 25 * 10 + 3, 25 * 4 + 3), false, false,
               true);
    EXPECT_EQ(snapshotGrid(), before);
    EXPECT_EQ(monde().grille.modifiee, 1);

    expectEdit(OnMapRightButtonDown(Selection::Obstacle, 249, 124), false, false, true);
    EXPECT_EQ(monde().grille[5][10], 0);
    ClearObstacle(15, 15);
    EXPECT_EQ(snapshotGrid(), pristine);
}

TEST_F(MapEditingTest, RightClickOutsideObstacleModeDoesNothing)
{
    PlaceObstacle(5, 5);
    const GridSnapshot before = snapshotGrid();
    for (Selection s :
         {Selection::None, Selection::Destination, Selection::Robot, Selection::Bandit}) {
        expectEdit(OnMapRightButtonDown(s, 110, 110), false, false, false);
    }
    EXPECT_EQ(snapshotGrid(), before);
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_FALSE(monde().destination.lire().placee);
    EXPECT_FALSE(monde().bandit.lire().placee);
    EXPECT_EQ(monde().robot.position(), (Point{25, 25}));
}

TEST_F(MapEditingTest, ObstacleDragDependsOnTheExactFlags)
{
    // Exactly the left button paints.
    expectEdit(OnMapMouseMove(Selection::Obstacle, MouseLeft, 130, 130), false, false, true);
    EXPECT_EQ(monde().grille[6][6], 1);
    EXPECT_EQ(monde().grille.modifiee, 1);

    // Left with shift neither paints nor erases, but still flags and redraws.
    monde().grille.modifiee = 0;
    GridSnapshot before = snapshotGrid();
    expectEdit(OnMapMouseMove(Selection::Obstacle, MouseLeft | MouseShift, 330, 330), false, false,
               true);
    expectEdit(OnMapMouseMove(Selection::Obstacle, MouseRight | MouseShift, 130, 130), false, false,
               true);
    expectEdit(OnMapMouseMove(Selection::Obstacle, MouseLeft | MouseRight, 130, 130), false, false,
               true);
    expectEdit(OnMapMouseMove(Selection::Obstacle, MouseControl, 330, 330), false, false, true);
    EXPECT_EQ(snapshotGrid(), before);
    EXPECT_EQ(monde().grille.modifiee, 1);

    // Exactly the right button erases.
    expectEdit(OnMapMouseMove(Selection::Obstacle, MouseRight, 130, 130), false, false, true);
    EXPECT_EQ(monde().grille[6][6], 0);
}

TEST_F(MapEditingTest, MoveWithoutFlagsDoesNothing)
{
    const GridSnapshot before = snapshotGrid();
    for (Selection s : AllSelections) {
        expectEdit(OnMapMouseMove(s, 0, 200, 200), false, false, false);
    }
    EXPECT_EQ(snapshotGrid(), before);
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_FALSE(monde().destination.lire().placee);
    EXPECT_FALSE(monde().bandit.lire().placee);
    EXPECT_EQ(monde().robot.position(), (Point{25, 25}));
    EXPECT_EQ(monde().destination.lire().marque, (Point{-25, -25}));
}

TEST_F(MapEditingTest, NoSelectionDoesNothing)
{
    const GridSnapshot before = snapshotGrid();
    expectEdit(OnMapLeftButtonDown(Selection::None, 200, 200), false, false, false);
    expectEdit(OnMapMouseMove(Selection::None, MouseLeft, 200, 200), false, false, false);
    expectEdit(OnMapMouseMove(Selection::None, MouseRight, 200, 200), false, false, false);
    EXPECT_EQ(snapshotGrid(), before);
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_FALSE(monde().destination.lire().placee);
    EXPECT_EQ(monde().robot.position(), (Point{25, 25}));
}

TEST_F(MapEditingTest, LastPixelIsClampedIntoTheField)
{
    expectEdit(OnMapLeftButtonDown(Selection::Robot, 500, 500), false, true, true);
    EXPECT_EQ(monde().robot.position(), (Point{499, 499}));
    EXPECT_EQ(robotCell(), (Point{19, 19}));

    OnMapLeftButtonDown(Selection::Destination, 500, 12);
    EXPECT_EQ(monde().destination.lire().marque, (Point{499, 12}));
    EXPECT_EQ(destCell(), (Point{19, 0}));

    OnMapMouseMove(Selection::Bandit, MouseLeft, 7, 500);
    EXPECT_EQ(monde().bandit.lire().position, (Point{7, 499}));

    // Painting on the last column hits the ring cell, not the border.
    OnMapLeftButtonDown(Selection::Obstacle, 500, 250);
    EXPECT_EQ(monde().grille[11][20], 1);
    OnMapMouseMove(Selection::Obstacle, MouseLeft, 250, 500);
    EXPECT_EQ(monde().grille[20][11], 1);
    EXPECT_TRUE(gridIsConsistent());
    OnMapRightButtonDown(Selection::Obstacle, 500, 250);
    OnMapMouseMove(Selection::Obstacle, MouseRight, 250, 500);
    EXPECT_EQ(monde().grille[11][20], 2);
    EXPECT_EQ(monde().grille[20][11], 2);
    EXPECT_TRUE(gridIsConsistent());
}

TEST_F(MapEditingTest, PointsOutsideTheMapAreRefused)
{
    PlaceObstacle(1, 1);
    const GridSnapshot before = snapshotGrid();
    const Point outside[] = {{-1, 10}, {10, -1}, {501, 10}, {10, 501}, {-10, -10}, {600, 600}};
    for (const Point& p : outside) {
        for (Selection s : AllSelections) {
            expectEdit(OnMapLeftButtonDown(s, p.x, p.y), false, false, false);
            expectEdit(OnMapRightButtonDown(s, p.x, p.y), false, false, false);
            for (unsigned flags :
                 {unsigned(MouseLeft), unsigned(MouseRight), unsigned(MouseLeft | MouseShift)}) {
                expectEdit(OnMapMouseMove(s, flags, p.x, p.y), false, false, false);
            }
        }
    }
    EXPECT_EQ(snapshotGrid(), before);
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_FALSE(monde().destination.lire().placee);
    EXPECT_FALSE(monde().bandit.lire().placee);
    EXPECT_EQ(monde().robot.position(), (Point{25, 25}));
    EXPECT_EQ(monde().destination.lire().marque, (Point{-25, -25}));
}

TEST_F(MapEditingTest, NoMouseEditEverTouchesTheBorder)
{
    const int coords[] = {-26, -25, -1, 0, 1, 24, 25, 26, 249, 474, 475, 499, 500, 501, 524, 525};
    const unsigned flagSets[] = {MouseLeft, MouseRight, MouseLeft | MouseShift, MouseShift};
    for (int x : coords) {
        for (int y : coords) {
            for (Selection s : AllSelections) {
                OnMapLeftButtonDown(s, x, y);
                OnMapRightButtonDown(s, x, y);
                for (unsigned f : flagSets) {
                    OnMapMouseMove(s, f, x, y);
                }
            }
            ASSERT_TRUE(gridIsConsistent()) << "after edits at " << x << ", " << y;
        }
    }
    // Painting everywhere reaches every ring cell but never the border.
    for (int x = 0; x <= 500; x += 25) {
        for (int y = 0; y <= 500; y += 25) {
            OnMapLeftButtonDown(Selection::Obstacle, x, y);
        }
    }
    for (int r = 1; r <= 20; ++r) {
        for (int c = 1; c <= 20; ++c) {
            EXPECT_EQ(monde().grille[r][c], 1) << r << ", " << c;
        }
    }
    EXPECT_TRUE(gridIsConsistent());
}

} // namespace
