#pragma once

#include "world/Geometry.h"

/**
 * Where the console places the robot: its position, cm (the filtered one
 * when the filter is on, with its fraction), and its known cell. The cell
 * is x / 25, y / 25 but near the goal, where the filter keeps it out of the
 * goal cell until the position lies inside it by a margin.
 */
struct PoseRobot {
    double x = 0.0;
    double y = 0.0;
    Point cellule{0, 0};

    /** The robot at (x, y) cm, in cell (x / 25, y / 25). */
    static PoseRobot en(int px, int py)
    {
        return {static_cast<double>(px),
                static_cast<double>(py),
                {geo::celluleDe(px), geo::celluleDe(py)}};
    }

    /** The position in whole centimetres, as drawn and shown. */
    Point position() const { return {static_cast<int>(x), static_cast<int>(y)}; }

    bool operator==(const PoseRobot&) const = default;
};
