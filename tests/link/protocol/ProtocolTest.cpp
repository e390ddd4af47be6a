// The robot protocol: intervals from a frame's timestamps, the command byte.
#include "link/protocol/RobotProtocol.h"

#include <gtest/gtest.h>

namespace {

void intervalles(std::int16_t t1, std::int16_t t2, std::int16_t t3, std::int16_t t4, float out[3])
{
    const std::int16_t t[4] = {t1, t2, t3, t4};
    protocole::calculerIntervalles(t, out);
}

} // namespace

TEST(Protocole, EqualStampsFoldFourTurns)
{
    float t[3];
    intervalles(1000, 1000, -5, -5, t);
    const float attendu = static_cast<float>(
        static_cast<float>(
            static_cast<float>(static_cast<float>(static_cast<float>(65535 * 5e-7) + 0.032768) +
                               0.032768) +
            0.032768) +
        0.032768);
    EXPECT_FLOAT_EQ(t[0], 0.1638395f);
    EXPECT_EQ(t[0], attendu);
    EXPECT_EQ(t[2], attendu);
}

TEST(Protocole, IntervalsLieInTheFoldingWindow)
{
    float t[3];
    for (int a = -32768; a < 32768; a += 997) {
        for (int b = -32768; b < 32768; b += 1009) {
            intervalles(static_cast<std::int16_t>(a), static_cast<std::int16_t>(b),
                        static_cast<std::int16_t>(a), static_cast<std::int16_t>(b), t);
            for (float x : t) {
                ASSERT_GT(x, 0.134f);
                ASSERT_LE(x, 0.166768f + 1e-7f);
            }
        }
    }
}

TEST(Protocole, WrappedCounterGivesTheTrueInterval)
{
    // 150 ms is 300000 ticks: 300000 - 4 x 65536 = 37856 ticks on the counter.
    float t[3];
    intervalles(30000, static_cast<std::int16_t>(30000 + 37856 - 65536), 0, 0, t);
    EXPECT_NEAR(t[0], 0.150 - 5e-7, 1e-6); // one tick short: 65535 is added, not 65536
}

TEST(Protocole, CommandByte)
{
    EXPECT_EQ(protocole::octetCommande(0, 0, 0), 0x80);
    EXPECT_EQ(protocole::octetCommande(2, 1, 3), 0xB6);
    EXPECT_EQ(static_cast<int>(static_cast<std::int8_t>(protocole::octetCommande(2, 1, 3))), -74);
    EXPECT_EQ(protocole::octetCommande(3, 3, 5), 0xDF);
    // Kept to 8 bits whatever the codes.
    EXPECT_EQ(protocole::octetCommande(0, 0, 8), 0x00);
}
