#include "../core/ErreurAttendue.h"

#include "neural/Matrice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

namespace {

/** A matrix whose cell (i, j) holds 10 i + j + 1. */
Matrice numerotee(int l, int c)
{
    Matrice m(l, c);
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            m(i, j) = 10 * i + j + 1;
        }
    }
    return m;
}

/** Every cell of `m`, row after row, as "a b c; d e f". */
std::string cellules(const Matrice& m)
{
    std::ostringstream os;
    for (int i = 0; i < m.lignes(); ++i) {
        for (int j = 0; j < m.colonnes(); ++j) {
            os << (j ? " " : (i ? "; " : "")) << m(i, j);
        }
    }
    return os.str();
}

TEST(MatriceConstruction, FillsEveryCellWithTheValue)
{
    Matrice m(2, 3, 1.5);
    EXPECT_EQ(m.lignes(), 2);
    EXPECT_EQ(m.colonnes(), 3);
    EXPECT_EQ(cellules(m), "1.5 1.5 1.5; 1.5 1.5 1.5");
    EXPECT_EQ(cellules(Matrice(1, 2)), "0 0");
    EXPECT_ERREUR(Matrice(-1, 2), "Dimension invalide!");
}

TEST(MatriceConstruction, SquareKindsGiveTheIdentityOrZeros)
{
    EXPECT_EQ(cellules(Matrice(Identite, 3)), "1 0 0; 0 1 0; 0 0 1");
    EXPECT_EQ(cellules(Matrice(static_cast<TypeMatrice>(7), 2)), "0 0; 0 0");
    EXPECT_EQ(Matrice(Identite, 0).taille(), 0);
}

TEST(Vecteur, IsAOneColumnMatrix)
{
    Vecteur v(3);
    EXPECT_EQ(v.taille(), 3);
    EXPECT_EQ(v.colonnes(), 1);
    EXPECT_EQ(cellules(v), "0; 0; 0");
    v[2] = 4.5;
    EXPECT_EQ(v(2, 0), 4.5);
    EXPECT_ERREUR(v[3], "Indice invalide!");
    v.redimensionner(5);
    EXPECT_EQ(v.lignes(), 5);
    EXPECT_EQ(v.colonnes(), 1);
    EXPECT_EQ(v[2], 4.5);

    std::ostringstream os;
    os << Vecteur(2);
    EXPECT_EQ(os.str(), "(2,1)\n          0\n          0\n");
}

TEST(Vecteur, ComesFromOneColumnMatricesOnly)
{
    const Vecteur v(numerotee(3, 1));
    EXPECT_EQ(v.taille(), 3);
    EXPECT_EQ(cellules(v), "1; 11; 21");
    EXPECT_ERREUR(Vecteur(numerotee(3, 2)), "Matrice incompatible!");
    EXPECT_ERREUR(Vecteur(Matrice()), "Matrice incompatible!");

    Vecteur w(2);
    w[0] = 8;
    EXPECT_ERREUR(w = numerotee(2, 2), "Matrice incompatible!");
    EXPECT_EQ(cellules(w), "8; 0");
    w = numerotee(1, 2).transposee() * numerotee(1, 1);
    EXPECT_EQ(cellules(w), "1; 2");
}

TEST(Vecteur, CopiesATable1D)
{
    Table1D<double> t(3);
    t[0] = -1;
    t[1] = 2.25;
    t[2] = 7;
    const Vecteur v(t);
    EXPECT_EQ(v.taille(), 3);
    EXPECT_EQ(cellules(v), "-1; 2.25; 7");
    EXPECT_EQ(Vecteur(Table1D<double>()).taille(), 0);
}

TEST(MatriceArithmetique, AddsAndSubtractsCellWise)
{
    const Matrice a = numerotee(2, 2);
    const Matrice b(2, 2, 0.5);
    EXPECT_EQ(cellules(a + b), "1.5 2.5; 11.5 12.5");
    EXPECT_EQ(cellules(a - b), "0.5 1.5; 10.5 11.5");

    Matrice c = a;
    EXPECT_EQ(&(c += b), &c);
    EXPECT_EQ(cellules(c), "1.5 2.5; 11.5 12.5");
    EXPECT_EQ(&(c -= a), &c);
    EXPECT_EQ(cellules(c), "0.5 0.5; 0.5 0.5");
}

TEST(MatriceArithmetique, ShapeMismatchesAreRefusedWithoutChangingTheOperands)
{
    Matrice a = numerotee(2, 3);
    const Matrice b = numerotee(3, 2);
    const std::string avant = cellules(a);
    EXPECT_ERREUR(a + b, "Matrice incompatible!");
    EXPECT_ERREUR(a - b, "Matrice incompatible!");
    EXPECT_ERREUR(a += b, "Matrice incompatible!");
    EXPECT_ERREUR(a -= b, "Matrice incompatible"); // the one message without '!'
    EXPECT_ERREUR(a += numerotee(2, 2), "Matrice incompatible!");
    EXPECT_ERREUR(a * a, "Matrice incompatible!");
    EXPECT_EQ(cellules(a), avant);
    EXPECT_EQ(cellules(b), "1 2; 11 12; 21 22");
}

