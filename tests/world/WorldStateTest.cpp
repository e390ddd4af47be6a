#include "WorldFixture.h"

#include "world/GridEdits.h"
#include "world/WorldChange.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

using InitWorldTest = WorldTest;

TEST_F(InitWorldTest, GridIsBorderThenMarginRingThenFreeField)
{
    // Dirty the grid first: InitWorld must rebuild every cell.
    for (int r = 0; r < geo::GridSize; ++r) {
        for (int c = 0; c < geo::GridSize; ++c) {
            monde().grille[r][c] = 3;
        }
    }
    InitWorld();
    for (int r = 0; r < geo::GridSize; ++r) {
        for (int c = 0; c < geo::GridSize; ++c) {
            int expected = 0;
            if (r == 0 || c == 0 || r == 21 || c == 21) {
                expected = 1;
            } else if (r == 1 || c == 1 || r == 20 || c == 20) {
                expected = 2;
            }
            EXPECT_EQ(monde().grille[r][c], expected) << "row " << r << " column " << c;
        }
    }
    EXPECT_TRUE(gridIsConsistent());
    // The usable field is cells 1 .. 18 on each axis.
    EXPECT_EQ(valeurCellule(0, 0), 2);
    EXPECT_EQ(valeurCellule(1, 1), 0);
    EXPECT_EQ(valeurCellule(18, 18), 0);
    EXPECT_EQ(valeurCellule(19, 5), 2);
    EXPECT_EQ(valeurCellule(-1, 5), 1);
    EXPECT_EQ(valeurCellule(20, 20), 1);
}

TEST_F(InitWorldTest, RobotDestinationAndFlags)
{
    monde().robot.modifier([](PoseRobot& pose, filtre::FiltrePosition&) {
        pose = {300.5, 400.5, {12, 16}};
    });
    monde().destination.ecrire({{180, 180}, {7, 7}, true});
    monde().grille.modifiee = 1;
    monde().drapeaux.quadrillage = 1;
    monde().drapeaux.miseEnPlaceAttendue = 1;

    InitWorld();

    EXPECT_EQ(monde().robot.position(), (Point{25, 25}));
    EXPECT_EQ(monde().robot.pose(), (PoseRobot{25.0, 25.0, {1, 1}}));
    EXPECT_EQ(monde().destination.lire(), (DestinationRobot{{-25, -25}, {1, 1}, false}));
    EXPECT_EQ(monde().grille.modifiee, 0);
    EXPECT_EQ(monde().drapeaux.quadrillage, 0);
    EXPECT_EQ(monde().drapeaux.miseEnPlaceAttendue, 0);
}

TEST_F(InitWorldTest, LeavesEveryLockFree)
{
    InitWorld();
    EXPECT_TRUE(monde().ordres.libre());
    EXPECT_TRUE(monde().robot.libre());
    EXPECT_TRUE(monde().destination.libre());
    EXPECT_TRUE(monde().bandit.libre());
    EXPECT_TRUE(monde().route.libre());
}

using ResetWorldTest = WorldTest;

TEST_F(ResetWorldTest, StopsTheThreadsAndBringsBackTheStartingWorld)
{
    ManualWorldClock horloge;
    setWorldClock(&horloge);
    PlaceObstacle(5, 5);
    SetRobotPosition(130, 70);
    SetDestination(300, 300);
    monde().bandit.ecrire({{40, 40}, true});
    monde().drapeaux.quadrillage = 1;
    SetSimRunning(1);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest()); // probing: waits for the robot to move
    StartSimulation();
    ASSERT_TRUE(threadsAtRest(2));
    ASSERT_NE(capRobot(), 0);

    ResetWorld();
    EXPECT_EQ(runningSimulations(), 0);
    EXPECT_EQ(blockedWorldWaiters(), 0);
    EXPECT_FALSE(worldThreadsStopping());
    EXPECT_EQ(snapshotGrid(), GridSnapshot{});
    EXPECT_TRUE(pathCopy().empty());
    EXPECT_EQ(monde().robot.position(), (Point{0, 0}));
    EXPECT_EQ(monde().robot.pose(), PoseRobot{});
    EXPECT_EQ(monde().destination.lire().marque, (Point{0, 0}));
    EXPECT_EQ(monde().bandit.lire().position, (Point{0, 0}));
    EXPECT_FALSE(monde().bandit.lire().placee);
    EXPECT_FALSE(monde().destination.lire().placee);
    EXPECT_EQ(monde().drapeaux.quadrillage, 0);
    EXPECT_EQ(monde().drapeaux.miseEnPlaceAttendue, 1);
    EXPECT_EQ(capRobot(), 0);
    EXPECT_EQ(monde().drapeaux.simulation, 0);
    EXPECT_EQ(monde().drapeaux.passesNavigation, 0u);
    EXPECT_NE(&worldClock(), &horloge);
}

using MarkerTest = WorldTest;

TEST_F(MarkerTest, SetRobotPositionSetsThePoseAndTheDrawnPositionTogether)
{
    SetRobotPosition(137, 62);
    EXPECT_EQ(monde().robot.position(), (Point{137, 62}));
    EXPECT_EQ(monde().robot.pose(), (PoseRobot{137.0, 62.0, {5, 2}}));
}

TEST_F(MarkerTest, SetRobotPositionOnCellEdges)
{
    SetRobotPosition(24, 25);
    EXPECT_EQ(monde().robot.cellule(), (Point{0, 1}));
    SetRobotPosition(499, 0);
    EXPECT_EQ(monde().robot.cellule(), (Point{19, 0}));
}

