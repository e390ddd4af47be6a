#include "console/ConsoleState.h"

std::atomic<int> g_portOpen{0};
int g_rxIndex = 0;
std::int16_t g_rxStamps[4] = {};
float g_intervals[3] = {};
