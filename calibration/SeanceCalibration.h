#pragma once

#include "calibration/GrilleCalibration.h"
#include "calibration/ListeCalibration.h"
#include "calibration/MoyenneIntervalles.h"

#include <array>
#include <optional>
#include <vector>

namespace calibration {

/**
 * A calibration as the console runs it, one frame at a time: the criteria,
 * the point being measured, the points kept, the grid suggested and which
 * of its points are still to visit. No clock and no Qt: the console's
 * dialog feeds it each frame's intervals and shows what it holds.
 */
class SeanceCalibration {
public:
    SeanceCalibration();

    const CriteresPoint& criteres() const { return m_criteres; }
    void setCriteres(const CriteresPoint& criteres) { m_criteres = criteres; }
    const balises::Geometrie& geometrie() const { return m_geometrie; }
    void setGeometrie(const balises::Geometrie& geometrie) { m_geometrie = geometrie; }

    /** The suggested grid: `cote` x `cote` points (grilleSuggeree); none outside its range. */
    void setCoteGrille(int cote);
    int coteGrille() const { return m_coteGrille; }
    const std::vector<balises::Position>& grille() const { return m_grille; }
    /** True when a kept point stands within half a cell (12.5 cm) of grid point `k`. */
    bool pointGrilleVisite(std::size_t k) const;
    /** The first grid point, in driving order, not yet visited; none when all are. */
    std::optional<balises::Position> prochainPointGrille() const;

    /** Starts measuring at `position`: the next criteres().trames frames are averaged. */
    void commencer(balises::Position position);
    /** Stops the measure under way; nothing is kept. */
    void annuler();
    bool mesureEnCours() const { return m_enCours; }
    /** Where the measure under way (or the last one) stands. */
    balises::Position positionMesuree() const { return m_position; }
    const MoyenneIntervalles& mesure() const { return m_mesure; }

    /**
     * One frame's three intervals, s. Outside a measure, or not finite:
     * ignored. The frame that completes the count closes the point: its
     * outcome is returned (kept points join the list), and the measure stops.
     */
    std::optional<ResultatPoint> trame(const std::array<double, 3>& intervalles);

    ListeCalibration& liste() { return m_liste; }
    const ListeCalibration& liste() const { return m_liste; }

private:
    CriteresPoint m_criteres;
    balises::Geometrie m_geometrie;
    int m_coteGrille = 0;
    std::vector<balises::Position> m_grille;
    balises::Position m_position{0.0, 0.0};
    MoyenneIntervalles m_mesure;
    bool m_enCours = false;
    ListeCalibration m_liste;
};

} // namespace calibration
