#pragma once

#include "world/BeaconModel.h"

#include <vector>

namespace calibration {

/** The fewest and the most points a side of the suggested grid may have. */
inline constexpr int CoteGrilleMin = 2;
inline constexpr int CoteGrilleMax = 12;

/** Distance from the sides of the field to the outer points, cm: a body's radius and more. */
inline constexpr double MargeGrille = 25.0;

/**
 * The points to visit for a calibration: `cote` x `cote` points evenly
 * spread over the usable area [MargeGrille, 500 - MargeGrille] cm, its
 * edges included (the network learns the corners too), in the order a
 * robot drives them: the first row (smallest y) from left to right, the
 * next from right to left, and so on. Empty for a side outside
 * CoteGrilleMin .. CoteGrilleMax.
 */
std::vector<balises::Position> grilleSuggeree(int cote);

} // namespace calibration
