#pragma once

#include "world/WorldState.h"

/** The robot's and the destination's cells, each read under its own lock. */
struct CellulesNavigation {
    Point robot;
    Point destination;
};

/** Reads both cells as the navigation last set them (robot lock, then destination lock). */
inline CellulesNavigation lireCellulesNavigation()
{
    CellulesNavigation c;
    {
        VerrouMonde verrou(g_robotLock);
        c.robot = g_robotCell;
    }
    {
        VerrouMonde verrou(g_destLock);
        c.destination = g_destCell;
    }
    return c;
}
