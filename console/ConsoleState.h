#pragma once

#include <atomic>

/** The console's own module-level data, beside the world state. */

/** 1 while the last attempt to open the robot link succeeded. */
extern std::atomic<int> g_portOpen;
