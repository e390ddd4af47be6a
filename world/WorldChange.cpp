#include "world/WorldChange.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

namespace {

std::atomic<unsigned> g_changes{0};
std::mutex g_mutex;
std::condition_variable g_condition;
/** Waiters blocked at the current count; a change releases them all. Under g_mutex. */
int g_bloques = 0;

std::atomic<unsigned> g_versionAffichage{0};
std::mutex g_mutexEcouteurs;
/** The display's listeners with their keys. Under g_mutexEcouteurs. */
std::vector<std::pair<int, std::function<void()>>> g_ecouteurs;
int g_prochaineCle = 1;

void prevenirAffichage()
{
    g_versionAffichage.fetch_add(1, std::memory_order_acq_rel);
    std::lock_guard verrou(g_mutexEcouteurs);
    for (const auto& e : g_ecouteurs) {
        e.second();
    }
}

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
    prevenirAffichage();
}

void signalerAffichage()
{
    prevenirAffichage();
}

unsigned versionAffichage()
{
    return g_versionAffichage.load(std::memory_order_acquire);
}

int abonnerAffichage(std::function<void()> ecouteur)
{
    std::lock_guard verrou(g_mutexEcouteurs);
    const int cle = g_prochaineCle++;
    g_ecouteurs.emplace_back(cle, std::move(ecouteur));
    return cle;
}

void desabonnerAffichage(int cle)
{
    std::lock_guard verrou(g_mutexEcouteurs);
    std::erase_if(g_ecouteurs, [cle](const auto& e) { return e.first == cle; });
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