TEST(MatriceArithmetique, ProductOfTwoByThreeAndThreeByFour)
{
    const Matrice a = numerotee(2, 3);
    const Matrice b = numerotee(3, 4);
    const Matrice p = a * b;
    EXPECT_EQ(p.lignes(), 2);
    EXPECT_EQ(p.colonnes(), 4);
    // Row 0 of a is 1 2 3, column 0 of b is 1 11 21: 1 + 22 + 63 = 86.
    EXPECT_EQ(cellules(p), "86 92 98 104; 416 452 488 524");

    // An empty inner dimension gives a matrix of zeros.
    EXPECT_EQ(cellules(Matrice(2, 0) * Matrice(0, 3)), "0 0 0; 0 0 0");
}

TEST(MatriceArithmetique, ProductSumsTermsInIncreasingOrder)
{
    Matrice a(1, 3);
    a(0, 0) = 1.0;
    a(0, 1) = 1e16;
    a(0, 2) = -1e16;
    const Matrice uns(3, 1, 1.0);
    // (1 + 1e16) rounds to 1e16, so the 1 is lost; any other order keeps it.
    EXPECT_EQ((a * uns)(0, 0), 0.0);
}

TEST(MatriceArithmetique, ScalarOperationsTouchEveryCell)
{
    const Matrice a = numerotee(1, 3);
    EXPECT_EQ(cellules(a + 1), "2 3 4");
    EXPECT_EQ(cellules(a - 1), "0 1 2");
    EXPECT_EQ(cellules(a * 2), "2 4 6");
    EXPECT_EQ(cellules(a / 4), "0.25 0.5 0.75");
    EXPECT_EQ(cellules(a), "1 2 3");

    Matrice b = a;
    EXPECT_EQ(&(b += 1), &b);
    EXPECT_EQ(&(b *= 3), &b);
    EXPECT_EQ(&(b -= 0.5), &b);
    EXPECT_EQ(&(b /= 2), &b);
    EXPECT_EQ(cellules(b), "2.75 4.25 5.75");

    b /= 0.0;
    EXPECT_EQ(b(0, 0), std::numeric_limits<double>::infinity());
}

TEST(MatriceArithmetique, TransposeSwapsTheShape)
{
    const Matrice t = numerotee(2, 3).transposee();
    EXPECT_EQ(t.lignes(), 3);
    EXPECT_EQ(t.colonnes(), 2);
    EXPECT_EQ(cellules(t), "1 11; 2 12; 3 13");

    const Matrice vide = Matrice(0, 3).transposee();
    EXPECT_EQ(vide.lignes(), 3);
    EXPECT_EQ(vide.colonnes(), 0);
}

TEST(MatriceRearrangement, ExchangesRowsAndColumns)
{
    Matrice m = numerotee(3, 3);
    m.echangerLignes(0, 2);
    EXPECT_EQ(cellules(m), "21 22 23; 11 12 13; 1 2 3");
    m.echangerColonnes(1, 2);
    EXPECT_EQ(cellules(m), "21 23 22; 11 13 12; 1 3 2");
    m.echangerLignes(1, 1);
    EXPECT_EQ(cellules(m), "21 23 22; 11 13 12; 1 3 2");

    EXPECT_ERREUR(m.echangerLignes(0, 3), "Indice invalide!");
    EXPECT_ERREUR(m.echangerColonnes(-1, 0), "Indice invalide!");
    EXPECT_EQ(cellules(m), "21 23 22; 11 13 12; 1 3 2");
}

TEST(MatriceRearrangement, CopiesAColumnForEveryRowOfTheDestination)
{
    Matrice d(2, 3);
    const Matrice s = numerotee(3, 2); // more rows than needed
    d.copierColonne(s, 1, 2);
    EXPECT_EQ(cellules(d), "0 0 2; 0 0 12");

    d.copierColonne(d, 2, 0); // within the same matrix
    EXPECT_EQ(cellules(d), "2 0 2; 12 0 12");

    EXPECT_ERREUR(d.copierColonne(Matrice(1, 3, 9.0), 0, 1), "Indice invalide!");
    EXPECT_ERREUR(d.copierColonne(s, 2, 0), "Indice invalide!");
    EXPECT_ERREUR(d.copierColonne(s, 0, 3), "Indice invalide!");
    EXPECT_EQ(cellules(d), "2 0 2; 12 0 12");
}

} // namespace
