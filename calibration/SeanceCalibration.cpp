#include "calibration/SeanceCalibration.h"

#include <cmath>
#include <utility>

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

void SeanceCalibration::setEstimateur(Estimateur estimateur, double ecartMaxCm)
{
    m_estimateur = std::move(estimateur);
    m_ecartMaxCm = ecartMaxCm;
}

void SeanceCalibration::commencer(balises::Position position)
{
    m_enAttente.reset();
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
    if (!resultat.accepte) {
        return resultat;
    }
    if (m_estimateur) {
        resultat.estimation = m_estimateur(resultat.point.intervalles);
    }
    if (resultat.estimation) {
        resultat.ecartCm = std::hypot(resultat.estimation->x - resultat.point.position.x,
                                      resultat.estimation->y - resultat.point.position.y);
        // Written so that a distance that is not a number asks too.
        resultat.aConfirmer = !(resultat.ecartCm <= m_ecartMaxCm);
    }
    if (resultat.aConfirmer) {
        m_enAttente = resultat.point;
        ++m_numeroAttente;
    } else {
        m_liste.ajouter(resultat.point);
    }
    return resultat;
}

bool SeanceCalibration::confirmer(std::uint64_t numero, bool garder)
{
    if (!m_enAttente || numero != m_numeroAttente) {
        return false;
    }
    if (garder) {
        m_liste.ajouter(*m_enAttente);
    }
    m_enAttente.reset();
    return true;
}

} // namespace calibration
