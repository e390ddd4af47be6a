#include "WorldFixture.h"

#include "world/EditionsGrille.h"
#include "world/EditionsMonde.h"
#include "world/GridEdits.h"
#include "world/TerrainMonde.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using GridEditsTest = WorldTest;

/** Expected values of the 3 x 3 block centred on grid (r, c), row by row. */
void expectBlock(int r, int c, const std::array<std::array<int, 3>, 3>& block)
{
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            EXPECT_EQ(monde().grille[r + dr][c + dc], block[dr + 1][dc + 1])
                << "at row " << r + dr << " column " << c + dc;
        }
    }
}

TEST_F(GridEditsTest, EditsThatChangeACellAreToldInOrder)
{
    std::vector<EditionMonde> vues;
    const int cle = observerEditions([&vues](const EditionMonde& e) { vues.push_back(e); });
    SetDestination(300, 400);
    PlaceObstacle(5, 4);
    PlaceObstacle(5, 4);           // already there: nothing changed, nothing told
    EraseObstacle(999, 999);       // outside the field
    EraseObstacle(3 * 25, 4 * 25); // cell (3, 4)
    MarkObstacle(10, 10);
    ClearObstacle(10, 10);
    ClearObstacle(10, 10); // nothing left to remove
    using G = GenreEditionMonde;
    const std::vector<EditionMonde> attendues = {{G::Destination, 300, 400},
                                                 {G::Peinte, 3, 4},
                                                 {G::Effacee, 3, 4},
                                                 {G::Trouvee, 9, 9},
                                                 {G::Retiree, 9, 9}};
    EXPECT_EQ(vues, attendues);

    // A whole field put in place is told once, after its destination.
    vues.clear();
    Terrain terrain = terrainInitial();
    terrain.destination = {100, 150};
    appliquerTerrain(terrain);
    EXPECT_EQ(vues, (std::vector<EditionMonde>{{G::Destination, 100, 150}, {G::Terrain, 0, 0}}));
    vues.clear();

    // A newer observer outlives the end of an older one.
    std::vector<EditionMonde> autres;
    const int seconde = observerEditions([&autres](const EditionMonde& e) { autres.push_back(e); });
    finObservationEditions(cle);
    MarkObstacle(3, 3);
    EXPECT_EQ(autres.size(), 1u);
    finObservationEditions(seconde);
    MarkObstacle(4, 4);
    EXPECT_EQ(autres.size(), 1u);
    EXPECT_TRUE(vues.empty());
}

TEST_F(GridEditsTest, EditsOnAGridOfOnesOwnMatchTheWorldsAndTouchNothingElse)
{
    // The same random edits, on the world and on a grid of its own (a
    // replay's), give the same cells after each one; the world's grid is
    // the one the world's edits changed, never the other's.
    GrilleMonde propre{};
    copierGrille(propre);
    std::mt19937 alea(32);
    for (int k = 0; k < 400; ++k) {
        const int x = static_cast<int>(alea() % 22) - 1; // -1 .. 20: the border too
        const int y = static_cast<int>(alea() % 22) - 1;
        switch (alea() % 4) {
        case 0:
            EXPECT_EQ(peindreObstacle(propre, x, y), x >= 0 && x < 20 && y >= 0 && y < 20 &&
                                                         valeurCellule(x, y) % 2 == 0 &&
                                                         valeurCellule(x, y) != 3);
            PlaceObstacle(y + 1, x + 1);
            break;
        case 1: {
            const bool operateur = x >= 0 && x < 20 && y >= 0 && y < 20 && valeurCellule(x, y) == 1;
            EXPECT_EQ(effacerObstacle(propre, x, y), operateur);
            EraseObstacle(x * 25 + 3, y * 25 + 3);
            break;
        }
        case 2:
            marquerObstacle(propre, x, y);
            MarkObstacle(y + 1, x + 1);
            break;
        default:
            retirerObstacle(propre, x, y);
            ClearObstacle(y + 1, x + 1);
            break;
        }
        GrilleMonde monde{};
        copierGrille(monde);
        ASSERT_EQ(propre, monde) << "after edit " << k;
    }
    EXPECT_TRUE(gridIsConsistent());
}

