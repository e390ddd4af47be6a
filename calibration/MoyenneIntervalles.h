#pragma once

#include "world/BeaconModel.h"

#include <array>
#include <optional>
#include <string>

/**
 * Calibration: the robot stands on a known point, the console reads the
 * intervals of N of its frames there, averages them and keeps the point
 * when the frames agree. The intervals are those the console computes from
 * a frame (seconds as it reads them, already folded).
 */
namespace calibration {

/**
 * The mean and spread of the intervals of the frames read at one position,
 * kept as running sums (Welford's): no allocation per frame.
 */
class MoyenneIntervalles {
public:
    /**
     * Adds one frame's three intervals. A frame with an interval that is
     * not a finite number (a garbled frame cannot give one, a caller could)
     * is not counted and returns false.
     */
    bool ajouter(const std::array<double, 3>& intervalles);
    /** The same from the console's floats. */
    bool ajouter(const float intervalles[3]);

    /** Forgets every frame: the next point starts afresh. */
    void recommencer();

    /** Frames counted. */
    int trames() const { return m_trames; }
    /** Mean of each interval, s; zeros before the first frame. */
    std::array<double, 3> moyenne() const { return m_moyenne; }
    /** Standard deviation of each interval over the frames, s; zeros below two frames. */
    std::array<double, 3> ecartType() const;
    /** The largest of the three standard deviations, s. */
    double dispersion() const;
    /**
     * The same as cm of sound travel for the field's geometry: the
     * console's seconds back to the robot's ticks, then at the speed of sound.
     */
    double dispersionCm(const balises::Geometrie& g) const;

private:
    int m_trames = 0;
    std::array<double, 3> m_moyenne{};
    std::array<double, 3> m_carres{};
};

/** Sound travel, cm, of `secondes` console seconds on geometry `g`. */
double secondesEnCm(const balises::Geometrie& g, double secondes);

/** A point of the field where the intervals are known. */
struct PointCalibration {
    /** The robot's true position, cm (x to the right, y downwards). */
    balises::Position position{0.0, 0.0};
    /** The mean intervals, s, as the console reads them. */
    std::array<double, 3> intervalles{};
    /** Frames averaged. */
    int trames = 0;
    /** Their spread (largest standard deviation), cm of sound travel. */
    double dispersionCm = 0.0;
};

/** What a point must meet to be kept. */
struct CriteresPoint {
    /** Frames to average, N (1 .. TramesMax). */
    int trames = 20;
    /** Largest spread, cm of sound travel: above it the robot moved. */
    double dispersionMaxCm = 5.0;
};

/** The most frames a point may average. */
inline constexpr int TramesMax = 1000;

/** The outcome of closing a point: the point, or why it is refused (French, for the operator). */
struct ResultatPoint {
    bool accepte = false;
    PointCalibration point;
    std::string refus;
    /**
     * Accepted, but far from where the network puts the robot: kept only
     * once the operator says so (SeanceCalibration::confirmer).
     */
    bool aConfirmer = false;
    /** The network's position for the point's mean intervals, when it gave one. */
    std::optional<balises::Position> estimation;
    /** Distance between the point and that position, cm (0 without one). */
    double ecartCm = 0.0;
};

/**
 * Closes the measure at `position` over `geometrie`: refused when the
 * position is not on the field (0 .. 500 cm, finite), when fewer than
 * `criteres.trames` frames were counted, when the criteria themselves are
 * out of range, or when the spread is above the criteria's (the robot moved
 * or the line was noisy). The point keeps the mean of every frame counted.
 */
ResultatPoint fermerPoint(const MoyenneIntervalles& mesure, balises::Position position,
                          const balises::Geometrie& geometrie, const CriteresPoint& criteres);

} // namespace calibration