TEST_F(MarkerTest, SetDestinationStoresPointAsGivenAndActivatesNavigation)
{
    SetDestination(130, 70);
    EXPECT_EQ(monde().destination.lire(), (DestinationRobot{{130, 70}, {5, 2}, true}));
}

TEST_F(MarkerTest, AReaderNeverSeesOneDestinationsMarkerWithAnothersCell)
{
    // The marker and the cell were once written one after the other, the
    // marker outside any lock: a reader could pair a new marker with the
    // old cell. Two destinations in different cells, written in turn.
    std::atomic<bool> fini{false};
    std::thread ecrivain([&fini] {
        for (int k = 0; k < 20000; ++k) {
            SetDestination(k % 2 == 0 ? 37 : 412, k % 2 == 0 ? 62 : 488);
        }
        fini = true;
    });
    long lectures = 0;
    long melanges = 0;
    while (!fini) {
        const DestinationRobot d = monde().destination.lire();
        ++lectures;
        if (d.placee &&
            !(d.cellule == Point{geo::celluleDe(d.marque.x), geo::celluleDe(d.marque.y)})) {
            ++melanges;
        }
    }
    ecrivain.join();
    EXPECT_GT(lectures, 0);
    EXPECT_EQ(melanges, 0);
}

TEST(Garde, ModifierReadsAndWritesUnderTheLockAndReturnsItsResult)
{
    Garde<Point> garde;
    EXPECT_EQ(garde.lire(), (Point{0, 0}));
    garde.ecrire({3, 4});
    const int ancien = garde.modifier([](Point& p) {
        const int x = p.x;
        p.x += 10;
        return x;
    });
    EXPECT_EQ(ancien, 3);
    EXPECT_EQ(garde.lire(), (Point{13, 4}));
}

TEST_F(MarkerTest, SettersMoveTheChangeCounter)
{
    unsigned seen = worldChangeCount();
    SetRobotPosition(50, 50);
    EXPECT_NE(worldChangeCount(), seen);
    seen = worldChangeCount();
    SetDestination(100, 100);
    EXPECT_NE(worldChangeCount(), seen);
    seen = worldChangeCount();
    InitWorld();
    EXPECT_NE(worldChangeCount(), seen);
}

TEST(WorldChange, NotifyMovesTheCounter)
{
    const unsigned before = worldChangeCount();
    notifyWorldChange();
    EXPECT_EQ(worldChangeCount(), before + 1);
    notifyWorldChange();
    EXPECT_EQ(worldChangeCount(), before + 2);
}

TEST(WorldChange, WaitReturnsAtOnceWhenTheCounterAlreadyMoved)
{
    const unsigned seen = worldChangeCount();
    notifyWorldChange();
    waitWorldChange(seen); // would block forever if it waited for yet another change
    SUCCEED();
}

/**
 * Runs `wake` on this thread once another thread is blocked waiting for a
 * change from the count read before; fails if the waiter returns early.
 */
void expectWaiterWokenBy(void (*wake)())
{
    const unsigned seen = worldChangeCount();
    std::atomic<bool> changed{false};
    std::atomic<bool> early{false};
    std::thread waiter([&] {
        waitWorldChange(seen);
        if (!changed.load()) {
            early = true;
        }
    });
    ASSERT_TRUE(threadsAtRest());
    changed = true;
    wake();
    waiter.join();
    EXPECT_FALSE(early.load());
    EXPECT_EQ(blockedWorldWaiters(), 0);
}

TEST(WorldChange, NotifyFromAnotherThreadWakesTheWaiter)
{
    expectWaiterWokenBy([] { notifyWorldChange(); });
}

using WorldChangeTest = WorldTest;

TEST_F(WorldChangeTest, GridEditWakesTheWaiter)
{
    expectWaiterWokenBy([] { PlaceObstacle(10, 10); });
}

TEST(WorldChange, SeveralWaitersAllWake)
{
    const unsigned seen = worldChangeCount();
    std::atomic<int> awake{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            waitWorldChange(seen);
            awake.fetch_add(1);
        });
    }
    ASSERT_TRUE(threadsAtRest(4));
    EXPECT_EQ(awake.load(), 0);
    notifyWorldChange();
    for (auto& t : waiters) {
        t.join();
    }
    EXPECT_EQ(awake.load(), 4);
}

TEST(WorldChange, TimedWaitEndsAtItsDeadlineOrAtAChange)
{
    const unsigned seen = worldChangeCount();
    EXPECT_FALSE(waitWorldChangeFor(seen, 1ms));
    EXPECT_EQ(blockedWorldWaiters(), 0);
    notifyWorldChange();
    EXPECT_TRUE(waitWorldChangeFor(seen, 1h));
}

TEST_F(WorldChangeTest, ManualClockMovesOnlyWhenAdvancedAndWakesTheSleepers)
{
    ManualWorldClock horloge;
    setWorldClock(&horloge);
    EXPECT_EQ(&worldClock(), &horloge);
    EXPECT_EQ(horloge.now(), 0ms);
    std::atomic<bool> fini{false};
    std::thread dormeur([&] {
        dormirSaufArret(1500ms);
        fini = true;
    });
    ASSERT_TRUE(threadsAtRest());
    horloge.advance(1499ms);
    ASSERT_TRUE(threadsAtRest());
    EXPECT_FALSE(fini.load());
    horloge.advance(1ms);
    dormeur.join();
    EXPECT_TRUE(fini.load());
    EXPECT_EQ(horloge.now(), 1500ms);
}

} // namespace
