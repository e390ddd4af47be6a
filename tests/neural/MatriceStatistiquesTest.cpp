#include "../core/ErreurAttendue.h"

#include "Outils.h"
#include "neural/Matrice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

using kiv_test::depuis;

namespace {

// Two measures over four samples: x = 1 2 3 4, y = 2 4 5 9.
Matrice echantillons()
{
    return depuis(4, 2, {1, 2, 2, 4, 3, 5, 4, 9});
}

TEST(MatriceRecherche, ExtremesOfTheWholeMatrixRowsAndColumns)
{
    const Matrice m = depuis(2, 3, {4, -1, 7, 0, 9, -3});
    EXPECT_EQ(m.max(), 9);
    EXPECT_EQ(m.min(), -3);
    EXPECT_EQ(m.maxColonne(0), 4);
    EXPECT_EQ(m.minColonne(1), -1);
    EXPECT_EQ(m.maxLigne(0), 7);
    EXPECT_EQ(m.minLigne(1), -3);
    EXPECT_ERREUR(m.maxColonne(3), "Indice invalide!");
    EXPECT_ERREUR(m.minLigne(2), "Indice invalide!");
}

TEST(MatriceRecherche, EmptyMatricesHaveNoExtreme)
{
    EXPECT_ERREUR(Matrice().max(), "Indice invalide!");
    EXPECT_ERREUR(Matrice(0, 3).min(), "Indice invalide!");
    EXPECT_ERREUR(Matrice(0, 3).maxColonne(0), "Indice invalide!");
    EXPECT_ERREUR(Matrice(2, 0).colonneMin(0), "Indice invalide!");

    int i = -7;
    int j = -8;
    EXPECT_ERREUR(Matrice(3, 0).positionMax(i, j), "Indice invalide!");
    EXPECT_EQ(i, -7);
    EXPECT_EQ(j, -8);
}

TEST(MatriceRecherche, PositionsReportTheFirstOccurrenceInRowMajorOrder)
{
    const Matrice m = depuis(3, 3, {1, 5, 0, 5, 0, 5, 2, 0, 3});
    int i = -1;
    int j = -1;
    m.positionMax(i, j);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(j, 1);
    m.positionMin(i, j);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(j, 2);

    const Matrice d = depuis(2, 2, {1, 2, 3, 8});
    d.positionMax(i, j);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(j, 1);
}

TEST(MatriceRecherche, RowAndColumnIndicesKeepTheFirstOfEqualValues)
{
    const Matrice m = depuis(3, 3, {1, 5, 0, 5, 0, 5, 2, 0, 3});
    EXPECT_EQ(m.ligneMax(0), 1);
    EXPECT_EQ(m.ligneMin(1), 1);
    EXPECT_EQ(m.ligneMax(2), 1);
    EXPECT_EQ(m.ligneMin(2), 0);
    EXPECT_EQ(m.colonneMax(1), 0);
    EXPECT_EQ(m.colonneMin(1), 1);
    EXPECT_EQ(m.colonneMin(2), 1);
    EXPECT_EQ(m.colonneMax(2), 2);
    EXPECT_ERREUR(m.ligneMax(-1), "Indice invalide!");
    EXPECT_ERREUR(m.colonneMin(3), "Indice invalide!");
}

TEST(MatriceStatistiques, SumsMeansAndVariances)
{
    const Matrice m = echantillons();
    EXPECT_EQ(m.somme(), 30);
    EXPECT_EQ(m.sommeColonne(1), 20);
    EXPECT_EQ(m.sommeLigne(3), 13);
    EXPECT_EQ(m.sommeCarres(), 156);
    EXPECT_EQ(m.sommeCarresColonne(0), 30);
    EXPECT_EQ(m.sommeCarresLigne(1), 20);
    EXPECT_EQ(m.moyenne(), 3.75);
    EXPECT_EQ(m.moyenneColonne(0), 2.5);
    EXPECT_EQ(m.moyenneLigne(2), 4);
    EXPECT_DOUBLE_EQ(m.variance(), 43.5 / 7);
    EXPECT_DOUBLE_EQ(m.varianceColonne(0), 5.0 / 3);
    EXPECT_DOUBLE_EQ(m.varianceColonne(1), 26.0 / 3);
    EXPECT_EQ(m.varianceLigne(0), 0.5);

    EXPECT_ERREUR(m.sommeColonne(2), "Indice invalide!");
    EXPECT_ERREUR(m.sommeCarresLigne(4), "Indice invalide!");
    EXPECT_ERREUR(Matrice(0, 2).moyenneColonne(2), "Indice invalide!");
    EXPECT_EQ(Matrice(0, 2).sommeColonne(1), 0.0);
}

TEST(MatriceStatistiques, TheTotalIsTheSumOfTheColumnSums)
{
    // Columns sum to 0 and 2; a row-major running sum would lose one of the 1s.
    const Matrice m = depuis(2, 2, {1e16, 1, -1e16, 1});
    EXPECT_EQ(m.somme(), 2.0);
    EXPECT_EQ(m.sommeLigne(0), 1e16);
}

TEST(MatriceStatistiques, DegenerateVariancesFollowFloatingPointRules)
{
    const Matrice un(1, 1, 3.0);
    double v = 0;
    EXPECT_NO_THROW(v = un.variance());
    EXPECT_TRUE(std::isnan(v) || std::isinf(v));
    EXPECT_TRUE(std::isnan(Matrice().moyenne()));
}

TEST(MatriceStatistiques, CovarianceOfTwoMeasures)
{
    const Matrice m = echantillons();
    const Matrice c = m.covariance();
    ASSERT_EQ(c.lignes(), 2);
    ASSERT_EQ(c.colonnes(), 2);
    EXPECT_DOUBLE_EQ(c(0, 0), 5.0 / 3);
    EXPECT_DOUBLE_EQ(c(1, 1), 26.0 / 3);
    EXPECT_DOUBLE_EQ(c(0, 1), 11.0 / 3);
    EXPECT_EQ(c(1, 0), c(0, 1));
    EXPECT_EQ(m(3, 1), 9); // the data keep their values
}

TEST(MatriceStatistiques, CorrelationOfTwoMeasures)
{
    const Matrice r = echantillons().correlation();
    ASSERT_EQ(r.lignes(), 2);
    ASSERT_EQ(r.colonnes(), 2);
    EXPECT_DOUBLE_EQ(r(0, 0), 1.0);
    EXPECT_DOUBLE_EQ(r(1, 1), 1.0);
    EXPECT_DOUBLE_EQ(r(0, 1), 11.0 / std::sqrt(130.0));
    EXPECT_EQ(r(1, 0), r(0, 1));
}

} // namespace
