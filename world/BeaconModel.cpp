#include "world/BeaconModel.h"

#include <algorithm>
#include <cmath>

namespace balises {

namespace {

double distance(Position a, Position b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

} // namespace

double arrivee(int k, Position p)
{
    return k * Periode + distance(p, Balises[k]) / VitesseSon;
}

std::array<std::int16_t, 4> horodatages(Position p, std::uint32_t phase)
{
    return horodatages(p, phase, {0.0, 0.0, 0.0, 0.0});
}

std::array<std::int16_t, 4> horodatages(Position p, std::uint32_t phase,
                                        const std::array<double, 4>& retards)
{
    std::array<std::int16_t, 4> t{};
    for (int k = 0; k < 4; ++k) {
        // The counter value when the ping arrives, rounded to the tick it shows;
        // arrivals stay after the cycle start whatever the delay.
        const double instant = std::max(0.0, arrivee(k, p) + retards[static_cast<std::size_t>(k)]);
        const auto ticks = static_cast<std::uint32_t>(std::floor(instant / 5e-7));
        t[static_cast<std::size_t>(k)] =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(phase + ticks));
    }
    return t;
}

std::array<double, 3> intervallesExacts(Position p)
{
    std::array<double, 3> t{};
    for (int k = 0; k < 3; ++k) {
        t[static_cast<std::size_t>(k)] =
            Periode + (distance(p, Balises[k + 1]) - distance(p, Balises[k])) / VitesseSon;
    }
    return t;
}

} // namespace balises
