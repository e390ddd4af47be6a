// The virtual robot and the bumper handler.
#include "world/CelluleContact.h"
#include "world/GridEdits.h"
#include "world/Navigation.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"

#include <chrono>

namespace {

/** Time the virtual robot takes to cross one cell. */
constexpr std::chrono::milliseconds PasSimulation{1500};

} // namespace

void SimulationThread()
{
    try {
        if (!monde().destination.lire().placee) {
            return;
        }
        while (monde().drapeaux.simulation == 1) {
            // The virtual robot stands still while the operator holds it.
            const unsigned vu = worldChangeCount();
            if (operateurTient()) {
                waitWorldChange(vu);
                if (worldThreadsStopping()) {
                    throw ArretDemande{};
                }
                continue;
            }
            int n = 0;
            // An escape's last cell is its exit, not the goal: the run goes on.
            bool evasion = false;
            PathNode e;
            monde().route.consulter([&](const RoutePlanifiee& r) {
                n = r.chemin.taille();
                evasion = r.evasion;
                r.dernier(e);
            });
            if (n >= 1) {
                // The top-left corner of the cell next to the robot.
                monde().robot.placer(geo::CellSize * e.x, geo::CellSize * e.y, false);
            }
            if (n >= 1) {
                notifyWorldChange();
            }
            dormirSaufArret(PasSimulation);
            if (n == 1 && !evasion) {
                return; // the robot has just been put on the goal
            }
        }
    } catch (const ArretDemande&) {
    }
}

void HandleBumpers(int bit0, int bit1)
{
    const Point cellule = monde().robot.cellule();
    const int gr = cellule.y + 1;
    const int gc = cellule.x + 1;
    // The heading the robot had when it touched: before a turn still on its
    // way to it, never one half-made.
    const int h = capAuContact();
    if (h == 0 && monde().drapeaux.evasionPermise == 1) {
        // A contact while the heading is being probed: the probe turns round.
        monde().drapeaux.contactRepete = bit0 && bit1 ? 3 : bit0 ? 1 : 2;
        notifyWorldChange();
    }
    if (h != 0) {
        int direction = h;
        if (bit0 && bit1) {
            direction = h;
        } else if (bit1) {
            direction = h == 1 ? 8 : h - 1;
        } else if (bit0) {
            direction = h == 8 ? 1 : h + 1;
        }
        int r = gr + geo::Steps[direction].dy;
        int c = gc + geo::Steps[direction].dx;
        // A cell of the border is the wall itself: nothing to mark there, and
        // nothing outside the grid may be touched.
        const auto dansLeTerrain = [](int rr, int cc) {
            return rr >= 1 && rr <= geo::Cells && cc >= 1 && cc <= geo::Cells;
        };
        const bool filtre = monde().suivi.actif != 0;
        if (filtre) {
            // From where the robot truly is: its known cell's neighbour is
            // the wrong one when it touches a corner off its cell's centre.
            const contact::Touche t = celluleDuContact(bit0, bit1, h);
            if (t.quoi == contact::Touche::Quoi::Mur) {
                r = 0;
                c = 0;
            } else if (t.quoi == contact::Touche::Quoi::Cellule) {
                r = t.y + 1;
                c = t.x + 1;
            }
        }
        if (filtre && dansLeTerrain(r, c) && monde().grille[r][c] == 1) {
            // An obstacle the operator painted or the field brought: the
            // contact is explained, and it stays the operator's (marking it
            // found would change no route, only its origin).
            return;
        }
        // With the filter, a cell of the robot's footprint is never marked
        // (it has been inside it); a contact on a contact mark confirms it.
        const bool interdite = filtre && dansLeTerrain(r, c) && celluleFoulee(c - 1, r - 1);
        if (filtre && dansLeTerrain(r, c) && monde().grille[r][c] == 3) {
            confirmerMarqueContact(c - 1, r - 1);
        }
        if (dansLeTerrain(r, c) && monde().grille[r][c] != 3 && !interdite) {
            MarkObstacle(r, c);
            if (filtre) {
                noterMarqueContact(c - 1, r - 1);
            }
        } else if (monde().drapeaux.evasionPermise == 1) {
            // Pressed again on a cell already marked. On one side, what the
            // robot keeps pressing lies straight ahead (it stands off its
            // cell's centre, or its estimated cell lags behind it), and the
            // route planned past the mark grazes it: marked, it turns the
            // route away; unmarked, the robot would grind along it until its
            // veer frees it.
            const int ra = gr + geo::Steps[h].dy;
            const int ca = gc + geo::Steps[h].dx;
            if (bit0 != bit1 && dansLeTerrain(r, c) && dansLeTerrain(ra, ca) &&
                monde().grille[ra][ca] != 3 &&
                !(filtre && (celluleFoulee(ca - 1, ra - 1) || monde().grille[ra][ca] == 1))) {
                MarkObstacle(ra, ca);
                if (filtre) {
                    noterMarqueContact(ca - 1, ra - 1);
                }
            } else {
                // Nothing left to mark, or a wall of the field: the navigation
                // turns the robot away from the contact (Navigation.h).
                monde().drapeaux.contactRepete = bit0 && bit1 ? 3 : bit0 ? 1 : 2;
                notifyWorldChange();
            }
        }
    }
}
