#include "calibration/MoyenneIntervalles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace calibration {

bool MoyenneIntervalles::ajouter(const std::array<double, 3>& intervalles)
{
    for (const double t : intervalles) {
        if (!std::isfinite(t)) {
            return false;
        }
    }
    ++m_trames;
    for (std::size_t k = 0; k < 3; ++k) {
        const double ecart = intervalles[k] - m_moyenne[k];
        m_moyenne[k] += ecart / m_trames;
        m_carres[k] += ecart * (intervalles[k] - m_moyenne[k]);
    }
    return true;
}

bool MoyenneIntervalles::ajouter(const float intervalles[3])
{
    return ajouter({intervalles[0], intervalles[1], intervalles[2]});
}

void MoyenneIntervalles::recommencer()
{
    *this = MoyenneIntervalles();
}

std::array<double, 3> MoyenneIntervalles::ecartType() const
{
    std::array<double, 3> e{};
    if (m_trames >= 2) {
        for (std::size_t k = 0; k < 3; ++k) {
            // Rounding can leave a tiny negative sum for equal values.
            e[k] = std::sqrt(std::max(0.0, m_carres[k]) / (m_trames - 1));
        }
    }
    return e;
}

double MoyenneIntervalles::dispersion() const
{
    const auto e = ecartType();
    return *std::max_element(e.begin(), e.end());
}

double secondesEnCm(const balises::Geometrie& g, double secondes)
{
    // Console seconds are ticks of 0.5 us; the robot's ticks last 1 / horloge.
    return secondes / balises::lecture::Tic / g.horloge * g.vitesseSon;
}

double MoyenneIntervalles::dispersionCm(const balises::Geometrie& g) const
{
    return secondesEnCm(g, dispersion());
}

ResultatPoint fermerPoint(const MoyenneIntervalles& mesure, balises::Position position,
                          const balises::Geometrie& geometrie, const CriteresPoint& criteres)
{
    ResultatPoint r;
    char texte[200];
    if (criteres.trames < 1 || criteres.trames > TramesMax || !(criteres.dispersionMaxCm >= 0.0) ||
        !std::isfinite(criteres.dispersionMaxCm)) {
        std::snprintf(texte, sizeof texte,
                      "Le nombre de trames va de 1 à %d et la dispersion admise est un "
                      "nombre positif de cm",
                      TramesMax);
        r.refus = texte;
        return r;
    }
    if (!(position.x >= 0.0 && position.x <= 500.0 && position.y >= 0.0 && position.y <= 500.0)) {
        r.refus = "La position doit être sur le terrain (x et y de 0 à 500 cm)";
        return r;
    }
    if (mesure.trames() < criteres.trames) {
        std::snprintf(texte, sizeof texte, "Seulement %d trames sur %d : la mesure n'est pas finie",
                      mesure.trames(), criteres.trames);
        r.refus = texte;
        return r;
    }
    const double dispersion = mesure.dispersionCm(geometrie);
    if (dispersion > criteres.dispersionMaxCm) {
        std::snprintf(texte, sizeof texte,
                      "Dispersion de %.1f cm (au plus %.1f cm) : le robot a bougé, "
                      "recommencez la mesure",
                      dispersion, criteres.dispersionMaxCm);
        r.refus = texte;
        return r;
    }
    r.accepte = true;
    r.point.position = position;
    r.point.intervalles = mesure.moyenne();
    r.point.trames = mesure.trames();
    r.point.dispersionCm = dispersion;
    return r;
}

} // namespace calibration
