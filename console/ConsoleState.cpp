#include "console/ConsoleState.h"

std::atomic<int> g_portOpen{0};