TEST_F(GridEditsTest, PlaceObstacleOnFreeCellAddsMarginAroundIt)
{
    const unsigned seen = worldChangeCount();
    PlaceObstacle(10, 10);
    expectBlock(10, 10, {{{2, 2, 2}, {2, 1, 2}, {2, 2, 2}}});
    EXPECT_EQ(monde().grille[10][12], 0);
    EXPECT_EQ(monde().grille[8][10], 0);
    EXPECT_NE(worldChangeCount(), seen);
    EXPECT_TRUE(gridIsConsistent());
    // Placing does not flag a re-plan: the mouse handler does.
    EXPECT_EQ(monde().grille.modifiee, 0);
}

TEST_F(GridEditsTest, PlaceObstacleLeavesNeighbouringObstaclesAlone)
{
    PlaceObstacle(10, 11);
    MarkObstacle(11, 10);
    PlaceObstacle(10, 10);
    expectBlock(10, 10, {{{2, 2, 2}, {2, 1, 1}, {2, 3, 2}}});
    EXPECT_TRUE(gridIsConsistent());
}

TEST_F(GridEditsTest, PlaceObstacleOnMarginCellTurnsItIntoObstacle)
{
    PlaceObstacle(10, 10);
    PlaceObstacle(10, 11); // margin of the first
    expectBlock(10, 11, {{{2, 2, 2}, {1, 1, 2}, {2, 2, 2}}});
    EXPECT_TRUE(gridIsConsistent());

    PlaceObstacle(1, 5); // margin ring next to the border
    EXPECT_EQ(monde().grille[1][5], 1);
    expectBlock(2, 5, {{{2, 1, 2}, {2, 2, 2}, {0, 0, 0}}});
    EXPECT_TRUE(gridIsConsistent());
}

TEST_F(GridEditsTest, PlaceObstacleOnObstacleDoesNothing)
{
    MarkObstacle(10, 10);
    const GridSnapshot before = snapshotGrid();
    PlaceObstacle(10, 10);
    EXPECT_EQ(snapshotGrid(), before);
    EXPECT_EQ(monde().grille[10][10], 3);

    PlaceObstacle(5, 5);
    const GridSnapshot withOne = snapshotGrid();
    PlaceObstacle(5, 5);
    EXPECT_EQ(snapshotGrid(), withOne);
}

TEST_F(GridEditsTest, MarkObstacleOverwritesWhateverTheCellHeld)
{
    PlaceObstacle(10, 10);
    MarkObstacle(10, 10);
    EXPECT_EQ(monde().grille[10][10], 3);
    EXPECT_EQ(monde().grille.modifiee, 1);
    expectBlock(10, 10, {{{2, 2, 2}, {2, 3, 2}, {2, 2, 2}}});

    MarkObstacle(10, 11); // on margin
    MarkObstacle(5, 5);   // on a free cell
    expectBlock(10, 11, {{{2, 2, 2}, {3, 3, 2}, {2, 2, 2}}});
    expectBlock(5, 5, {{{2, 2, 2}, {2, 3, 2}, {2, 2, 2}}});
    EXPECT_TRUE(gridIsConsistent());
}

TEST_F(GridEditsTest, RemovingTwoAdjacentObstaclesOneAfterTheOther)
{
    const GridSnapshot pristine = snapshotGrid();
    PlaceObstacle(8, 8);
    PlaceObstacle(8, 9);

    // The first removed cell still touches the second: margin, and only the
    // margin cells that touched nothing but it are freed.
    EraseObstacle(25 * 7 + 3, 25 * 7 + 3); // grid (8, 8)
    expectBlock(8, 8, {{{0, 2, 2}, {0, 2, 1}, {0, 2, 2}}});
    EXPECT_EQ(monde().grille[8][10], 2);
    EXPECT_TRUE(gridIsConsistent());

    // Removing the second one frees both cells and the whole margin.
    EraseObstacle(25 * 8, 25 * 7); // top-left pixel of grid (8, 9)
    EXPECT_EQ(snapshotGrid(), pristine) << gridText(snapshotGrid());
}

