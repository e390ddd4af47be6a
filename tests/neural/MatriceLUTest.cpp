#include "../core/ErreurAttendue.h"

#include "Outils.h"
#include "neural/Matrice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

using kiv_test::depuis;

namespace {

void attendreIdentite(const Matrice& m, double tolerance)
{
    ASSERT_EQ(m.lignes(), m.colonnes());
    for (int i = 0; i < m.lignes(); ++i) {
        for (int j = 0; j < m.colonnes(); ++j) {
            EXPECT_NEAR(m(i, j), i == j ? 1.0 : 0.0, tolerance) << "cell " << i << ", " << j;
        }
    }
}

TEST(MatriceCarree, IdentiteResetsEveryCell)
{
    Matrice m(3, 3, 7.0);
    m.identite();
    attendreIdentite(m, 0.0);

    Matrice r(2, 3, 7.0);
    EXPECT_ERREUR(r.identite(), "Matrice incompatible!");
    EXPECT_EQ(r(1, 2), 7.0);
}

TEST(MatriceCarree, NonSquareMatricesHaveNoDeterminantNorInverse)
{
    const Matrice m(2, 3, 1.0);
    EXPECT_ERREUR(m.determinant(), "Matrice incompatible!");
    EXPECT_ERREUR(m.inverse(), "Matrice incompatible!");
}

TEST(MatriceCarree, DiagonalMatrix)
{
    const Matrice d = depuis(2, 2, {2, 0, 0, 4});
    EXPECT_EQ(d.determinant(), 8.0);
    const Matrice inv = d.inverse();
    EXPECT_EQ(inv(0, 0), 0.5);
    EXPECT_EQ(inv(0, 1), 0.0);
    EXPECT_EQ(inv(1, 0), 0.0);
    EXPECT_EQ(inv(1, 1), 0.25);
}

TEST(MatriceCarree, KnownThreeByThree)
{
    const Matrice a = depuis(3, 3, {2, -3, 1, 2, 0, -1, 1, 4, 5});
    EXPECT_NEAR(a.determinant(), 49.0, 1e-12);
    attendreIdentite(a.inverse() * a, 1e-12);
    attendreIdentite(a * a.inverse(), 1e-12);
    EXPECT_EQ(a(2, 2), 5.0); // unchanged
}

TEST(MatriceCarree, RowExchangesFlipTheSign)
{
    EXPECT_EQ(depuis(2, 2, {0, 1, 1, 0}).determinant(), -1.0);
    EXPECT_EQ(depuis(3, 3, {0, 0, 3, 0, 2, 0, 1, 0, 0}).determinant(), -6.0);
    EXPECT_EQ(Matrice(Identite, 4).determinant(), 1.0);
}

TEST(MatriceCarree, LargerInverse)
{
    const int n = 6;
    Matrice a(n, n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            a(i, j) = 1.0 / (i + j + 1) + (i == j ? 1.0 : 0.0) + (j == n - 1 - i ? 3.0 : 0.0);
        }
    }
    attendreIdentite(a * a.inverse(), 1e-10);
}

TEST(MatriceLU, ScaleFactorsAreInverseRowMaxima)
{
    const Table1D<double> e = depuis(2, 3, {-4, 2, 1, 0.5, 0, -0.25}).echelleLU();
    ASSERT_EQ(e.taille(), 2);
    EXPECT_EQ(e[0], 0.25);
    EXPECT_EQ(e[1], 2.0);
    EXPECT_ERREUR(depuis(2, 2, {1, 2, 0, 0}).echelleLU(), "Matrice singuliere!");
}

TEST(MatriceLU, TiedPivotsChooseTheLaterRow)
{
    // Both rows weigh 0.5 in column 0: the second becomes the pivot, and the
    // zero left in the last pivot is replaced by 1e-20.
    const Matrice a = depuis(2, 2, {1, 2, 2, 4});
    Table1D<int> permutation(2);
    int signe = 0;
    const Matrice lu = a.decomposerLU(permutation, signe);
    EXPECT_EQ(signe, -1);
    EXPECT_EQ(permutation[0], 1);
    EXPECT_EQ(permutation[1], 1);
    EXPECT_EQ(lu(0, 0), 2.0);
    EXPECT_EQ(lu(0, 1), 4.0);
    EXPECT_EQ(lu(1, 0), 0.5);
    EXPECT_EQ(lu(1, 1), 1e-20);
    EXPECT_EQ(a(0, 0), 1.0);

    EXPECT_DOUBLE_EQ(a.determinant(), -2e-20);
}

TEST(MatriceLU, SingularMatricesWithoutAZeroRowGiveHugeInverses)
{
    const Matrice inv = depuis(2, 2, {1, 2, 2, 4}).inverse();
    EXPECT_DOUBLE_EQ(inv(0, 0), -2e20);
    EXPECT_DOUBLE_EQ(inv(1, 0), 1e20);
    EXPECT_DOUBLE_EQ(inv(0, 1), 1e20);
    EXPECT_DOUBLE_EQ(inv(1, 1), -5e19);
}

TEST(MatriceLU, AZeroRowIsSingular)
{
    const Matrice a = depuis(3, 3, {1, 2, 3, 0, 0, 0, 4, 5, 6});
    EXPECT_ERREUR(a.determinant(), "Matrice singuliere!");
    EXPECT_ERREUR(a.inverse(), "Matrice singuliere!");

    Table1D<int> permutation(3);
    int signe = 5;
    EXPECT_ERREUR(a.decomposerLU(permutation, signe), "Matrice singuliere!");
    EXPECT_EQ(signe, 5);
}

TEST(MatriceLU, SolvesALinearSystem)
{
    const Matrice a = depuis(3, 3, {0, 2, 1, 3, -1, 2, 1, 1, 4});
    Vecteur x(3);
    x[0] = 1;
    x[1] = -2;
    x[2] = 0.5;
    Vecteur b = a * x;

    Table1D<int> permutation(3);
    int signe = 0;
    const Matrice lu = a.decomposerLU(permutation, signe);
    lu.resoudreLU(permutation, b);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(b[i], x[i], 1e-12);
    }
}

TEST(MatriceLU, RefusesMismatchedCompanionsBeforeChangingAnything)
{
    const Matrice a = depuis(2, 2, {4, 1, 2, 3});
    Table1D<int> courte(1);
    int signe = 0;
    EXPECT_ERREUR(a.decomposerLU(courte, signe), "Indice invalide!");
    EXPECT_ERREUR(Matrice(2, 3, 1.0).decomposerLU(courte, signe), "Indice invalide!");

    Table1D<int> permutation(2);
    const Matrice lu = a.decomposerLU(permutation, signe);
    Vecteur b(1);
    b[0] = 6;
    EXPECT_ERREUR(lu.resoudreLU(permutation, b), "Indice invalide!");
    EXPECT_EQ(b[0], 6);

    Table1D<int> fausse(2);
    fausse[0] = 0;
    fausse[1] = 2;
    Vecteur c(2);
    c[0] = 6;
    EXPECT_ERREUR(lu.resoudreLU(fausse, c), "Indice invalide!");
    EXPECT_EQ(c[0], 6);
}

TEST(MatriceLU, EmptyMatrix)
{
    EXPECT_EQ(Matrice().determinant(), 1.0);
    EXPECT_EQ(Matrice().inverse().taille(), 0);
}

} // namespace
