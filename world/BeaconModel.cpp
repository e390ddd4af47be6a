#include "world/BeaconModel.h"

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
    std::array<std::int16_t, 4> t{};
    for (int k = 0; k < 4; ++k) {
        // The counter value when the ping arrives, rounded to the tick it shows.
        const auto ticks = static_cast<std::uint32_t>(std::floor(arrivee(k, p) / 5e-7));
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
