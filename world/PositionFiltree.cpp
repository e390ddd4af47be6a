#include "world/PositionFiltree.h"

#include "world/GridEdits.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

/** The known cell enters the goal cell this far inside it at least, cm. */
constexpr double MargeButMin = 3.0;
constexpr double MargeButMax = 9.0;
/** A cell joins the footprint with the position this far inside it, and this spread at most. */
constexpr double MargeFoulee = 8.0;
constexpr double EcartFoulee = 4.0;

bool dansLaGrille(int x, int y)
{
    return x >= 0 && y >= 0 && x < geo::Cells && y < geo::Cells;
}

/** How far (cm) the position (px, py) lies inside cell (cx, cy): its distance to the nearest edge.
 */
double profondeur(double px, double py, int cx, int cy)
{
    const double gauche = px - cx * geo::CellSize;
    const double haut = py - cy * geo::CellSize;
    return std::min({gauche, haut, geo::CellSize - gauche, geo::CellSize - haut});
}

/** The filter's step under the robot's lock: see filtrerPosition. */
bool filtrerSousVerrou(double x, double y, const DestinationRobot& destination, PoseRobot& pose,
                       filtre::FiltrePosition& filtre, Point& aEffacer)
{
    const filtre::Issue issue = filtre.mesurer(x, y);
    if (issue == filtre::Issue::Refusee || issue == filtre::Issue::Reprise) {
        monde().suivi.refus.fetch_add(1, std::memory_order_relaxed);
    }
    const double fx = std::clamp(filtre.x(), 0.0, 499.0);
    const double fy = std::clamp(filtre.y(), 0.0, 499.0);
    const int px = static_cast<int>(fx);
    const int py = static_cast<int>(fy);
    Point cellule{geo::celluleDe(px), geo::celluleDe(py)};
    const double ecart = filtre.ecart();

    // The goal cell is entered only inside it by the margin; once there, the
    // robot stays in it while the position does.
    const Point dest = destination.marque;
    if (destination.placee && dest.x >= 0 && dest.y >= 0) {
        const Point but{geo::celluleDe(dest.x), geo::celluleDe(dest.y)};
        const double marge = std::clamp(2.0 * ecart, MargeButMin, MargeButMax);
        if (cellule == but && !(pose.cellule == but) && profondeur(fx, fy, but.x, but.y) < marge) {
            // The neighbour across the edge the position is too close to.
            const double dx = fx - (but.x * geo::CellSize + geo::CellSize / 2.0);
            const double dy = fy - (but.y * geo::CellSize + geo::CellSize / 2.0);
            const double limite = geo::CellSize / 2.0 - marge;
            Point voisin = but;
            if (dx > limite) {
                ++voisin.x;
            } else if (dx < -limite) {
                --voisin.x;
            }
            if (dy > limite) {
                ++voisin.y;
            } else if (dy < -limite) {
                --voisin.y;
            }
            if (dansLaGrille(voisin.x, voisin.y)) {
                cellule = voisin;
            }
        }
    }

    if (ecart <= EcartFoulee && profondeur(fx, fy, cellule.x, cellule.y) >= MargeFoulee &&
        dansLaGrille(cellule.x, cellule.y) && monde().suivi.foulees[cellule.y][cellule.x] == 0) {
        monde().suivi.foulees[cellule.y][cellule.x] = 1;
        if (monde().suivi.marquesContact[cellule.y][cellule.x] != 0) {
            aEffacer = cellule;
        }
    }

    const bool change = !(Point{px, py} == pose.position()) || !(cellule == pose.cellule);
    if (change) {
        pose = {fx, fy, cellule};
    }
    return change;
}

} // namespace

void oublierPositionFiltree()
{
    monde().robot.modifier([](PoseRobot&, filtre::FiltrePosition& f) { f.reinitialiser(); });
    monde().suivi.brut.set(-1, -1);
    for (int y = 0; y < geo::Cells; ++y) {
        for (int x = 0; x < geo::Cells; ++x) {
            monde().suivi.marquesContact[y][x] = 0;
            monde().suivi.foulees[y][x] = 0;
            monde().suivi.degagees[y][x] = 0;
        }
    }
}

