#pragma once

#include "world/Geometry.h"

/**
 * Where the robot is sent, one value: the marker the map draws (cm; (-25,
 * -25) until placed), the cell the navigation steers to, and whether a
 * destination was placed (the navigation steers only then). The three are
 * always written together, so a reader never sees a new marker with the
 * old cell.
 */
struct DestinationRobot {
    Point marque{-25, -25};
    Point cellule{0, 0};
    bool placee = false;

    bool operator==(const DestinationRobot&) const = default;
};
