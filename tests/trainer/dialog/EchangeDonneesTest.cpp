// Numbers between the edits and the fields: what is accepted, how doubles show.
#include "trainer/dialog/EchangeDonnees.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

TEST(EchangeDonnees, IntegersNeedANumberAndOnlyBlanksAroundIt)
{
    EXPECT_EQ(lireEntier("500"), 500);
    EXPECT_EQ(lireEntier("  -3 "), -3);
    EXPECT_EQ(lireEntier("+7"), 7);
    EXPECT_EQ(lireEntier("2147483647"), 2147483647);
    for (const char* refuse : {"", "  ", "12abc", "1.5", "2147483648", "+-1", "abc", "0x10"}) {
        EXPECT_FALSE(lireEntier(refuse).has_value()) << refuse;
    }
}

TEST(EchangeDonnees, DoublesUseAPointWhateverTheLocale)
{
    // Whether or not the French locale is installed, reading must not follow it.
    std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(lireReel("0.005"), 0.005);
    EXPECT_EQ(lireReel(" 1e2 "), 100.0);
    EXPECT_EQ(lireReel("-.5"), -0.5);
    EXPECT_EQ(lireReel("+2"), 2.0);
    EXPECT_FALSE(lireReel("0,5").has_value());
    EXPECT_FALSE(lireReel("").has_value());
    EXPECT_FALSE(lireReel("1e999").has_value());
    EXPECT_TRUE(std::isnan(*lireReel("nan")));
    EXPECT_EQ(texteReel(0.1543354), "0.1543354");
    EXPECT_EQ(texteReel(0.155356), "0.155356");
    EXPECT_EQ(texteReel(0.1), "0.1");
    EXPECT_EQ(texteReel(5), "5");
    EXPECT_EQ(texteReel(1e-7), "1e-07");
    EXPECT_EQ(texteEntier(-12), "-12");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(EchangeDonnees, ShownDoublesReadBackExactly)
{
    for (double v : {0.1543354, 1.0 / 3.0, 0.005, 123456.789, -2.5e-12}) {
        const auto relu = lireReel(texteReel(v));
        ASSERT_TRUE(relu.has_value());
        EXPECT_NEAR(*relu, v, std::fabs(v) * 1e-14);
    }
}

} // namespace
