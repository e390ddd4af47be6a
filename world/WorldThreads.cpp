#include "world/WorldThreads.h"

#include "core/Platform.h"
#include "world/Navigation.h"
#include "world/WorldChange.h"
#include "world/WorldClock.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> g_arret{false};

/** A running world thread and whether its body has returned. */
struct Fil {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> fini;
};

std::mutex g_filsMutex;
Fil g_navigation;
std::vector<Fil> g_simulations;

Fil demarrer(void (*corps)())
{
    auto fini = std::make_shared<std::atomic<bool>>(false);
    std::thread t = platform().startThread(
        [corps, fini] {
            corps();
            fini->store(true);
        },
        ThreadPriority::Lowest);
    return {std::move(t), std::move(fini)};
}

} // namespace

bool worldThreadsStopping()
{
    return g_arret.load(std::memory_order_acquire);
}

void withdrawStopRequest()
{
    std::lock_guard verrou(g_filsMutex);
    if (g_navigation.thread.joinable() || !g_simulations.empty()) {
        return; // threads still to stop: the request stands
    }
    g_arret = false;
}

void StartNavigation()
{
    std::lock_guard verrou(g_filsMutex);
    if (g_navigation.thread.joinable()) {
        return;
    }
    g_arret = false;
    g_navigation = demarrer(&NavigationThread);
}

void StartSimulation()
{
    std::lock_guard verrou(g_filsMutex);
    g_arret = false;
    // Threads that reached their goal are over: collect them first.
    for (auto it = g_simulations.begin(); it != g_simulations.end();) {
        if (it->fini->load()) {
            it->thread.join();
            it = g_simulations.erase(it);
        } else {
            ++it;
        }
    }
    g_simulations.push_back(demarrer(&SimulationThread));
}

int runningSimulations()
{
    std::lock_guard verrou(g_filsMutex);
    int n = 0;
    for (const Fil& f : g_simulations) {
        n += f.fini->load() ? 0 : 1;
    }
    return n;
}

void StopWorldThreads()
{
    std::vector<Fil> fils;
    {
        std::lock_guard verrou(g_filsMutex);
        g_arret = true;
        if (g_navigation.thread.joinable()) {
            fils.push_back(std::move(g_navigation));
            g_navigation = Fil{};
        }
        for (Fil& f : g_simulations) {
            fils.push_back(std::move(f));
        }
        g_simulations.clear();
    }
    notifyWorldChange();
    for (Fil& f : fils) {
        f.thread.join();
    }
}

void dormirSaufArret(std::chrono::milliseconds duree)
{
    WorldClock& horloge = worldClock();
    const auto fin = horloge.now() + duree;
    for (;;) {
        const unsigned vu = worldChangeCount();
        if (worldThreadsStopping()) {
            throw ArretDemande{};
        }
        if (horloge.now() >= fin) {
            return;
        }
        horloge.waitChangeOrTime(vu, fin);
    }
}
