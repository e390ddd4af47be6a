#pragma once

#include "world/Geometry.h"

/** The bandit's marker, one value: where it stands (cm) and whether it was placed (drawn only
 * then). */
struct MarqueBandit {
    Point position{0, 0};
    bool placee = false;

    bool operator==(const MarqueBandit&) const = default;
};
