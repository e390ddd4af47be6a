#pragma once

#include <atomic>
#include <cstdint>

/** The console's own module-level data, beside the world state. */

/** 1 while the last attempt to open the robot link succeeded. */
extern std::atomic<int> g_portOpen;

/** Position 0 .. 7 of the next timestamp byte of a sensor frame. */
extern int g_rxIndex;

/** Timestamps T1 .. T4 of the frame being read. */
extern std::int16_t g_rxStamps[4];

/** The last frame's intervals, in seconds. */
extern float g_intervals[3];
