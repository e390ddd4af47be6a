#pragma once

/**
 * One entry of the planner's open set and of the planned path: the cost from
 * the start, the direction code of the step that reaches the cell, the cell.
 * Nodes compare by cost only.
 */
struct PathNode {
    int cost = 0;
    int direction = 0;
    int x = 0;
    int y = 0;

    friend bool operator<(const PathNode& a, const PathNode& b) { return a.cost < b.cost; }
};