TEST_F(GridEditsTest, RemovingAnObstacleKeepsTheRingMargin)
{
    const GridSnapshot pristine = snapshotGrid();
    PlaceObstacle(2, 2);
    PlaceObstacle(1, 10);
    PlaceObstacle(20, 20);
    EraseObstacle(25 * 2 - 1, 25 * 2 - 1);
    EraseObstacle(25 * 10 - 1, 25 * 1 - 1);
    EraseObstacle(25 * 20 - 1, 25 * 20 - 1);
    // The removed ring cells become margin again (they touch the border).
    EXPECT_EQ(monde().grille[1][10], 2);
    EXPECT_EQ(monde().grille[20][20], 2);
    EXPECT_EQ(snapshotGrid(), pristine) << gridText(snapshotGrid());
}

TEST_F(GridEditsTest, RemovalKeepsMarginOfOtherObstacles)
{
    PlaceObstacle(10, 10);
    MarkObstacle(10, 12);
    EraseObstacle(25 * 9, 25 * 9); // grid (10, 10)
    // Column 11 still touches the sensor obstacle at (10, 12); column 10
    // and the removed cell touch nothing any more.
    expectBlock(10, 11, {{{0, 2, 2}, {0, 2, 3}, {0, 2, 2}}});
    EXPECT_EQ(monde().grille[10][9], 0);
    EXPECT_TRUE(gridIsConsistent());
}

TEST_F(GridEditsTest, EraseObstacleActsOnlyOnOperatorObstacles)
{
    MarkObstacle(10, 10);
    monde().grille.modifiee = 0;
    const GridSnapshot before = snapshotGrid();
    const unsigned seen = worldChangeCount();
    EraseObstacle(25 * 9 + 12, 25 * 9 + 12);  // the sensor obstacle
    EraseObstacle(25 * 10 + 12, 25 * 9 + 12); // its margin
    EraseObstacle(25 * 5, 25 * 5);            // a free cell
    EraseObstacle(0, 0);                      // the ring
    EXPECT_EQ(snapshotGrid(), before);
    EXPECT_EQ(worldChangeCount(), seen);
    EXPECT_EQ(monde().grille.modifiee, 0);
}

TEST_F(GridEditsTest, EraseObstacleTakesAPointInCentimetres)
{
    PlaceObstacle(3, 5);    // cell (4, 2): pixels 100 .. 124, 50 .. 74
    EraseObstacle(125, 60); // the cell to the right
    EraseObstacle(110, 75); // the cell below
    EXPECT_EQ(monde().grille[3][5], 1);
    const unsigned seen = worldChangeCount();
    EraseObstacle(124, 74);
    EXPECT_EQ(monde().grille[3][5], 0);
    EXPECT_NE(worldChangeCount(), seen);
    // Erasing sets no flag: its callers decide about re-planning.
    EXPECT_EQ(monde().grille.modifiee, 0);
}

TEST_F(GridEditsTest, ClearObstacleRemovesEitherKindAndFlags)
{
    const GridSnapshot pristine = snapshotGrid();
    MarkObstacle(6, 6);
    PlaceObstacle(12, 12);
    monde().grille.modifiee = 0;

    ClearObstacle(6, 6);
    EXPECT_EQ(monde().grille.modifiee, 1);
    ClearObstacle(12, 12);
    EXPECT_EQ(snapshotGrid(), pristine) << gridText(snapshotGrid());

    // On a cell with no obstacle it still flags and changes nothing.
    monde().grille.modifiee = 0;
    ClearObstacle(9, 9);
    ClearObstacle(1, 1);
    EXPECT_EQ(snapshotGrid(), pristine);
    EXPECT_EQ(monde().grille.modifiee, 1);
}

