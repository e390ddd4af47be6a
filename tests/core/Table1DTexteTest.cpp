#include "ErreurAttendue.h"

#include "core/Table1D.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

std::string ecrit(const auto& table)
{
    std::ostringstream os;
    os << table;
    return os.str();
}

TEST(Table1DEcriture, IntTableOnFourLines)
{
    Table1D<int> t(3);
    t[0] = 3;
    t[1] = 1;
    t[2] = 2;
    EXPECT_EQ(ecrit(t), "(3)\n3\n1\n2\n");
    EXPECT_EQ(ecrit(Table1D<int>()), "(0)\n");
    t[1] = -45;
    EXPECT_EQ(ecrit(t), "(3)\n3\n-45\n2\n");
}

TEST(Table1DEcriture, DoublesUseTheStreamDefaultsAndLeaveThemAlone)
{
    Table1D<double> t(4);
    t[0] = 3.14159265;
    t[1] = 0.25;
    t[2] = 1234567.0;
    t[3] = 1e-7;
    EXPECT_EQ(ecrit(t), "(4)\n3.14159\n0.25\n1.23457e+06\n1e-07\n");

    std::ostringstream os;
    os.precision(3);
    os << t;
    EXPECT_EQ(os.str(), "(4)\n3.14\n0.25\n1.23e+06\n1e-07\n");
    EXPECT_EQ(os.precision(), 3);
}

TEST(Table1DEcriture, NestedTablesShowAnEmptyLineAfterEachElement)
{
    Table1D<Table1D<int>> t(2);
    t[0].redimensionner(1);
    t[0][0] = 7;
    EXPECT_EQ(ecrit(t), "(2)\n(1)\n7\n\n(0)\n\n");
}

TEST(Table1DLecture, ReadsWhatWasWritten)
{
    Table1D<double> t(3);
    t[0] = -1.5;
    t[1] = 0.125;
    t[2] = 1e10;
    std::istringstream is(ecrit(t));
    Table1D<double> lu;
    is >> lu;
    ASSERT_EQ(lu.taille(), 3);
    EXPECT_EQ(lu[0], -1.5);
    EXPECT_EQ(lu[1], 0.125);
    EXPECT_EQ(lu[2], 1e10);
}

TEST(Table1DLecture, SpacingAndLineBreaksAreFree)
{
    std::istringstream is("  \n\t( 3 \n)  4 5\n\n  6");
    Table1D<int> t;
    is >> t;
    ASSERT_EQ(t.taille(), 3);
    EXPECT_EQ(t[0], 4);
    EXPECT_EQ(t[1], 5);
    EXPECT_EQ(t[2], 6);
}

TEST(Table1DLecture, ResizesAnExistingTableToTheAnnouncedCount)
{
    Table1D<int> t(5);
    std::istringstream is("(2)\n8\n9\n");
    is >> t;
    ASSERT_EQ(t.taille(), 2);
    EXPECT_EQ(t[0], 8);
    EXPECT_EQ(t[1], 9);
    std::istringstream vide("(0)");
    vide >> t;
    EXPECT_EQ(t.taille(), 0);
}

TEST(Table1DLecture, CommentLinesBeforeHeadersAreSkipped)
{
    std::istringstream is("# presentation order\n#\n  # indented too\n(2)\n1\n2\n");
    Table1D<int> t;
    is >> t;
    ASSERT_EQ(t.taille(), 2);
    EXPECT_EQ(t[1], 2);
}

TEST(Table1DLecture, CommentLinesBeforeNestedHeaders)
{
    std::istringstream is("# outer\n(2)\n# first\n(2)\n1\n2\n# second\n# still second\n(1)\n3\n");
    Table1D<Table1D<int>> t;
    is >> t;
    ASSERT_EQ(t.taille(), 2);
    ASSERT_EQ(t[0].taille(), 2);
    EXPECT_EQ(t[0][0], 1);
    EXPECT_EQ(t[0][1], 2);
    ASSERT_EQ(t[1].taille(), 1);
    EXPECT_EQ(t[1][0], 3);
}

TEST(Table1DLecture, SeveralTablesFromOneStream)
{
    std::istringstream is("(1)\n5\n# next\n(2)\n6\n7\n");
    Table1D<int> a;
    Table1D<int> b;
    is >> a >> b;
    EXPECT_EQ(a.taille(), 1);
    EXPECT_EQ(b.taille(), 2);
    EXPECT_EQ(b[1], 7);
}

void lire(const std::string& texte)
{
    std::istringstream is(texte);
    Table1D<int> t;
    is >> t;
}

TEST(Table1DLecture, MalformedHeadersAreRefused)
{
    EXPECT_ERREUR(lire("[2)\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lire("2)\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lire("(2]\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lire("(2\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lire("()\n"), "Format invalide!");
    EXPECT_ERREUR(lire("(x)\n"), "Format invalide!");
    EXPECT_ERREUR(lire("(-1)\n"), "Format invalide!");
    EXPECT_ERREUR(lire("(99999999999)\n"), "Format invalide!");
    EXPECT_ERREUR(lire(""), "Format invalide!");
    EXPECT_ERREUR(lire("   \n"), "Format invalide!");
}

TEST(Table1DLecture, RefusedHeaderLeavesTheTableAlone)
{
    Table1D<int> t(2);
    t[0] = 1;
    t[1] = 2;
    std::istringstream is("(-3)\n");
    EXPECT_ERREUR(is >> t, "Format invalide!");
    ASSERT_EQ(t.taille(), 2);
    EXPECT_EQ(t[1], 2);
}

TEST(Table1DLecture, CommentAtTheEndOfTheInputIsRefusedWithoutLooping)
{
    EXPECT_ERREUR(lire("# nothing follows"), "Format invalide!");
    EXPECT_ERREUR(lire("# nothing follows\n"), "Format invalide!");
    EXPECT_ERREUR(lire("#\n#\n"), "Format invalide!");
}

TEST(Table1DLecture, MissingElementsFailAfterResizing)
{
    std::istringstream is("(3)\n1\n2\n");
    Table1D<int> t;
    EXPECT_ERREUR(is >> t, "Format invalide!");
    ASSERT_EQ(t.taille(), 3);
    EXPECT_EQ(t[0], 1);
    EXPECT_EQ(t[1], 2);
}

TEST(Table1DLecture, BadElementsAreRefused)
{
    EXPECT_ERREUR(lire("(2)\n1\nabc\n"), "Format invalide!");
    EXPECT_ERREUR(lire("(2)\n1.5\n2\n"), "Format invalide!"); // ".5" is no int
    // comments are allowed in front of headers only, never among numbers
    std::istringstream is("(2)\n1\n# two\n2\n");
    Table1D<int> t;
    EXPECT_ERREUR(is >> t, "Format invalide!");
    EXPECT_EQ(t[0], 1);
}

TEST(Table1DLecture, FailureInsideANestedTableIsReported)
{
    std::istringstream is("(2)\n(1)\n4\n[1)\n5\n");
    Table1D<Table1D<int>> t;
    EXPECT_ERREUR(is >> t, "Format invalide!");
    ASSERT_EQ(t.taille(), 2);
    ASSERT_EQ(t[0].taille(), 1);
    EXPECT_EQ(t[0][0], 4);
}

} // namespace
