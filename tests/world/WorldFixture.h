#pragma once

// Shared set-up for the world tests: a fresh world per test, a listener that
// counts what the world tells the display, grid snapshots, the grid invariant, and
// a reference shortest-path search written independently of the planner.

#include "core/scripted/ScriptedPlatform.h"
#include "world/Geometry.h"
#include "world/PathNode.h"
#include "world/PlanPath.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <queue>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

/** Listens to the display's changes while it lives and counts them (from any thread). */
class CompteurAffichage {
public:
    CompteurAffichage()
        : m_cle(abonnerAffichage([this] { signaux.fetch_add(1); }))
    {}
    ~CompteurAffichage() { desabonnerAffichage(m_cle); }
    CompteurAffichage(const CompteurAffichage&) = delete;
    CompteurAffichage& operator=(const CompteurAffichage&) = delete;

    std::atomic<int> signaux{0};

private:
    int m_cle;
};

using GridSnapshot = std::array<std::array<int, geo::GridSize>, geo::GridSize>;

inline GridSnapshot snapshotGrid()
{
    GridSnapshot g{};
    for (int r = 0; r < geo::GridSize; ++r) {
        for (int c = 0; c < geo::GridSize; ++c) {
            g[r][c] = monde().grille[r][c];
        }
    }
    return g;
}

/** The grid as text, one row a line, for readable failure messages. */
inline std::string gridText(const GridSnapshot& g)
{
    std::ostringstream out;
    for (const auto& row : g) {
        for (int v : row) {
            out << v;
        }
        out << '\n';
    }
    return out.str();
}

/**
 * A fresh world per test (as the program starts and creates its map), reset
 * again after it. The position filter is off: these tests hold the world to
 * its specified rules; the filter's tests turn it on.
 */
/** PlanPath with the specified search, keeping what it searched: its direction map. */
inline const Itineraire& planifierEtGarder(int sx, int sy, int gx, int gy)
{
    static Itineraire garde;
    PlanPathAvec(sx, sy, gx, gy, [](const GrilleMonde& g, Point d, Point b, Itineraire& r) {
        planifier(g, d, b, r);
        garde = r;
    });
    return garde;
}

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetWorld();
        InitWorld();
        monde().suivi.actif = 0;
    }
    void TearDown() override { ResetWorld(); }
};

/** Polls `condition` until it holds; the time-out only keeps a hung test from waiting forever. */
template <class Condition>
bool waitUntil(Condition condition)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

/**
 * Waits until `threads` threads have handled every world change so far and
 * sleep until the next one: a known state to act from, or to check.
 */
inline bool threadsAtRest(int threads = 1)
{
    return waitUntil([threads] { return blockedWorldWaiters() == threads; });
}

/** The navigation's trace lines recorded by the scripted platform. */
inline std::vector<std::string> navigationTrace()
{
    std::vector<std::string> lines;
    for (const auto& t : static_cast<ScriptedPlatform&>(platform()).traces()) {
        if (t.channel == TraceChannel::Navigation) {
            lines.push_back(t.line);
        }
    }
    return lines;
}

/** 1 and 3 are obstacles; 2 is margin; 0 is free. */
inline bool isObstacleValue(int v)
{
    return v == 1 || v == 3;
}

/** Does grid cell (r, c) have an obstacle among its eight neighbours? */
inline bool touchesObstacle(const GridSnapshot& g, int r, int c)
{
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            if ((dr != 0 || dc != 0) && isObstacleValue(g[r + dr][c + dc])) {
                return true;
            }
        }
    }
    return false;
}

/**
 * What every sequence of edits keeps: the border holds 1, field cells hold
 * 0 .. 3, and a field cell that is no obstacle is margin exactly when it
 * touches an obstacle.
 */
