// The beacon model against the console's interval computation.
#include "world/BeaconModel.h"
#include "link/protocol/RobotProtocol.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(BeaconModel, ArrivalsAndExactIntervals)
{
    const balises::Position centre{250.0, 250.0};
    const double d = std::hypot(250.0, 250.0) / 34300.0;
    EXPECT_DOUBLE_EQ(balises::arrivee(0, centre), d);
    EXPECT_DOUBLE_EQ(balises::arrivee(3, centre), 0.450 + d);
    for (double t : balises::intervallesExacts(centre)) {
        EXPECT_DOUBLE_EQ(t, 0.150);
    }
    // On B1 itself: B2 is 500 cm further than B1.
    EXPECT_NEAR(balises::intervallesExacts({0.0, 0.0})[0], 0.150 + 500.0 / 34300.0, 1e-12);
}

TEST(BeaconModel, ConsoleIntervalsMatchTheModelForAnyCounterPhase)
{
    double plusPetit = 1.0;
    double plusGrand = 0.0;
    for (double y = 0.0; y < 500.0; y += 23.0) {
        for (double x = 0.0; x < 500.0; x += 19.0) {
            const auto exacts = balises::intervallesExacts({x, y});
            for (std::uint32_t phase : {0u, 12345u, 65535u, 40000u}) {
                const auto stamps = balises::horodatages({x, y}, phase);
                float t[3];
                protocole::calculerIntervalles(stamps.data(), t);
                for (int k = 0; k < 3; ++k) {
                    // Within a tick of rounding, one tick short by the console's rule,
                    // and the float's own rounding.
                    ASSERT_NEAR(t[k], exacts[static_cast<std::size_t>(k)] - 5e-7, 1.1e-6)
                        << x << "," << y << " phase " << phase;
                }
            }
            for (double t : exacts) {
                plusPetit = std::min(plusPetit, t);
                plusGrand = std::max(plusGrand, t);
            }
        }
    }
    EXPECT_GT(plusPetit, 0.1354);
    EXPECT_LT(plusGrand, 0.1646);
}