bool filtrerPosition(double x, double y, Point& aEffacer)
{
    aEffacer = {-1, -1};
    // A value that is not a number is the filter's to refuse; the ring stays
    // where the last estimate put it.
    if (std::isfinite(x) && std::isfinite(y)) {
        monde().suivi.brut.set(static_cast<int>(x), static_cast<int>(y));
    }
    // Read before the robot's lock, which is a leaf.
    const DestinationRobot destination = monde().destination.lire();
    return monde().robot.modifier([&](PoseRobot& pose, filtre::FiltrePosition& filtre) {
        return filtrerSousVerrou(x, y, destination, pose, filtre, aEffacer);
    });
}

void noterCommandeFiltre(int gauche, int droite, int virage, bool contact, int cap)
{
    monde().robot.modifier([=](PoseRobot&, filtre::FiltrePosition& f) {
        f.indiquerCap(cap);
        f.commander(gauche, droite, virage, contact);
    });
}

contact::Touche celluleDuContact(int bit0, int bit1, int cap)
{
    if (monde().suivi.actif == 0) {
        return {};
    }
    contact::Situation s;
    const bool connue =
        monde().robot.consulter([&s, cap](const PoseRobot&, const filtre::FiltrePosition& f) {
            if (!f.demarre()) {
                return false;
            }
            s.x = f.x();
            s.y = f.y();
            s.rayon = f.parametres().rayon;
            // Two spreads of the position, within reason: beyond a few
            // centimetres the sector reaches cells the body cannot.
            s.marge = std::clamp(2.0 * f.ecart(), 2.0, 8.0);
            if (f.capConnu()) {
                s.cap = f.cap();
            } else if (cap >= 1 && cap <= 8) {
                s.cap = filtre::capDuCode(cap);
                s.jeuCap = std::numbers::pi / 8.0 + 0.15;
            } else {
                return false;
            }
            return true;
        });
    if (!connue) {
        return {};
    }
    const int bits = (bit0 != 0 ? 0x01 : 0) | (bit1 != 0 ? 0x02 : 0);
    return contact::celluleTouchee(s, bits, [](int x, int y) {
        if (monde().suivi.foulees[y][x] != 0) {
            return contact::Nature::Exclue;
        }
        const int v = monde().grille[y + 1][x + 1];
        return v == 1 || v == 3 ? contact::Nature::Connue : contact::Nature::Libre;
    });
}

bool celluleFoulee(int x, int y)
{
    return monde().suivi.actif != 0 && dansLaGrille(x, y) && monde().suivi.foulees[y][x] != 0;
}

void noterMarqueContact(int x, int y)
{
    if (dansLaGrille(x, y)) {
        // Marked again after a recovery cleared it: the second contact.
        monde().suivi.marquesContact[y][x] = monde().suivi.degagees[y][x] != 0 ? 2 : 1;
    }
}

void confirmerMarqueContact(int x, int y)
{
    if (dansLaGrille(x, y) && monde().suivi.marquesContact[y][x] != 0) {
        monde().suivi.marquesContact[y][x] = monde().suivi.marquesContact[y][x] + 1;
    }
}

int degagerMarquesContact(Point robot, Point but, int rayon)
{
    // A goal cell turned into a margin (or marked) by contact marks is out
    // of every route: the operator chose it, and the field around it was
    // free when chosen. Its marks go even when confirmed (two contacts from
    // one wrong place confirm a wrong cell); a real obstacle there is met,
    // and marked, again.
    const int valeurBut = valeurCellule(but.x, but.y);
    const bool butFerme = valeurBut == 2 || valeurBut == 3;
    int n = 0;
    for (int y = 0; y < geo::Cells; ++y) {
        for (int x = 0; x < geo::Cells; ++x) {
            if (monde().suivi.marquesContact[y][x] == 0 || valeurCellule(x, y) != 3) {
                continue;
            }
            const bool bordeBut = std::max(std::abs(x - but.x), std::abs(y - but.y)) <= 1;
            if (monde().suivi.marquesContact[y][x] != 1 && !(butFerme && bordeBut)) {
                continue;
            }
            const bool pres = std::max(std::abs(x - robot.x), std::abs(y - robot.y)) <= rayon ||
                              std::max(std::abs(x - but.x), std::abs(y - but.y)) <= rayon;
            if (pres) {
                ClearObstacle(y + 1, x + 1);
                monde().suivi.degagees[y][x] = 1;
                ++n;
            }
        }
    }
    return n;
}
