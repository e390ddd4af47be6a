#include "core/Erreur.h"
#include "core/Messages.h"
#include "core/Table1D.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <string>

namespace {

TEST(Erreur, WritesFileLineAndMessageToStandardError)
{
    testing::internal::CaptureStderr();
    const Erreur e("Indice invalide!", "Table1D.h", 42);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "\"Table1D.h\", ligne 42: Indice invalide!\n");
    EXPECT_STREQ(e.what(), "Indice invalide!");
}

TEST(Erreur, WritesOnlyTheMessageWhenTheFileIsNull)
{
    testing::internal::CaptureStderr();
    const Erreur e("Format invalide!", nullptr, 17);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Format invalide!\n");
    EXPECT_STREQ(e.what(), "Format invalide!");
}

TEST(Erreur, NegativeAndZeroLinesAreWrittenInDecimal)
{
    testing::internal::CaptureStderr();
    Erreur a("m", "f.cpp", 0);
    Erreur b("m", "f.cpp", -3);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "\"f.cpp\", ligne 0: m\n\"f.cpp\", ligne -3: m\n");
}

TEST(Erreur, IsCaughtAsStandardExceptionWithItsMessage)
{
    testing::internal::CaptureStderr();
    try {
        throw Erreur(msg::PasElementMinimum, "MonceauBin.h", 3);
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Pas d'element minimum!");
    }
    testing::internal::GetCapturedStderr();
}

TEST(Erreur, MacroNamesThisSourceFileAndLine)
{
    testing::internal::CaptureStderr();
    int ligne = 0;
    try {
        ligne = __LINE__ + 1;
        KIV_ERREUR("Dimension invalide!");
    } catch (const Erreur& e) {
        EXPECT_STREQ(e.what(), "Dimension invalide!");
    }
    const std::string sortie = testing::internal::GetCapturedStderr();
    EXPECT_EQ(sortie,
              "\"ErreurTest.cpp\", ligne " + std::to_string(ligne) + ": Dimension invalide!\n");
}

TEST(Erreur, ContainerFailuresWriteTheirDiagnosticBeforeThrowing)
{
    Table1D<int> t(2);
    testing::internal::CaptureStderr();
    EXPECT_THROW(t[2], Erreur);
    const std::string sortie = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(
        std::regex_match(sortie, std::regex("\"Table1D\\.h\", ligne [0-9]+: Indice invalide!\n")))
        << sortie;
}

TEST(Messages, FixedFrenchTexts)
{
    EXPECT_STREQ(msg::IndiceInvalide, "Indice invalide!");
    EXPECT_STREQ(msg::DimensionInvalide, "Dimension invalide!");
    EXPECT_STREQ(msg::ErreurAllocation, "Erreur d'allocation de memoire!");
    EXPECT_STREQ(msg::FormatInvalide, "Format invalide!");
    EXPECT_STREQ(msg::PasElementCourant, "Pas d'element courant!");
    EXPECT_STREQ(msg::PasElementMinimum, "Pas d'element minimum!");
}

} // namespace
