// The cell a bumper touched, from the robot's true position.
#include "world/CelluleContact.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace contact {

namespace {

/** Half the angle of the front bumpers' shared sector, radians (15 degrees). */
constexpr double ConeFrontal = 15.0 * std::numbers::pi / 180.0;

/** An angle brought into (-pi, pi]. */
double ramener(double a)
{
    a = std::fmod(a, 2.0 * std::numbers::pi);
    if (a > std::numbers::pi) {
        a -= 2.0 * std::numbers::pi;
    } else if (a <= -std::numbers::pi) {
        a += 2.0 * std::numbers::pi;
    }
    return a;
}

/**
 * How far direction `relatif` lies outside the sector that can close
 * `bits`, radians (0 inside). A side bumper is pressed by what the robot
 * drives into, so not by a point square to its heading: its sector ends
 * short of a right angle.
 */
double horsDuSecteur(double relatif, int bits)
{
    constexpr double Cote = 75.0 * std::numbers::pi / 180.0;
    const auto hors = [](double a, double bas, double haut) {
        return a < bas ? bas - a : a > haut ? a - haut : 0.0;
    };
    if (bits == 0x03) {
        return hors(relatif, -ConeFrontal, ConeFrontal);
    }
    if (bits == 0x01) { // right: clockwise, positive
        return hors(relatif, ConeFrontal, Cote);
    }
    return hors(relatif, -Cote, -ConeFrontal);
}

} // namespace

Touche celluleTouchee(const Situation& s, int bits, const std::function<Nature(int, int)>& nature)
{
    const double portee = s.rayon + s.marge;
    const double cote = static_cast<double>(geo::MapSize);
    // Each candidate's likelihood, as a squared distance in spreads: what
    // the robot pressed lies at its radius, in the bumper's sector. The
    // likeliest wins; a known obstacle or the wall only breaks a tie, for a
    // painted wall beside the robot does not explain a contact on its other
    // side.
    double meilleure = 3.0;
    Touche choix;
    auto essayer = [&](double px, double py, Touche t) {
        const double dx = px - s.x;
        const double dy = py - s.y;
        const double d = std::hypot(dx, dy);
        const double hors = horsDuSecteur(ramener(std::atan2(dy, dx) - s.cap), bits);
        if (d > portee || hors > s.jeuCap) {
            return;
        }
        const double ed = (d - s.rayon) / s.marge;
        const double ea = hors / s.jeuCap;
        const double score = ed * ed + ea * ea;
        const bool connu = t.quoi == Touche::Quoi::Mur || t.connue;
        if (score < meilleure || (connu && score <= meilleure)) {
            meilleure = score;
            choix = t;
        }
    };
    // The field's walls, at their nearest point.
    essayer(0.0, s.y, {Touche::Quoi::Mur});
    essayer(cote, s.y, {Touche::Quoi::Mur});
    essayer(s.x, 0.0, {Touche::Quoi::Mur});
    essayer(s.x, cote, {Touche::Quoi::Mur});

    const double pas = geo::CellSize;
    const int moiX = static_cast<int>(std::floor(s.x / pas));
    const int moiY = static_cast<int>(std::floor(s.y / pas));
    const int c0 = std::max(0, static_cast<int>(std::floor((s.x - portee) / pas)));
    const int c1 = std::min(geo::Cells - 1, static_cast<int>(std::floor((s.x + portee) / pas)));
    const int r0 = std::max(0, static_cast<int>(std::floor((s.y - portee) / pas)));
    const int r1 = std::min(geo::Cells - 1, static_cast<int>(std::floor((s.y + portee) / pas)));
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            if (c == moiX && r == moiY) {
                continue; // the robot stands in it
            }
            const Nature n = nature(c, r);
            if (n == Nature::Exclue) {
                continue;
            }
            const double px = std::clamp(s.x, c * pas, (c + 1) * pas);
            const double py = std::clamp(s.y, r * pas, (r + 1) * pas);
            essayer(px, py, {Touche::Quoi::Cellule, c, r, n == Nature::Connue});
        }
    }
    return choix;
}

} // namespace contact
