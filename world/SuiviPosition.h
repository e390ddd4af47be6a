#pragma once

#include "world/Garde.h"
#include "world/Geometry.h"
#include "world/Relaxed.h"
#include "world/SharedPoint.h"

#include <atomic>

/** The recoveries made (contact marks cleared to find a route), one value. */
struct BilanDegagements {
    /** Recoveries since the world started. */
    int nombre = 0;
    /** Contact marks the last one cleared. */
    int marques = 0;

    bool operator==(const BilanDegagements&) const = default;
};

/**
 * What the position filter (PositionFiltree.h; the filter itself is the
 * robot's, Monde::robot) measured, and the contact marks that know their
 * origin. The cells are relaxed, like the grid they annotate.
 */
struct SuiviPosition {
    /** 1 (the default): the filter, arrival by margin, footprint and recovery; 0: off. */
    std::atomic<int> actif{1};
    /** The last raw estimate, cm; (-1, -1) before the first (or with the filter off). */
    SharedPoint brut;
    /** Estimates the filter refused since the world started. */
    std::atomic<long> refus{0};
    /**
     * Contacts on each cell the bumper marked in this session, [y][x]: 0 for a
     * cell that is no contact mark (free, margin, painted, loaded), 1 marked
     * once, 2 and more confirmed.
     */
    Relaxed<int> marquesContact[geo::Cells][geo::Cells];
    /** 1 for each cell of the robot's footprint, [y][x]: it has been confidently inside. */
    Relaxed<int> foulees[geo::Cells][geo::Cells];
    /** 1 for each cell a recovery cleared, [y][x]: a contact that marks it again confirms it. */
    Relaxed<int> degagees[geo::Cells][geo::Cells];
    /** The navigation's recoveries, read whole by the route band. */
    Garde<BilanDegagements> degagements;
};
