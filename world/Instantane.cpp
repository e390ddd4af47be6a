#include "world/Instantane.h"

#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"

void prendreInstantane(Instantane& instantane)
{
    // The version first: a change made while the picture is taken shows again.
    instantane.version = versionAffichage();
    copierGrille(instantane.grille);
    const PoseRobot pose = monde().robot.pose();
    instantane.robotPos = pose.position();
    instantane.robotCell = pose.cellule;
    monde().route.consulter([&instantane](const RoutePlanifiee& r) {
        instantane.longueurChemin = 0;
        IterateurListe<PathNode> it(r.chemin);
        for (it.premier();
             it.valide() && instantane.longueurChemin < static_cast<int>(instantane.chemin.size());
             it.suivant()) {
            instantane.chemin[static_cast<std::size_t>(instantane.longueurChemin++)] = it.courant();
        }
        instantane.evasion = r.evasion;
    });
    const OrdresRobot ordres = monde().ordres.lire();
    instantane.roueGauche = ordres.roueGauche;
    instantane.roueDroite = ordres.roueDroite;
    instantane.brutPos = monde().suivi.actif != 0 ? monde().suivi.brut.get() : Point{-1, -1};
    instantane.destPos = monde().destination.lire().marque;
    const MarqueBandit bandit = monde().bandit.lire();
    instantane.banditPos = bandit.position;
    instantane.banditVisible = bandit.placee;
    instantane.quadrillage = monde().drapeaux.quadrillage == 1;
    instantane.cap = ordres.cap;
}

bool memeCarte(const Instantane& a, const Instantane& b)
{
    return a.robotPos == b.robotPos && a.brutPos == b.brutPos && a.cap == b.cap && memeFond(a, b);
}

bool memeFond(const Instantane& a, const Instantane& b)
{
    if (!(a.destPos == b.destPos) || a.banditVisible != b.banditVisible ||
        a.quadrillage != b.quadrillage || a.longueurChemin != b.longueurChemin ||
        a.evasion != b.evasion || a.grille != b.grille) {
        return false;
    }
    if (a.banditVisible && !(a.banditPos == b.banditPos)) {
        return false;
    }
    for (int k = 0; k < a.longueurChemin; ++k) {
        const PathNode& p = a.chemin[static_cast<std::size_t>(k)];
        const PathNode& q = b.chemin[static_cast<std::size_t>(k)];
        if (p.x != q.x || p.y != q.y) {
            return false;
        }
    }
    return true;
}

void AccrocherDestination()
{
    monde().destination.modifier([](DestinationRobot& d) {
        if (d.marque.x >= 0 && d.marque.y >= 0) {
            d.marque = {geo::centreDe(d.marque.x), geo::centreDe(d.marque.y)};
        }
    });
}
