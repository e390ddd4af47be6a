#include "robot/TerrainPhysique.h"

#include "robot/Caracteristiques.h"

#include <algorithm>
#include <cmath>

namespace robotsim {

TerrainPhysique::TerrainPhysique(const std::uint8_t (&obstacles)[20][20])
{
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 20; ++c) {
            m_obstacle[r][c] = obstacles[r][c];
        }
    }
}

Contact TerrainPhysique::contact(double x, double y) const
{
    Contact meilleur;
    double plusProche = Rayon;
    auto essayer = [&](double px, double py) {
        const double d = std::hypot(px - x, py - y);
        if (d < plusProche) {
            plusProche = d;
            meilleur = {true, px, py};
        }
    };
    // The sides of the field.
    essayer(0.0, y);
    essayer(Cote, y);
    essayer(x, 0.0);
    essayer(x, Cote);
    // The obstacle cells the body can reach: those within one radius.
    const int c0 = std::max(0, static_cast<int>(std::floor((x - Rayon) / Cellule)));
    const int c1 = std::min(19, static_cast<int>(std::floor((x + Rayon) / Cellule)));
    const int r0 = std::max(0, static_cast<int>(std::floor((y - Rayon) / Cellule)));
    const int r1 = std::min(19, static_cast<int>(std::floor((y + Rayon) / Cellule)));
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            if (m_obstacle[r][c] == 0) {
                continue;
            }
            const double px = std::clamp(x, c * Cellule, (c + 1) * Cellule);
            const double py = std::clamp(y, r * Cellule, (r + 1) * Cellule);
            essayer(px, py);
        }
    }
    return meilleur;
}

bool TerrainPhysique::degage(double x, double y) const
{
    if (!(x > Rayon && y > Rayon && x < Cote - Rayon && y < Cote - Rayon)) {
        return false;
    }
    const int c0 = std::max(0, static_cast<int>(std::floor((x - Rayon) / Cellule)));
    const int c1 = std::min(19, static_cast<int>(std::floor((x + Rayon) / Cellule)));
    const int r0 = std::max(0, static_cast<int>(std::floor((y - Rayon) / Cellule)));
    const int r1 = std::min(19, static_cast<int>(std::floor((y + Rayon) / Cellule)));
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            if (m_obstacle[r][c] == 0) {
                continue;
            }
            const double px = std::clamp(x, c * Cellule, (c + 1) * Cellule);
            const double py = std::clamp(y, r * Cellule, (r + 1) * Cellule);
            if (std::hypot(px - x, py - y) <= Rayon) {
                return false;
            }
        }
    }
    return true;
}

} // namespace robotsim
