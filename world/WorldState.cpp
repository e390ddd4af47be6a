#include "world/WorldState.h"

#include "world/EditionsMonde.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldClock.h"
#include "world/WorldThreads.h"

std::binary_semaphore g_wheelLock{1};

// The world's state. The definitions carry no values: ResetWorld below is the
// one list of initial values, and it runs before main.
Relaxed<int> g_grid[geo::GridSize][geo::GridSize];

std::atomic<int> g_firstStep;
std::atomic<int> g_mapChanged;
std::atomic<int> g_noPathShown;
std::atomic<int> g_gridLines;
std::atomic<int> g_setupPending;
std::atomic<int> g_evasionPermise;
std::atomic<int> g_contactRepete;

std::atomic<int> g_wheelLeft;
std::atomic<int> g_wheelRight;
std::atomic<int> g_heading;

std::atomic<int> g_turnCode;
std::atomic<int> g_turnPending;
std::atomic<int> g_simRunning;
std::atomic<int> g_arretOperateur;
std::atomic<int> g_capAvantVirage;
std::atomic<unsigned> g_navPasses;

Monde& monde()
{
    static Monde leMonde;
    return leMonde;
}

namespace {

/** The one list of the world's initial values. No world thread runs. */
void valeursInitiales()
{
    for (auto& ligne : g_grid) {
        for (auto& cellule : ligne) {
            cellule = 0;
        }
    }
    monde().route.modifier([](RoutePlanifiee& r) {
        r.chemin.vider();
        r.evasion = false;
    });
    monde().robot.placer(0, 0, true);
    monde().destination.ecrire({{0, 0}, {0, 0}, false});
    monde().bandit.ecrire({});

    g_firstStep = 0;
    g_mapChanged = 0;
    g_noPathShown = 0;
    g_gridLines = 0;
    g_setupPending = 1;
    g_evasionPermise = 1;
    g_contactRepete = 0;

    {
        VerrouMonde verrou(g_wheelLock);
        g_wheelLeft = 0;
        g_wheelRight = 0;
        g_turnCode = 0;
        g_turnPending = 0;
        g_capAvantVirage = 0;
    }
    g_heading = 0;
    g_simRunning = 0;
    g_arretOperateur = 0;
    g_navPasses = 0;

    monde().suivi.actif = 1;
    oublierPositionFiltree();
    monde().suivi.refus = 0;
    monde().suivi.degagements.ecrire({});

    setWorldClock(nullptr);
}

/** The program starts with the world a reset leaves (after the objects above). */
[[maybe_unused]] const bool g_mondeInitialise = (valeursInitiales(), true);

} // namespace

void ResetWorld()
{
    StopWorldThreads();
    withdrawStopRequest(); // as the program starts: no request
    valeursInitiales();
}

void InitWorld()
{
    oublierPositionFiltree();
    monde().robot.placer(geo::CellSize, geo::CellSize, true);
    monde().destination.ecrire({{-25, -25}, monde().robot.cellule(), false});
    g_mapChanged = 0;
    g_gridLines = 0;

    constexpr int last = geo::GridSize - 1;
    for (auto& ligne : g_grid) {
        for (auto& cellule : ligne) {
            cellule = 0;
        }
    }
    for (int k = 0; k <= last; ++k) {
        g_grid[0][k] = 1;
        g_grid[last][k] = 1;
        g_grid[k][0] = 1;
        g_grid[k][last] = 1;
    }
    for (int k = 1; k < last; ++k) {
        g_grid[1][k] = 2;
        g_grid[last - 1][k] = 2;
        g_grid[k][1] = 2;
        g_grid[k][last - 1] = 2;
    }
    g_setupPending = 0;
    notifyWorldChange();
}

void SetRobotPosition(int x, int y)
{
    monde().robot.placer(x, y, true);
    notifyWorldChange();
}

void SetDestination(int x, int y)
{
    monde().destination.ecrire({{x, y}, {geo::celluleDe(x), geo::celluleDe(y)}, true});
    notifyWorldChange();
    signalerEdition({GenreEditionMonde::Destination, x, y});
}

void SetWheels(int gauche, int droite)
{
    bool change = false;
    {
        VerrouMonde verrou(g_wheelLock);
        // Read under the lock the hold is set under: codes chosen before a
        // hold never overwrite its zeros.
        if (g_arretOperateur != 0) {
            gauche = 0;
            droite = 0;
        }
        change = g_wheelLeft != gauche || g_wheelRight != droite;
        g_wheelLeft = gauche;
        g_wheelRight = droite;
    }
    // The wheel-code boxes follow the codes.
    if (change) {
        signalerAffichage();
    }
}

bool ArreterOperateur()
{
    {
        VerrouMonde verrou(g_wheelLock);
        if (g_arretOperateur.exchange(1) != 0) {
            return false;
        }
        g_wheelLeft = 0;
        g_wheelRight = 0;
    }
    notifyWorldChange();
    return true;
}

bool ReprendreOperateur()
{
    {
        VerrouMonde verrou(g_wheelLock);
        if (g_arretOperateur.exchange(0) == 0) {
            return false;
        }
    }
    notifyWorldChange();
    return true;
}

void SetSimRunning(int valeur)
{
    g_simRunning = valeur;
    notifyWorldChange();
}

int capAuContact()
{
    VerrouMonde verrou(g_wheelLock);
    return g_turnPending != 0 ? g_capAvantVirage.load() : g_heading.load();
}

void TurnTransmitted()
{
    {
        // Both under the lock the order was published under: a reader of
        // the order never sees it pending with no code, nor coded once gone.
        VerrouMonde verrou(g_wheelLock);
        g_turnPending = 0;
        g_turnCode = 0;
    }
    notifyWorldChange();
}
