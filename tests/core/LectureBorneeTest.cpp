// Hostile counts in the table texts: a reader obtains no more memory than
// its input fills, every structure stays within the memory budget, and an
// error is placed in its file.
#include "ErreurAttendue.h"

#include "core/BudgetMemoire.h"
#include "core/ErreurFichier.h"
#include "core/Table2D.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

namespace {

/** A budget of 64 MiB for the test, the default again afterwards. */
class LectureBornee : public testing::Test {
protected:
    void SetUp() override { definirBudgetMemoire(std::size_t{64} << 20); }
    void TearDown() override { definirBudgetMemoire(0); }
};

TEST_F(LectureBornee, AnnouncedCountsTheInputDoesNotBackAreFormatErrors)
{
    // 400 MB announced, 8 bytes given: refused for what is missing, never
    // for memory (the announced size alone would exceed the budget).
    std::istringstream ints("(100000000)\n1\n2\n");
    Table1D<int> t;
    EXPECT_ERREUR(ints >> t, "Format invalide!");
    EXPECT_LE(t.taille(), table_texte::lotLecture<int>());

    std::istringstream cellules("(100000000,1)\n1\n2\n");
    Table2D<double> m(2, 2);
    EXPECT_ERREUR(cellules >> m, "Format invalide!");
    EXPECT_EQ(m.lignes() * m.colonnes(), m.taille()) << "the shape stays that of the storage";

    std::istringstream imbriquees("(50000000)\n(2)\n1\n2\n");
    Table1D<Table1D<int>> tt;
    EXPECT_ERREUR(imbriquees >> tt, "Format invalide!");

    // A billion rows of nothing over a 2 x 3 table: no storage, no turn a
    // row, whether it is reshaped or read.
    std::istringstream vides("(909410941,0)");
    Table2D<double> petite(2, 3);
    vides >> petite;
    EXPECT_EQ(petite.lignes(), 909410941);
    EXPECT_EQ(petite.taille(), 0);

    // A count no int holds is no count.
    std::istringstream debordant("(99999999999)\n");
    EXPECT_ERREUR(debordant >> t, "Format invalide!");
}

TEST_F(LectureBornee, TablesBeyondALotReadExactlyAndEndAtTheirSize)
{
    const int n = table_texte::lotLecture<double>() * 2 + 3;
    std::string texte = "(" + std::to_string(n) + ",1)\n";
    for (int k = 0; k < n; ++k) {
        texte += std::to_string(k % 97) + "\n";
    }
    std::istringstream is(texte + "(3)\n7\n8\n9\n");
    Table2D<double> m;
    Table1D<int> t;
    is >> m >> t;
    ASSERT_EQ(m.lignes(), n);
    ASSERT_EQ(m.colonnes(), 1);
    EXPECT_EQ(m(n - 1, 0), (n - 1) % 97);
    EXPECT_EQ(m(table_texte::lotLecture<double>(), 0), table_texte::lotLecture<double>() % 97);
    EXPECT_EQ(t.taille(), 3);
    EXPECT_EQ(t[2], 9);
}

TEST_F(LectureBornee, RequestsBeyondTheBudgetAreRefusedBeforeAllocating)
{
    Table1D<double> t(4);
    EXPECT_ERREUR(t.redimensionner(10'000'000), "Erreur d'allocation de memoire!");
    EXPECT_EQ(t.taille(), 4);
    EXPECT_ERREUR((Table2D<double>(5000, 5000)), "Erreur d'allocation de memoire!");
    EXPECT_ERREUR(verifierBudgetMemoire(std::numeric_limits<double>::infinity()),
                  "Erreur d'allocation de memoire!");
    EXPECT_NO_THROW(verifierBudgetMemoire(64 << 20));

    definirBudgetMemoire(0);
    EXPECT_GE(budgetMemoire(), std::size_t{64} << 20) << "a quarter of the machine";
}

TEST(BudgetMemoireTexte, SizesWithOrWithoutSuffix)
{
    EXPECT_EQ(lireBudgetMemoire("1048576"), 1048576u);
    EXPECT_EQ(lireBudgetMemoire("512M"), std::size_t{512} << 20);
    EXPECT_EQ(lireBudgetMemoire("2g"), std::size_t{2} << 30);
    EXPECT_EQ(lireBudgetMemoire("64K"), 65536u);
    for (const char* faux : {"", "M", "-5", "12MB", "1.5G", " 12", "99999999999999999999G"}) {
        EXPECT_EQ(lireBudgetMemoire(faux), 0u) << faux;
    }
    EXPECT_EQ(lireBudgetMemoire(nullptr), 0u);
}

TEST(ErreurFichierPlace, LineOfTheFailedReadAndTheSecondLine)
{
    std::istringstream is("# note\r\n(2,1)\r\n 1\r\n x\r\n");
    Table2D<double> m;
    testing::internal::CaptureStderr();
    try {
        lireFichier(is, "poids.wgh", [&](std::istream& flux) { flux >> m; });
        FAIL() << "nothing thrown";
    } catch (const ErreurFichier& e) {
        EXPECT_EQ(e.message(), "Format invalide!");
        EXPECT_EQ(e.ligne(), 4);
        EXPECT_STREQ(e.what(), "Format invalide!\nFichier : poids.wgh, ligne 4");
    }
    testing::internal::GetCapturedStderr();
    // Cut short: the last line is the one at fault.
    std::istringstream court("(3)\n1\n2\n");
    Table1D<int> t;
    try {
        testing::internal::CaptureStderr();
        lireFichier(court, "t.txt", [&](std::istream& flux) { flux >> t; });
    } catch (const ErreurFichier& e) {
        EXPECT_EQ(e.ligne(), 3);
    }
    testing::internal::GetCapturedStderr();
    EXPECT_STREQ(ErreurFichier("Ensemble vide!", "a.dat", 0).what(),
                 "Ensemble vide!\nFichier : a.dat");
}

} // namespace
