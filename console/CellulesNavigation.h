#pragma once

#include "world/WorldState.h"

/** The robot's and the destination's cells, each read under its own lock. */
struct CellulesNavigation {
    Point robot;
    Point destination;
};

/** Reads both cells as the navigation last set them (robot lock, then the destination whole). */
inline CellulesNavigation lireCellulesNavigation()
{
    CellulesNavigation c;
    {
        VerrouMonde verrou(g_robotLock);
        c.robot = g_robotCell;
    }
    c.destination = monde().destination.lire().cellule;
    return c;
}
