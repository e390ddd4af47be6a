#include "ErreurAttendue.h"

#include "core/Table2D.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

namespace {

/** A table whose cell (i, j) holds 10 i + j + 1. */
Table2D<double> numerotee(int l, int c)
{
    Table2D<double> t(l, c);
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            t(i, j) = 10 * i + j + 1;
        }
    }
    return t;
}

std::string ecrit(const Table2D<double>& t)
{
    std::ostringstream os;
    os << t;
    return os.str();
}

TEST(Table2DForme, ConstructionGivesTheShapeAndCellCount)
{
    Table2D<double> vide;
    EXPECT_EQ(vide.lignes(), 0);
    EXPECT_EQ(vide.colonnes(), 0);
    EXPECT_EQ(vide.taille(), 0);
    Table2D<double> t(3, 4);
    EXPECT_EQ(t.lignes(), 3);
    EXPECT_EQ(t.colonnes(), 4);
    EXPECT_EQ(t.taille(), 12);
}

TEST(Table2DForme, CellsAreStoredRowAfterRow)
{
    Table2D<double> t = numerotee(2, 3);
    EXPECT_EQ(t[0], 1);
    EXPECT_EQ(t[2], 3);
    EXPECT_EQ(t[3], 11);
    EXPECT_EQ(t[5], 13);
}

TEST(Table2DForme, CellBoundsFollowTheShapeNotTheStorage)
{
    Table2D<double> t(2, 3);
    EXPECT_ERREUR(t(0, 3), "Indice invalide!"); // storage index 3 would exist
    EXPECT_ERREUR(t(2, 0), "Indice invalide!");
    EXPECT_ERREUR(t(-1, 0), "Indice invalide!");
    EXPECT_ERREUR(t(0, -1), "Indice invalide!");
    const Table2D<double>& c = t;
    EXPECT_ERREUR(c(1, 3), "Indice invalide!");
    t(1, 2) = 4.5;
    EXPECT_EQ(c(1, 2), 4.5);
}

TEST(Table2DForme, RemplirSetsEveryCell)
{
    Table2D<double> t(2, 3);
    t.remplir(0.5);
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(t(i, j), 0.5);
        }
    }
    Table2D<double> vide;
    vide.remplir(1.0);
    EXPECT_EQ(vide.taille(), 0);
}

TEST(Table2DForme, CopyAndAssignmentCarryTheShape)
{
    Table2D<double> a = numerotee(2, 3);
    Table2D<double> b(a);
    b(1, 1) = -1;
    EXPECT_EQ(a(1, 1), 12);
    EXPECT_EQ(b.lignes(), 2);
    EXPECT_EQ(b.colonnes(), 3);
    Table2D<double> c(5, 1);
    c = a;
    EXPECT_EQ(c.lignes(), 2);
    EXPECT_EQ(c.colonnes(), 3);
    EXPECT_EQ(c(1, 2), 13);
    Table2D<double>& meme = c;
    c = meme;
    EXPECT_EQ(c(0, 0), 1);
    Table2D<double> d(std::move(c));
    EXPECT_EQ(d(1, 2), 13);
    EXPECT_EQ(c.lignes(), 0);
    EXPECT_EQ(c.taille(), 0);
}

void verifieConserve(const Table2D<double>& t, int l, int c)
{
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            EXPECT_EQ(t(i, j), 10 * i + j + 1) << "cell " << i << "," << j;
        }
    }
}

TEST(Table2DRedimensionner, GrowingKeepsEveryCellAtItsPlace)
{
    Table2D<double> t = numerotee(2, 2);
    t.redimensionner(3, 3);
    EXPECT_EQ(t.lignes(), 3);
    EXPECT_EQ(t.colonnes(), 3);
    EXPECT_EQ(t.taille(), 9);
    verifieConserve(t, 2, 2);

    Table2D<double> u = numerotee(4, 3);
    u.redimensionner(4, 7);
    verifieConserve(u, 4, 3);
}

TEST(Table2DRedimensionner, ShrinkingColumnsKeepsTheRemainingCells)
{
    Table2D<double> t = numerotee(2, 3);
    t.redimensionner(2, 2);
    EXPECT_EQ(t.taille(), 4);
    verifieConserve(t, 2, 2);

    Table2D<double> u = numerotee(5, 6);
    u.redimensionner(7, 2); // fewer columns, more rows
    verifieConserve(u, 5, 2);
}

TEST(Table2DRedimensionner, MixedChangesKeepTheCommonCells)
{
    Table2D<double> t = numerotee(4, 2);
    t.redimensionner(2, 5); // fewer rows, more columns
    verifieConserve(t, 2, 2);
    t.redimensionner(6, 5); // more rows only
    verifieConserve(t, 2, 2);
    t.redimensionner(1, 1);
    verifieConserve(t, 1, 1);
}

TEST(Table2DRedimensionner, NegativeCellCountIsRefusedAndChangesNothing)
{
    Table2D<double> t = numerotee(2, 2);
    EXPECT_ERREUR(t.redimensionner(-1, 2), "Dimension invalide!");
    EXPECT_ERREUR(t.redimensionner(3, -4), "Dimension invalide!");
    EXPECT_EQ(t.lignes(), 2);
    EXPECT_EQ(t.colonnes(), 2);
    verifieConserve(t, 2, 2);
}

TEST(Table2DRedimensionner, CellCountBeyondIntIsAnAllocationFailure)
{
    Table2D<double> t = numerotee(2, 2);
    EXPECT_ERREUR(t.redimensionner(65536, 65536), "Erreur d'allocation de memoire!");
    EXPECT_ERREUR(t.redimensionner(INT_MAX, 2), "Erreur d'allocation de memoire!");
    EXPECT_EQ(t.lignes(), 2);
    EXPECT_EQ(t.colonnes(), 2);
    verifieConserve(t, 2, 2);
}

