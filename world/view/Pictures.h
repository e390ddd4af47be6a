#pragma once

#include <QImage>

/**
 * The 20 x 20 pictures of the map: the robot seen from above for each
 * heading code (0 and 1 share the upward picture) and the bandit. Drawn once
 * on first use and shared; call from the user-interface thread.
 */
namespace pictures {

inline constexpr int Size = 20;

const QImage& robot(int heading);
const QImage& bandit();

} // namespace pictures
