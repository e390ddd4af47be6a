#pragma once

#include "world/WorldState.h"

/** The robot's and the destination's cells, each read under its own lock. */
struct CellulesNavigation {
    Point robot;
    Point destination;
};

/** Reads both cells as the navigation last set them (the robot's pose, then the destination, each
 * whole). */
inline CellulesNavigation lireCellulesNavigation()
{
    CellulesNavigation c;
    c.robot = monde().robot.cellule();
    c.destination = monde().destination.lire().cellule;
    return c;
}
