#include "world/WorldChange.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

std::atomic<unsigned> g_changes{0};
std::mutex g_mutex;
std::condition_variable g_condition;

} // namespace

unsigned worldChangeCount()
{
    return g_changes.load(std::memory_order_acquire);
}

void notifyWorldChange()
{
    {
        // Under the mutex, so that a waiter between its check and its wait
        // cannot miss the increment.
        std::lock_guard verrou(g_mutex);
        g_changes.fetch_add(1, std::memory_order_acq_rel);
    }
    g_condition.notify_all();
}

void waitWorldChange(unsigned seen)
{
    std::unique_lock verrou(g_mutex);
    g_condition.wait(verrou, [seen] { return g_changes.load(std::memory_order_acquire) != seen; });
}

bool waitWorldChangeFor(unsigned seen, std::chrono::milliseconds duree)
{
    std::unique_lock verrou(g_mutex);
    return g_condition.wait_for(
        verrou, duree, [seen] { return g_changes.load(std::memory_order_acquire) != seen; });
}
