// The navigation thread's cost: (a) processor use over 10 s while it follows
// a path and nothing changes, next to a reference loop that polls the same
// conditions without blocking; (b) the delay from a robot cell change to the
// new wheel codes being set and shown.
#include "core/scripted/ScriptedPlatform.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using Horloge = std::chrono::steady_clock;

double tempsProcesseur()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

/**
 * Records when the navigation last told the display something (its route,
 * its wheel codes): the display's changes heard on another thread than the
 * bench's own.
 */
class Horodateur {
public:
    Horodateur()
        : m_ici(std::this_thread::get_id())
        , m_cle(abonnerAffichage([this] {
            if (std::this_thread::get_id() == m_ici) {
                return;
            }
            dernier.store(Horloge::now().time_since_epoch().count(), std::memory_order_release);
            nombre.fetch_add(1, std::memory_order_acq_rel);
            nombre.notify_all();
        }))
    {}
    ~Horodateur() { desabonnerAffichage(m_cle); }
    std::atomic<long long> dernier{0};
    std::atomic<int> nombre{0};

private:
    std::thread::id m_ici;
    int m_cle;
};

/** Processor share of one core used by the process over `duree`. */
double mesurerProcesseur(std::chrono::seconds duree)
{
    const double avant = tempsProcesseur();
    const auto debut = Horloge::now();
    std::this_thread::sleep_for(duree);
    const double ecoule = std::chrono::duration<double>(Horloge::now() - debut).count();
    return (tempsProcesseur() - avant) / ecoule;
}

/**
 * The reference: the same wait as the navigation's follow step, written as
 * a loop that reads the robot and the destination under their locks over
 * and over, without blocking.
 */
void boucleQuiTourne(std::atomic<bool>& fin)
{
    Point prec = monde().robot.cellule();
    Point dest0 = monde().destination.lire().cellule;
    while (!fin.load(std::memory_order_relaxed)) {
        const Point robot = monde().robot.cellule();
        const Point dest = monde().destination.lire().cellule;
        if (!(robot == prec) || !(dest == dest0) || monde().grille.modifiee == 1) {
            break;
        }
    }
}

} // namespace

int main()
{
    ScriptedPlatform plateforme;
    plateforme.setSleepScale(0.0); // beeps are not waited for
    setPlatform(&plateforme);
    Horodateur affichage;

    InitWorld();
    monde().drapeaux.simulation = 1; // turns in place are not waited for: no robot listens
    fixerCap(3);
    SetRobotPosition(25 * 2, 25 * 10);
    SetDestination(25 * 18, 25 * 10);
    StartNavigation();
    while (affichage.nombre.load() == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    // (a) Processor use while nothing changes.
    const unsigned passesAvant = monde().drapeaux.passesNavigation;
    const double navigation = mesurerProcesseur(std::chrono::seconds(10));
    const unsigned passesAuRepos = monde().drapeaux.passesNavigation - passesAvant;
    std::atomic<bool> fin{false};
    std::thread reference(boucleQuiTourne, std::ref(fin));
    const double tournante = mesurerProcesseur(std::chrono::seconds(10));
    fin = true;
    reference.join();

    // (b) Delay from a cell change to the wheel codes shown.
    std::vector<double> delais;
    int x = 2;
    for (int k = 0; k < 2000; ++k) {
        x = x >= 16 ? 2 : x + 1;
        const int avant = affichage.nombre.load();
        const auto t0 = Horloge::now();
        SetRobotPosition(25 * x, 25 * 10);
        // The pass tells the display its route, then its wheel codes; wait
        // for the first, then for the pass to end: the last one is the codes.
        // Blocks (no spinning that would compete with the lowest-priority thread).
        affichage.nombre.wait(avant, std::memory_order_acquire);
        while (blockedWorldWaiters() < 1) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        delais.push_back(std::chrono::duration<double, std::micro>(
                             Horloge::time_point{Horloge::duration(affichage.dernier.load())} - t0)
                             .count());
    }
    ResetWorld(); // stops the navigation, forgets the display
    setPlatform(nullptr);

    std::sort(delais.begin(), delais.end());
    auto centile = [&](double p) {
        return delais[static_cast<std::size_t>(p * static_cast<double>(delais.size() - 1))];
    };
    std::printf("processor use over 10 s, nothing changing (share of one core):\n");
    std::printf("  navigation thread (blocking waits): %.3f %%, %u passes\n", 100.0 * navigation,
                passesAuRepos);
    std::printf("  reference spinning loop           : %.1f %%\n", 100.0 * tournante);
    std::printf("cell change -> wheel codes shown, %zu changes:\n", delais.size());
    std::printf("  median %.1f us, p99 %.1f us, max %.1f us\n", centile(0.5), centile(0.99),
                delais.back());
    return 0;
}
