// The one line reader of the text formats: line ends, the bound either way,
// the end of the input and a failing device.
#include "core/LigneBornee.h"

#include "support/FluxDefaillant.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

/** Every outcome up to the end, the lines as read. */
std::vector<std::string> toutLire(const std::string& texte, std::size_t max, AuDela auDela)
{
    std::istringstream flux(texte);
    std::vector<std::string> lu;
    std::string ligne;
    for (;;) {
        const LigneLue r = lireLigneBornee(flux, ligne, max, auDela);
        if (r == LigneLue::Fin) {
            return lu;
        }
        lu.push_back(r == LigneLue::Ligne ? ligne : "<trop longue>");
        if (r != LigneLue::Ligne) {
            return lu;
        }
    }
}

using Lignes = std::vector<std::string>;

} // namespace

TEST(LigneBornee, LineEndsLfAndCrLfAnInnerCrKeptAndALastLineWithoutEnd)
{
    const std::string texte = "un\r\ndeux\ntrois\r\r\n\r\nqu\rat\nfin";
    const Lignes attendu{"un", "deux", "trois\r", "", "qu\rat", "fin"};
    EXPECT_EQ(toutLire(texte, 10, AuDela::Refuser), attendu);
    EXPECT_EQ(toutLire(texte, 10, AuDela::Couper), attendu);
    EXPECT_EQ(toutLire("", 10, AuDela::Refuser), Lignes{});
    EXPECT_EQ(toutLire("\n", 10, AuDela::Refuser), Lignes{""});
    EXPECT_EQ(toutLire("a\r", 10, AuDela::Refuser), Lignes{"a"});
}

TEST(LigneBornee, TheBoundCountsNoLineEndEitherWay)
{
    // Exactly the bound, with either end: whole.
    EXPECT_EQ(toutLire("abcd\r\nabcd\nabcd\r", 4, AuDela::Refuser),
              (Lignes{"abcd", "abcd", "abcd"}));
    // One more: refused, and nothing after it is read as a line.
    EXPECT_EQ(toutLire("abcde\nx\n", 4, AuDela::Refuser), (Lignes{"<trop longue>"}));
    EXPECT_EQ(toutLire("abcd\rx\n", 4, AuDela::Refuser), (Lignes{"<trop longue>"}));
    EXPECT_EQ(toutLire("abcd\r\r\n", 4, AuDela::Refuser), (Lignes{"<trop longue>"}));
    // Cut: the first characters, then the next line.
    EXPECT_EQ(toutLire("abcdefgh\r\nx\r\n", 4, AuDela::Couper), (Lignes{"abcd", "x"}));
    EXPECT_EQ(toutLire("abcd\rxy\r\n", 4, AuDela::Couper), (Lignes{"abcd"}));
    EXPECT_EQ(toutLire("abc\rdef\n", 4, AuDela::Couper), (Lignes{"abc\r"}));
    EXPECT_EQ(toutLire("abcd\r\r", 4, AuDela::Couper), (Lignes{"abcd"}));
}

TEST(LigneBornee, AnEndlessLineIsNeverHeldAndTheEndLeavesTheLastLine)
{
    // A device that never ends (/dev/zero): refused after one character past the bound.
    kiv_test::TamponZeros zeros;
    std::istream flux(&zeros);
    std::string ligne;
    EXPECT_EQ(lireLigneBornee(flux, ligne, 1000, AuDela::Refuser), LigneLue::TropLongue);
    EXPECT_EQ(zeros.lus, 1001U);
    EXPECT_LE(ligne.capacity(), 2048U);

    std::istringstream court("seule");
    ASSERT_EQ(lireLigneBornee(court, ligne, 10, AuDela::Refuser), LigneLue::Ligne);
    EXPECT_EQ(lireLigneBornee(court, ligne, 10, AuDela::Refuser), LigneLue::Fin);
    EXPECT_EQ(ligne, "seule");
    EXPECT_TRUE(court.fail());
}

TEST(LigneBornee, AReadErrorIsAnOutcomeNeverAnException)
{
    kiv_test::TamponDefaillant tampon("un\ndeux");
    std::istream flux(&tampon);
    std::string ligne;
    ASSERT_EQ(lireLigneBornee(flux, ligne, 10, AuDela::Couper), LigneLue::Ligne);
    EXPECT_EQ(ligne, "un");
    EXPECT_EQ(lireLigneBornee(flux, ligne, 10, AuDela::Couper), LigneLue::Illisible);
    EXPECT_TRUE(flux.bad());
    EXPECT_EQ(lireLigneBornee(flux, ligne, 10, AuDela::Couper), LigneLue::Illisible);
}