TEST_F(GridEditsTest, EditsAimedAtTheBorderOrOutsideAreIgnored)
{
    const GridSnapshot pristine = snapshotGrid();
    const int outside[][2] = {{0, 0},  {0, 5},  {21, 5},   {5, 0},    {5, 21},  {21, 21},
                              {-1, 5}, {5, -1}, {22, 5},   {5, 22},   {-1, -1}, {22, 22},
                              {0, 21}, {21, 0}, {1000, 3}, {3, -1000}};
    for (const auto& rc : outside) {
        PlaceObstacle(rc[0], rc[1]);
        MarkObstacle(rc[0], rc[1]);
        ClearObstacle(rc[0], rc[1]);
        EXPECT_EQ(snapshotGrid(), pristine) << "at " << rc[0] << ", " << rc[1];
    }
}

TEST_F(GridEditsTest, EraseObstacleIgnoresPointsOutsideTheField)
{
    // An obstacle in each corner cell of the field; points just outside
    // must not reach them (integer division rounds towards zero).
    PlaceObstacle(1, 1);
    PlaceObstacle(1, 20);
    PlaceObstacle(20, 1);
    PlaceObstacle(20, 20);
    const GridSnapshot before = snapshotGrid();
    const int points[][2] = {{-1, 10},  {10, -1},   {-24, -24}, {-10, 10},  {10, -10},   {500, 10},
                             {10, 500}, {500, 500}, {524, 10},  {-25, -25}, {1000, 1000}};
    for (const auto& p : points) {
        EraseObstacle(p[0], p[1]);
        EXPECT_EQ(snapshotGrid(), before) << "at " << p[0] << ", " << p[1];
    }
    EraseObstacle(499, 499);
    EXPECT_EQ(monde().grille[20][20], 2);
}

TEST_F(GridEditsTest, AnySequenceOfEditsKeepsTheGridConsistent)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> index(-1, 22);
    std::uniform_int_distribution<int> pixel(-30, 530);
    for (int i = 0; i < 4000; ++i) {
        switch (kind(random)) {
        case 0:
            PlaceObstacle(index(random), index(random));
            break;
        case 1:
            EraseObstacle(pixel(random), pixel(random));
            break;
        case 2:
            MarkObstacle(index(random), index(random));
            break;
        default:
            ClearObstacle(index(random), index(random));
            break;
        }
        ASSERT_TRUE(gridIsConsistent()) << "after edit " << i;
    }
}

TEST_F(GridEditsTest, ClearingEverythingRestoresTheInitialGrid)
{
    const GridSnapshot pristine = snapshotGrid();
    std::mt19937 random(7);
    std::uniform_int_distribution<int> index(1, 20);
    for (int i = 0; i < 120; ++i) {
        if (i % 3 == 0) {
            MarkObstacle(index(random), index(random));
        } else {
            PlaceObstacle(index(random), index(random));
        }
    }
    // Operator obstacles first, as the "virtual obstacles" button does: the
    // bottom-right pixel of each cell holding 1.
    for (int r = 1; r <= 20; ++r) {
        for (int c = 1; c <= 20; ++c) {
            if (monde().grille[r][c] == 1) {
                EraseObstacle(25 * c - 1, 25 * r - 1);
            }
        }
    }
    for (int r = 1; r <= 20; ++r) {
        for (int c = 1; c <= 20; ++c) {
            EXPECT_NE(monde().grille[r][c], 1);
        }
    }
    EXPECT_TRUE(gridIsConsistent());
    // Then the sensor obstacles, as the "real obstacles" button does.
    for (int r = 1; r <= 20; ++r) {
        for (int c = 1; c <= 20; ++c) {
            if (monde().grille[r][c] == 3) {
                ClearObstacle(r, c);
            }
        }
    }
    EXPECT_EQ(snapshotGrid(), pristine) << gridText(snapshotGrid());
}

} // namespace
