#include "world/WorldChange.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

std::atomic<unsigned> g_changes{0};
std::mutex g_mutex;
std::condition_variable g_condition;
/** Waiters blocked at the current count; a change releases them all. Under g_mutex. */
int g_bloques = 0;

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
        g_bloques = 0;
    }
    g_condition.notify_all();
}

void waitWorldChange(unsigned seen)
{
    std::unique_lock verrou(g_mutex);
    while (g_changes.load(std::memory_order_acquire) == seen) {
        ++g_bloques;
        g_condition.wait(verrou);
        if (g_changes.load(std::memory_order_acquire) == seen) {
            --g_bloques; // woken without a change: counted again below
        }
    }
}

bool waitWorldChangeFor(unsigned seen, std::chrono::milliseconds duree)
{
    const auto fin = std::chrono::steady_clock::now() + duree;
    std::unique_lock verrou(g_mutex);
    while (g_changes.load(std::memory_order_acquire) == seen) {
        ++g_bloques;
        const bool expire = g_condition.wait_until(verrou, fin) == std::cv_status::timeout;
        if (g_changes.load(std::memory_order_acquire) == seen) {
            --g_bloques;
            if (expire) {
                return false;
            }
        }
    }
    return true;
}

int blockedWorldWaiters()
{
    std::lock_guard verrou(g_mutex);
    return g_bloques;
}
