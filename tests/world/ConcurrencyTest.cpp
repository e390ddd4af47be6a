#include "WorldFixture.h"

#include "world/GridEdits.h"
#include "world/MapEditing.h"
#include "world/Navigation.h"
#include "world/PlanPath.h"
#include "world/RobotReports.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using WorldConcurrencyTest = WorldTest;

/**
 * Checks that the planned route, read whole, is one chain of steps from the
 * start to the goal, whatever the grid looked like while it was planned.
 */
std::string malformedPath(int sx, int sy, int gx, int gy)
{
    const std::vector<PathNode> chemin = pathCopy();
    const int n = static_cast<int>(chemin.size());
    if (n == 0) {
        return {};
    }
    if (chemin[0].x != gx || chemin[0].y != gy) {
        return "element 0 is not the goal";
    }
    int x = sx;
    int y = sy;
    for (int i = n - 1; i >= 0; --i) {
        const PathNode& e = chemin[static_cast<std::size_t>(i)];
        if (e.direction < 1 || e.direction > 8) {
            return "bad direction " + std::to_string(e.direction);
        }
        if (e.x != x + geo::Steps[e.direction].dx || e.y != y + geo::Steps[e.direction].dy) {
            return "broken chain at element " + std::to_string(i);
        }
        if (e.x < 0 || e.x >= geo::Cells || e.y < 0 || e.y >= geo::Cells) {
            return "element outside the field";
        }
        x = e.x;
        y = e.y;
    }
    return {};
}

TEST_F(WorldConcurrencyTest, PlanningWhileTheGridIsEditedAndThePathRead)
{
    CompteurAffichage display;
    std::atomic<bool> stop{false};
    std::atomic<int> plans{0};
    std::atomic<int> edits{0};
    std::atomic<int> reads{0};
    std::string firstError;

    std::thread planner([&] {
        while (!stop.load()) {
            PlanPath(1, 1, 18, 18);
            plans.fetch_add(1);
        }
    });
    std::thread editor([&] {
        std::mt19937 random(5);
        std::uniform_int_distribution<int> index(1, 20);
        std::uniform_int_distribution<int> pixel(0, 499);
        while (!stop.load()) {
            // A wall that opens and closes, plus scattered obstacles.
            for (int r = 1; r <= 20; ++r) {
                PlaceObstacle(r, 11);
            }
            for (int r = 1; r <= 20; ++r) {
                EraseObstacle(25 * 10 + 1, 25 * (r - 1) + 1);
            }
            PlaceObstacle(index(random), index(random));
            MarkObstacle(index(random), index(random));
            EraseObstacle(pixel(random), pixel(random));
            ClearObstacle(index(random), index(random));
            monde().grille.modifiee = 1;
            edits.fetch_add(1);
        }
    });
    std::thread reader([&] {
        while (!stop.load()) {
            const std::string error = malformedPath(1, 1, 18, 18);
            if (!error.empty() && firstError.empty()) {
                firstError = error;
            }
            reads.fetch_add(1);
        }
    });
    std::thread mouse([&] {
        // The user-interface thread dragging the robot and the destination.
        int i = 0;
        while (!stop.load()) {
            OnMapMouseMove(Selection::Robot, MouseLeft, i % 500, (3 * i) % 500);
            OnMapLeftButtonDown(Selection::Destination, (7 * i) % 500, i % 500);
            ++i;
        }
    });

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((plans.load() < 300 || edits.load() < 300 || reads.load() < 300) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    stop = true;
    planner.join();
    editor.join();
    reader.join();
    mouse.join();

    EXPECT_TRUE(firstError.empty()) << firstError;
    EXPECT_GT(plans.load(), 0);
    EXPECT_GT(edits.load(), 0);
    EXPECT_GT(reads.load(), 0);
    EXPECT_GE(display.signaux.load(), 1);

    // Once the threads are gone the grid is consistent and a fresh search
    // agrees with the reference.
    EXPECT_TRUE(gridIsConsistent());
    const GridSnapshot grid = snapshotGrid();
    PlanPath(1, 1, 18, 18);
    const int expected = referenceCost(grid, 1, 1, 18, 18);
    if (expected < 0) {
        EXPECT_TRUE(pathCopy().empty());
    } else {
        int cost = 0;
        EXPECT_TRUE(pathIsLegal(pathCopy(), grid, 1, 1, 18, 18, &cost));
        EXPECT_EQ(cost, expected);
    }
}

TEST_F(WorldConcurrencyTest, LockedRobotStateIsReadWhole)
{
    std::atomic<bool> stop{false};
    std::string firstError;
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            SetRobotPosition(i % 500, (i * 7) % 500);
        }
        stop = true;
    });
    while (!stop.load()) {
        const PoseRobot pose = monde().robot.pose();
        const Point pos = pose.position();
        if (pose.x != pos.x || pose.y != pos.y ||
            pose.cellule != Point{geo::celluleDe(pos.x), geo::celluleDe(pos.y)}) {
            if (firstError.empty()) {
                firstError = "robot fields out of step at " + std::to_string(pos.x) + ", " +
                             std::to_string(pos.y);
            }
        }
    }
    writer.join();
    EXPECT_TRUE(firstError.empty()) << firstError;
}

TEST_F(WorldConcurrencyTest, PositionsReadWithoutTheLockAreWhole)
{
    // The recorder's field and the position boxes read the robot without
    // its lock: x of one position with y of another was possible, and a
    // field never visited could be saved or logged.
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; i < 200000; ++i) {
            SetRobotPosition(i % 2 == 0 ? 10 : 490, i % 2 == 0 ? 20 : 480);
            monde().bandit.ecrire({{i % 2 == 0 ? -7 : 300, i % 2 == 0 ? 11 : 65535}, true});
        }
        stop = true;
    });
    int dechires = 0;
    int lus = 0;
    while (!stop.load()) {
        const Point robot = monde().robot.position();
        const Point bandit = monde().bandit.lire().position;
        ++lus;
        dechires += (robot.x == 10) != (robot.y == 20) || (robot.x == 490) != (robot.y == 480);
        dechires +=
            (bandit.x == -7) != (bandit.y == 11) || (bandit.x == 300) != (bandit.y == 65535);
    }
    writer.join();
    EXPECT_EQ(dechires, 0) << "in " << lus << " reads";
    EXPECT_EQ(monde().bandit.lire().position, (Point{300, 65535}));
}

TEST_F(WorldConcurrencyTest, EveryTurnOrderGoesOutExactlyOnce)
{
    // The navigation orders turns (each waits for its transmission) while
    // the link's reflex answers status bytes: each reply takes the order and
    // clears it in one write, so no turn is lost and none goes twice.
    constexpr int Tours = 300;
    fixerCap(1);
    std::atomic<bool> fini{false};
    std::vector<int> envoyes;
    std::thread repondeur([&] {
        while (!fini.load()) {
            ReportRobotStatus(0, 0, [&](int, int, int virage) {
                if (virage != 0) {
                    envoyes.push_back(virage);
                }
            });
            std::this_thread::yield();
        }
    });
    std::vector<int> attendus;
    int apres = 1;
    for (int i = 0; i < Tours; ++i) {
        const bool droite = i % 3 != 0;
        apres = (apres - 1 + (droite ? 2 : 6)) % 8 + 1;
        RequestTurn(droite ? 90 : -90, apres);
        attendus.push_back(droite ? 1 : 5);
    }
    fini = true;
    repondeur.join();
    EXPECT_EQ(envoyes, attendus);
    EXPECT_EQ(capRobot(), apres);
    EXPECT_FALSE(monde().ordres.lire().virageEnAttente);
}

} // namespace
