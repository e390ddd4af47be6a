// Mouse editing on the map window, checked on the world state.
#include "MapViewFixture.h"

#include "world/GridEdits.h"

TEST_F(MapViewTest, CreationInitialisesTheWorldOnce)
{
    EXPECT_EQ(monde().drapeaux.miseEnPlaceAttendue, 0);
    EXPECT_EQ(monde().robot.position(), (Point{25, 25}));
    EXPECT_EQ(view->size(), QSize(501, 501));

    // A second map window does not reset the world.
    PlaceObstacle(5, 5);
    CMapView autre;
    EXPECT_EQ(monde().grille[5][5], 1);
}

TEST_F(MapViewTest, DestinationClickStoresThePointAndItsCell)
{
    owner.choix = Selection::Destination;
    clic(Qt::LeftButton, 130, 70);
    // The boxes show the point as clicked; the click's redraw then snaps it.
    EXPECT_EQ(owner.destinationMontree, (Point{130, 70}));
    EXPECT_EQ(monde().destination.lire().marque, (Point{137, 62}));
    EXPECT_EQ(monde().destination.lire().cellule, (Point{5, 2}));
    EXPECT_TRUE(monde().destination.lire().placee);
    EXPECT_EQ(owner.destinations, 1);

    // Dragging moves it continuously.
    deplacer(300, 310, Qt::LeftButton);
    EXPECT_EQ(owner.destinationMontree, (Point{300, 310}));
    EXPECT_EQ(monde().destination.lire().marque, (Point{312, 312}));
    EXPECT_EQ(monde().destination.lire().cellule, (Point{12, 12}));
    EXPECT_EQ(owner.destinations, 2);
}

TEST_F(MapViewTest, RobotClickAndDragSetEveryRobotField)
{
    owner.choix = Selection::Robot;
    clic(Qt::LeftButton, 260, 140);
    EXPECT_EQ(monde().robot.position(), (Point{260, 140}));
    EXPECT_EQ(monde().robot.pose(), (PoseRobot{260.0, 140.0, {10, 5}}));

    const int avant = owner.positions;
    for (int x = 270; x <= 370; x += 25) {
        deplacer(x, 140, Qt::LeftButton);
        EXPECT_EQ(monde().robot.cellule().x, x / 25);
    }
    // Each move refreshes the boxes (at least once for the edit itself).
    EXPECT_GE(owner.positions - avant, 5);

    // A move with no button and no key does nothing.
    deplacer(60, 60, Qt::NoButton);
    EXPECT_EQ(monde().robot.position(), (Point{370, 140}));

    // A key alone is enough to drag.
    deplacer(60, 60, Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(monde().robot.position(), (Point{60, 60}));
}

TEST_F(MapViewTest, BanditIsPlacedAndShown)
{
    owner.choix = Selection::Bandit;
    EXPECT_FALSE(monde().bandit.lire().placee);
    clic(Qt::LeftButton, 420, 77);
    EXPECT_TRUE(monde().bandit.lire().placee);
    EXPECT_EQ(monde().bandit.lire().position, (Point{420, 77}));
    // The bandit is no obstacle.
    EXPECT_EQ(cellule(16, 3), 0);
}

TEST_F(MapViewTest, ObstacleModeLeftPaintsRightErases)
{
    owner.choix = Selection::Obstacle;
    monde().grille.modifiee = 0;
    clic(Qt::LeftButton, 260, 260);
    EXPECT_EQ(monde().grille.modifiee, 1);
    EXPECT_EQ(cellule(10, 10), 1);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx || dy) {
                EXPECT_EQ(cellule(10 + dx, 10 + dy), 2);
            }
        }
    }

    // Right button on a margin cell changes nothing.
    clic(Qt::RightButton, 285, 260);
    EXPECT_EQ(cellule(11, 10), 2);
    EXPECT_EQ(cellule(10, 10), 1);

    // Right button on the obstacle frees it and its margin.
    monde().grille.modifiee = 0;
    clic(Qt::RightButton, 260, 260);
    EXPECT_EQ(monde().grille.modifiee, 1);
    for (int y = 9; y <= 11; ++y) {
        for (int x = 9; x <= 11; ++x) {
            EXPECT_EQ(cellule(x, y), 0) << x << "," << y;
        }
    }
}

