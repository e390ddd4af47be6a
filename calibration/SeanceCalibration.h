#pragma once

#include "calibration/GrilleCalibration.h"
#include "calibration/ListeCalibration.h"
#include "calibration/MoyenneIntervalles.h"

#include <array>
#include <cstdint>
#include <functional>
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

    /**
     * Starts measuring at `position`: the next criteres().trames frames are
     * averaged. A point still waiting for the operator's word is dropped.
     */
    void commencer(balises::Position position);
    /** Stops the measure under way; nothing is kept. */
    void annuler();
    bool mesureEnCours() const { return m_enCours; }
    /** Where the measure under way (or the last one) stands. */
    balises::Position positionMesuree() const { return m_position; }
    const MoyenneIntervalles& mesure() const { return m_mesure; }

    /**
     * Where the network in place puts the robot for three mean intervals
     * (s), or nothing when it cannot tell (no network, an answer that is
     * not a position).
     */
    using Estimateur =
        std::function<std::optional<balises::Position>(const std::array<double, 3>&)>;
    /**
     * A point whose position stands more than `ecartMaxCm` from where
     * `estimateur` puts the robot for the point's mean intervals waits for
     * the operator's word (confirmer) before it joins the list: a position
     * typed wrong, or a robot standing elsewhere. Without an estimator every
     * point that meets the criteria joins the list at once.
     */
    void setEstimateur(Estimateur estimateur, double ecartMaxCm);
    double ecartMaxCm() const { return m_ecartMaxCm; }

    /**
     * One frame's three intervals, s. Outside a measure, or not finite:
     * ignored. The frame that completes the count closes the point: its
     * outcome is returned, and the measure stops. A point accepted joins the
     * list, unless it is far from the estimate (ResultatPoint::aConfirmer):
     * it then waits for confirmer().
     */
    std::optional<ResultatPoint> trame(const std::array<double, 3>& intervalles);

    /** The point waiting for the operator's word, if any. */
    const std::optional<PointCalibration>& enAttente() const { return m_enAttente; }
    /**
     * Changes each time a point starts waiting: an answer given for an
     * earlier one (numeroAttente at the time) is not taken for this one.
     */
    std::uint64_t numeroAttente() const { return m_numeroAttente; }
    /**
     * The operator's word on the waiting point numbered `numero`: kept (it
     * joins the list) or dropped. False, nothing changed, when that point
     * no longer waits (another measure started since).
     */
    bool confirmer(std::uint64_t numero, bool garder);

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
    Estimateur m_estimateur;
    double m_ecartMaxCm = 0.0;
    std::optional<PointCalibration> m_enAttente;
    std::uint64_t m_numeroAttente = 0;
};

} // namespace calibration
