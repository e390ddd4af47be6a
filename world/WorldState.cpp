#include "world/WorldState.h"

#include "world/EditionsMonde.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldClock.h"
#include "world/WorldThreads.h"

Monde& monde()
{
    static Monde leMonde;
    return leMonde;
}

namespace {

/** The one list of the world's initial values. No world thread runs. */
void valeursInitiales()
{
    for (auto& ligne : monde().grille) {
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

    monde().grille.modifiee = 0;
    monde().drapeaux.reinitialiser();
    monde().ordres.ecrire({});

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
    monde().grille.modifiee = 0;
    monde().drapeaux.quadrillage = 0;

    constexpr int last = geo::GridSize - 1;
    for (auto& ligne : monde().grille) {
        for (auto& cellule : ligne) {
            cellule = 0;
        }
    }
    for (int k = 0; k <= last; ++k) {
        monde().grille[0][k] = 1;
        monde().grille[last][k] = 1;
        monde().grille[k][0] = 1;
        monde().grille[k][last] = 1;
    }
    for (int k = 1; k < last; ++k) {
        monde().grille[1][k] = 2;
        monde().grille[last - 1][k] = 2;
        monde().grille[k][1] = 2;
        monde().grille[k][last - 1] = 2;
    }
    monde().drapeaux.miseEnPlaceAttendue = 0;
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
    const bool change = monde().ordres.modifier([gauche, droite](OrdresRobot& o) {
        // The hold is read in the same write: codes chosen before a hold
        // never overwrite its zeros.
        const int g = o.arretOperateur ? 0 : gauche;
        const int d = o.arretOperateur ? 0 : droite;
        const bool autres = o.roueGauche != g || o.roueDroite != d;
        o.roueGauche = g;
        o.roueDroite = d;
        return autres;
    });
    // The wheel-code boxes follow the codes.
    if (change) {
        signalerAffichage();
    }
}

int capRobot()
{
    return monde().ordres.lire().cap;
}

void fixerCap(int cap)
{
    monde().ordres.modifier([cap](OrdresRobot& o) { o.cap = cap; });
}

bool operateurTient()
{
    return monde().ordres.lire().arretOperateur;
}

bool ArreterOperateur()
{
    const bool tenu = monde().ordres.modifier([](OrdresRobot& o) {
        if (o.arretOperateur) {
            return false;
        }
        o.arretOperateur = true;
        o.roueGauche = 0;
        o.roueDroite = 0;
        return true;
    });
    if (tenu) {
        notifyWorldChange();
    }
    return tenu;
}

bool ReprendreOperateur()
{
    const bool repris = monde().ordres.modifier([](OrdresRobot& o) {
        const bool etaitTenu = o.arretOperateur;
        o.arretOperateur = false;
        return etaitTenu;
    });
    if (repris) {
        notifyWorldChange();
    }
    return repris;
}

void SetSimRunning(int valeur)
{
    monde().drapeaux.simulation = valeur;
    notifyWorldChange();
}

int capAuContact()
{
    return monde().ordres.lire().capActuel();
}

void TurnTransmitted()
{
    // One write: a reader of the order never sees it pending with no code,
    // nor coded once gone.
    monde().ordres.modifier([](OrdresRobot& o) {
        o.virageEnAttente = false;
        o.virage = 0;
    });
    notifyWorldChange();
}
