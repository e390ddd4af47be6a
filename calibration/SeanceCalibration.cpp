#include "calibration/SeanceCalibration.h"

#include <cmath>

namespace calibration {

namespace {

/** A kept point this close to a grid point (cm) visits it: half a cell. */
constexpr double RayonVisite = 12.5;

} // namespace

SeanceCalibration::SeanceCalibration()
{
    setCoteGrille(4);
}

void SeanceCalibration::setCoteGrille(int cote)
{
    m_grille = grilleSuggeree(cote);
    m_coteGrille = m_grille.empty() ? 0 : cote;
}

bool SeanceCalibration::pointGrilleVisite(std::size_t k) const
{
    if (k >= m_grille.size()) {
        return false;
    }
    for (const PointCalibration& p : m_liste.points()) {
        if (std::hypot(p.position.x - m_grille[k].x, p.position.y - m_grille[k].y) <= RayonVisite) {
            return true;
        }
    }
    return false;
}

std::optional<balises::Position> SeanceCalibration::prochainPointGrille() const
{
    for (std::size_t k = 0; k < m_grille.size(); ++k) {
        if (!pointGrilleVisite(k)) {
            return m_grille[k];
        }
    }
    return std::nullopt;
}

void SeanceCalibration::commencer(balises::Position position)
{
    m_position = position;
    m_mesure.recommencer();
    m_enCours = true;
}

void SeanceCalibration::annuler()
{
    m_enCours = false;
}

std::optional<ResultatPoint> SeanceCalibration::trame(const std::array<double, 3>& intervalles)
{
    if (!m_enCours || !m_mesure.ajouter(intervalles) || m_mesure.trames() < m_criteres.trames) {
        return std::nullopt;
    }
    m_enCours = false;
    ResultatPoint resultat = fermerPoint(m_mesure, m_position, m_geometrie, m_criteres);
    if (resultat.accepte) {
        m_liste.ajouter(resultat.point);
    }
    return resultat;
}

} // namespace calibration