TEST_F(MapViewTest, ObstacleDragPaintsWithLeftAndErasesWithRightOnly)
{
    owner.choix = Selection::Obstacle;
    clic(Qt::LeftButton, 110, 210);
    deplacer(160, 210, Qt::LeftButton);
    deplacer(210, 210, Qt::LeftButton);
    EXPECT_EQ(cellule(4, 8), 1);
    EXPECT_EQ(cellule(6, 8), 1);
    EXPECT_EQ(cellule(8, 8), 1);

    // Left with a key held is not "left alone": nothing is painted.
    deplacer(310, 210, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(cellule(12, 8), 0);

    // The erased cell touches no obstacle any more; its neighbours still do.
    deplacer(160, 210, Qt::RightButton);
    EXPECT_EQ(cellule(6, 8), 0);
    EXPECT_EQ(cellule(5, 8), 2);
    EXPECT_EQ(cellule(4, 8), 1);
    EXPECT_EQ(cellule(8, 8), 1);

    // Both buttons: neither paints nor erases.
    deplacer(110, 210, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(cellule(4, 8), 1);
}

TEST_F(MapViewTest, LastPixelRowAndColumnStayInsideTheField)
{
    owner.choix = Selection::Obstacle;
    clic(Qt::LeftButton, 500, 500);
    // The point counts as (499, 499): the corner cell of the ring.
    EXPECT_EQ(cellule(19, 19), 1);
    clic(Qt::LeftButton, 500, 250);
    EXPECT_EQ(cellule(19, 10), 1);
    clic(Qt::RightButton, 500, 500);
    EXPECT_EQ(cellule(19, 19), 2);

    owner.choix = Selection::Robot;
    clic(Qt::LeftButton, 500, 500);
    EXPECT_EQ(monde().robot.position(), (Point{499, 499}));
    EXPECT_EQ(monde().robot.cellule(), (Point{19, 19}));

    // A drag that leaves the window edits nothing.
    deplacer(-3, 200, Qt::LeftButton);
    deplacer(200, 501, Qt::LeftButton);
    EXPECT_EQ(monde().robot.position(), (Point{499, 499}));

    for (int k = 0; k < geo::GridSize; ++k) {
        EXPECT_EQ(monde().grille[0][k], 1);
        EXPECT_EQ(monde().grille[21][k], 1);
        EXPECT_EQ(monde().grille[k][0], 1);
        EXPECT_EQ(monde().grille[k][21], 1);
    }
}

TEST_F(MapViewTest, NoSelectionEditsNothing)
{
    owner.choix = Selection::None;
    clic(Qt::LeftButton, 260, 260);
    deplacer(300, 300, Qt::LeftButton);
    EXPECT_EQ(cellule(10, 10), 0);
    EXPECT_EQ(monde().robot.position(), (Point{25, 25}));
    EXPECT_EQ(monde().destination.lire().marque, (Point{-25, -25}));
}

TEST_F(MapViewTest, RemoveObstaclesByKind)
{
    PlaceObstacle(5, 5);
    PlaceObstacle(5, 6);
    MarkObstacle(5, 8);
    MarkObstacle(15, 15);
    PlaceObstacle(15, 16);

    monde().grille.modifiee = 0;
    view->RemoveVirtualObstacles();
    EXPECT_EQ(monde().grille.modifiee, 0);
    for (int r = 1; r <= 20; ++r) {
        for (int c = 1; c <= 20; ++c) {
            EXPECT_NE(monde().grille[r][c], 1) << r << "," << c;
        }
    }
    EXPECT_EQ(monde().grille[5][8], 3);
    EXPECT_EQ(monde().grille[5][7], 2); // margin of the sensor obstacle
    EXPECT_EQ(monde().grille[5][5], 0);
    EXPECT_EQ(monde().grille[15][16], 2); // next to the remaining sensor obstacle

    view->RemoveRealObstacles();
    EXPECT_EQ(monde().grille.modifiee, 1);
    for (int r = 2; r <= 19; ++r) {
        for (int c = 2; c <= 19; ++c) {
            EXPECT_EQ(monde().grille[r][c], 0) << r << "," << c;
        }
    }
    EXPECT_EQ(monde().grille[1][5], 2);
}