inline ::testing::AssertionResult gridIsConsistent()
{
    const GridSnapshot g = snapshotGrid();
    constexpr int last = geo::GridSize - 1;
    for (int r = 0; r <= last; ++r) {
        for (int c = 0; c <= last; ++c) {
            const int v = g[r][c];
            const bool border = r == 0 || c == 0 || r == last || c == last;
            if (border) {
                if (v != 1) {
                    return ::testing::AssertionFailure()
                           << "border (" << r << ", " << c << ") holds " << v << "\n"
                           << gridText(g);
                }
                continue;
            }
            if (v < 0 || v > 3) {
                return ::testing::AssertionFailure()
                       << "(" << r << ", " << c << ") holds " << v << "\n"
                       << gridText(g);
            }
            if (!isObstacleValue(v) && v != (touchesObstacle(g, r, c) ? 2 : 0)) {
                return ::testing::AssertionFailure()
                       << "(" << r << ", " << c << ") holds " << v
                       << " but touches an obstacle: " << touchesObstacle(g, r, c) << "\n"
                       << gridText(g);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

/** A copy of the planned route's cells, taken under its guard. */
inline std::vector<PathNode> pathCopy()
{
    return monde().route.consulter([](const RoutePlanifiee& r) {
        std::vector<PathNode> copie;
        IterateurListe<PathNode> it(r.chemin);
        for (it.premier(); it.valide(); it.suivant()) {
            copie.push_back(it.courant());
        }
        return copie;
    });
}

/** The planned route is an escape. */
inline bool routeEvasion()
{
    return monde().route.consulter([](const RoutePlanifiee& r) { return r.evasion; });
}

/** Grid value of field cell (x, y), x and y in -1 .. 20. */
inline int cellValue(const GridSnapshot& g, int x, int y)
{
    return g[y + 1][x + 1];
}

/**
 * Cheapest cost from (sx, sy) to (gx, gy) on a snapshot, -1 when unreachable.
 * Moves enter free cells only; a diagonal move needs one of its two
 * orthogonal cells free. The start cell is not tested.
 */
inline int referenceCost(const GridSnapshot& g, int sx, int sy, int gx, int gy)
{
    constexpr int n = geo::Cells;
    std::vector<int> best(static_cast<std::size_t>(n) * n, -1);
    using Entry = std::pair<int, int>; // cost, index
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    open.push({0, sy * n + sx});
    const int dx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    const int dy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    while (!open.empty()) {
        const auto [cost, index] = open.top();
        open.pop();
        if (best[index] != -1) {
            continue;
        }
        best[index] = cost;
        const int x = index % n;
        const int y = index / n;
        if (x == gx && y == gy) {
            return cost;
        }
        for (int k = 0; k < 8; ++k) {
            const int nx = x + dx[k];
            const int ny = y + dy[k];
            if (nx < 0 || ny < 0 || nx >= n || ny >= n || cellValue(g, nx, ny) != 0) {
                continue;
            }
            const bool diagonal = dx[k] != 0 && dy[k] != 0;
            if (diagonal && cellValue(g, nx, y) != 0 && cellValue(g, x, ny) != 0) {
                continue;
            }
            if (best[ny * n + nx] == -1) {
                open.push({cost + (diagonal ? 14 : 10), ny * n + nx});
            }
        }
    }
    return -1;
}

/**
 * Checks that `path` (goal first) leads from (sx, sy) to (gx, gy) by legal
 * moves on the snapshot; its cost goes to *cost.
 */
inline ::testing::AssertionResult pathIsLegal(const std::vector<PathNode>& path,
                                              const GridSnapshot& g, int sx, int sy, int gx, int gy,
                                              int* cost = nullptr)
{
    if (path.empty()) {
        return ::testing::AssertionFailure() << "empty path";
    }
    if (path.front().x != gx || path.front().y != gy) {
        return ::testing::AssertionFailure()
               << "element 0 is (" << path.front().x << ", " << path.front().y << ")";
    }
    int x = sx;
    int y = sy;
    int total = 0;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        const int v = it->direction;
        if (v < 1 || v > 8) {
            return ::testing::AssertionFailure() << "direction " << v;
        }
        const geo::Step& step = geo::Steps[v];
        if (it->x != x + step.dx || it->y != y + step.dy) {
            return ::testing::AssertionFailure()
                   << "step " << v << " from (" << x << ", " << y << ") does not reach (" << it->x
                   << ", " << it->y << ")";
        }
        if (cellValue(g, it->x, it->y) != 0) {
            return ::testing::AssertionFailure()
                   << "enters blocked cell (" << it->x << ", " << it->y << ")";
        }
        if (step.dx != 0 && step.dy != 0 && cellValue(g, x + step.dx, y) != 0 &&
            cellValue(g, x, y + step.dy) != 0) {
            return ::testing::AssertionFailure()
                   << "cuts between two blocked cells at (" << x << ", " << y << ")";
        }
        total += step.cost;
        x = it->x;
        y = it->y;
    }
    if (cost != nullptr) {
        *cost = total;
    }
    return ::testing::AssertionSuccess();
}