// A negative product below INT_MIN would wrap to a small positive count
// (-2 x INT_MAX gives 2) if only the product were checked.
TEST(Table2DRedimensionner, NegativeCellCountBelowIntMinIsRefused)
{
    Table2D<double> t = numerotee(2, 2);
    EXPECT_ERREUR(t.redimensionner(-2, INT_MAX), "Dimension invalide!");
    EXPECT_EQ(t.lignes(), 2);
    EXPECT_EQ(t.colonnes(), 2);
}

// Two negative dimensions give a positive cell count; with lignes = colonnes
// = -1 an unsigned cell check would let every (i, j) >= 0 through and reach
// outside the one stored cell. The shape must be refused, or no cell reachable.
TEST(Table2DRedimensionner, NegativeDimensionsNeverExposeCells)
{
    Table2D<double> t;
    testing::internal::CaptureStderr();
    bool refuse = false;
    try {
        t.redimensionner(-1, -1);
    } catch (const Erreur& e) {
        refuse = true;
        EXPECT_STREQ(e.what(), "Dimension invalide!");
    }
    testing::internal::GetCapturedStderr();
    if (!refuse) {
        EXPECT_ERREUR(t(0, 0), "Indice invalide!");
    }
}

TEST(Table2DEcriture, TwoByOneExample)
{
    Table2D<double> t(2, 1);
    t(0, 0) = 1;
    t(1, 0) = 0.25;
    EXPECT_EQ(ecrit(t), "(2,1)\n          1\n       0.25\n");
}

TEST(Table2DEcriture, RowsOfSeveralCellsAndWideValues)
{
    Table2D<double> t(2, 3);
    t(0, 0) = -1.5;
    t(0, 1) = 1234567.0;
    t(0, 2) = 0;
    t(1, 0) = 3.14159265;
    t(1, 1) = -0.001;
    t(1, 2) = 100;
    EXPECT_EQ(ecrit(t), "(2,3)\n"
                        "       -1.5 1.23457e+06          0\n"
                        "    3.14159     -0.001        100\n");
}

TEST(Table2DEcriture, EmptyShapes)
{
    EXPECT_EQ(ecrit(Table2D<double>(2, 0)), "(2,0)\n\n\n");
    EXPECT_EQ(ecrit(Table2D<double>(0, 3)), "(0,3)\n");
    EXPECT_EQ(ecrit(Table2D<double>()), "(0,0)\n");
}

TEST(Table2DEcriture, FieldWidthDoesNotLeakIntoLaterOutput)
{
    std::ostringstream os;
    Table2D<double> t(1, 1);
    t(0, 0) = 2;
    os << t << 7 << '|';
    EXPECT_EQ(os.str(), "(1,1)\n          2\n7|");
}

Table2D<double> lit(const std::string& texte)
{
    std::istringstream is(texte);
    Table2D<double> t;
    is >> t;
    return t;
}

TEST(Table2DLecture, ReadsWhatWasWrittenWithCommentsInFront)
{
    Table2D<double> t = numerotee(3, 2);
    t(2, 1) = -0.0625;
    Table2D<double> lu = lit("# weights\n# of layer 1\n" + ecrit(t));
    ASSERT_EQ(lu.lignes(), 3);
    ASSERT_EQ(lu.colonnes(), 2);
    verifieConserve(lu, 2, 2);
    EXPECT_EQ(lu(2, 0), 21);
    EXPECT_EQ(lu(2, 1), -0.0625);
}

TEST(Table2DLecture, SpacingIsFreeAndTheTableIsReshaped)
{
    std::istringstream is(" ( 2 , 2 )1 2\n3\n\n4");
    Table2D<double> t(5, 5);
    is >> t;
    ASSERT_EQ(t.lignes(), 2);
    ASSERT_EQ(t.colonnes(), 2);
    EXPECT_EQ(t(0, 1), 2);
    EXPECT_EQ(t(1, 0), 3);
    EXPECT_EQ(t(1, 1), 4);
    Table2D<double> vide = lit("(0,4)");
    EXPECT_EQ(vide.lignes(), 0);
    EXPECT_EQ(vide.colonnes(), 4);
}

TEST(Table2DLecture, MalformedHeadersAreRefused)
{
    EXPECT_ERREUR(lit("(2 1)\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lit("(2;1)\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lit("[2,1]\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lit("(2,1]\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lit("(,1)\n1\n"), "Format invalide!");
    EXPECT_ERREUR(lit("(2,)\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lit("(-1,2)\n"), "Format invalide!");
    EXPECT_ERREUR(lit("(1,-2)\n"), "Format invalide!");
    EXPECT_ERREUR(lit("(2)\n1\n2\n"), "Format invalide!");
    EXPECT_ERREUR(lit(""), "Format invalide!");
    EXPECT_ERREUR(lit("# only a comment"), "Format invalide!");
    EXPECT_ERREUR(lit("# only a comment\n"), "Format invalide!");
}

TEST(Table2DLecture, MissingOrBadCellsFailAfterReshaping)
{
    std::istringstream is("(2,2)\n1 2\n3\n");
    Table2D<double> t;
    EXPECT_ERREUR(is >> t, "Format invalide!");
    ASSERT_EQ(t.lignes(), 2);
    ASSERT_EQ(t.colonnes(), 2);
    EXPECT_EQ(t(0, 0), 1);
    EXPECT_EQ(t(0, 1), 2);
    EXPECT_EQ(t(1, 0), 3);

    EXPECT_ERREUR(lit("(1,2)\n1 x\n"), "Format invalide!");
    EXPECT_ERREUR(lit("(1,2)\n1\n# two\n2\n"), "Format invalide!");
}

} // namespace
