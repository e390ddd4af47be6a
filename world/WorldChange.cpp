#include "world/WorldChange.h"

#include <atomic>

namespace {
std::atomic<unsigned> g_changes{0};
}

unsigned worldChangeCount()
{
    return g_changes.load(std::memory_order_acquire);
}

void notifyWorldChange()
{
    g_changes.fetch_add(1, std::memory_order_acq_rel);
    g_changes.notify_all();
}

void waitWorldChange(unsigned seen)
{
    g_changes.wait(seen, std::memory_order_acquire);
}
