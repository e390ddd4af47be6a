#include "world/BeaconModel.h"

#include <algorithm>
#include <cmath>

namespace balises {

namespace {

double distance(Position a, Position b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The bundled model is the default geometry: its functions are the
// geometry's, with the same expressions, so they give the same bits.
const Geometrie Defaut{};

} // namespace

double arrivee(int k, Position p)
{
    return arrivee(Defaut, k, p);
}

std::array<std::int16_t, 4> horodatages(Position p, std::uint32_t phase)
{
    return horodatages(Defaut, p, phase, {0.0, 0.0, 0.0, 0.0});
}

std::array<std::int16_t, 4> horodatages(Position p, std::uint32_t phase,
                                        const std::array<double, 4>& retards)
{
    return horodatages(Defaut, p, phase, retards);
}

std::array<double, 3> intervallesExacts(Position p)
{
    return intervallesExacts(Defaut, p);
}

double arrivee(const Geometrie& g, int k, Position p)
{
    return k * g.periode + distance(p, g.balises[k]) / g.vitesseSon;
}

std::array<std::int16_t, 4> horodatages(const Geometrie& g, Position p, std::uint32_t phase,
                                        const std::array<double, 4>& retards)
{
    // 1 / 2e6 is exactly the double nearest 5e-7: the bundled stamps do not move.
    const double tic = 1.0 / g.horloge;
    std::array<std::int16_t, 4> t{};
    for (int k = 0; k < 4; ++k) {
        // The counter value when the ping arrives, rounded to the tick it shows;
        // arrivals stay after the cycle start whatever the delay.
        const double instant =
            std::max(0.0, arrivee(g, k, p) + retards[static_cast<std::size_t>(k)]);
        // Only the counter's 16 bits are sent: taken before the conversion, no
        // clock or delay can overflow it (an endless delay shows 0).
        const double compte = std::fmod(std::floor(instant / tic), 65536.0);
        const auto ticks = static_cast<std::uint32_t>(std::isfinite(compte) ? compte : 0.0);
        t[static_cast<std::size_t>(k)] =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(phase + ticks));
    }
    return t;
}

std::array<double, 3> intervallesExacts(const Geometrie& g, Position p)
{
    std::array<double, 3> t{};
    for (int k = 0; k < 3; ++k) {
        t[static_cast<std::size_t>(k)] =
            g.periode + (distance(p, g.balises[k + 1]) - distance(p, g.balises[k])) / g.vitesseSon;
    }
    return t;
}

double secondesLues(const Geometrie& g, double secondes)
{
    return secondes * g.horloge * lecture::Tic;
}

std::array<double, 3> intervallesLus(const Geometrie& g, Position p)
{
    std::array<double, 3> t = intervallesExacts(g, p);
    for (double& s : t) {
        s = (s * g.horloge - 1.0) * lecture::Tic;
    }
    return t;
}

} // namespace balises
