// Reading a training set, the scaling computed from it, and the dump.
#include "trainer/Preparation.h"
#include "../core/ErreurAttendue.h"
#include "FichiersTemporaires.h"
#include "trainer/MessagesReseau.h"
#include "trainer/TexteWindows.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const char* const kCourt = "# two examples, 2 inputs, 1 output\n"
                           "(2)\n"
                           "(2,1) 0.10 12\n"
                           "(1,1) 3.5\n"
                           "(2,1) 0.30 20\n"
                           "(1,1) 1.0\n";

Table1D<Exemple> lire(const std::string& texte)
{
    std::istringstream is(texte);
    is.imbue(std::locale::classic());
    return lireEnsemble(is);
}

ParametresReseau sorties(int n)
{
    ParametresReseau p;
    p.NeuroneSortie = n;
    return p;
}

bool diagonale(const Matrice& m)
{
    for (int i = 0; i < m.lignes(); ++i) {
        for (int j = 0; j < m.colonnes(); ++j) {
            if (i != j && m(i, j) != 0.0) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(Preparation, ShortTrainingFileReadsAndScales)
{
    Table1D<Exemple> ensemble = lire(kCourt);
    ASSERT_EQ(ensemble.taille(), 2);
    EXPECT_EQ(ensemble[0].entree[1], 12.0);
    EXPECT_EQ(ensemble[1].desire[0], 1.0);

    const MiseAEchelle e = calculerEchelles(ensemble, sorties(1));
    ASSERT_EQ(e.Translation1.taille(), 2);
    EXPECT_DOUBLE_EQ(e.Translation1[0], 0.2);
    EXPECT_EQ(e.Translation1[1], 16.0);
    ASSERT_EQ(e.Echelle1.lignes(), 2);
    ASSERT_EQ(e.Echelle1.colonnes(), 2);
    EXPECT_TRUE(diagonale(e.Echelle1));
    EXPECT_DOUBLE_EQ(e.Echelle1(0, 0), 25.0);
    EXPECT_EQ(e.Echelle1(1, 1), 0.625);

    appliquerEchelles(ensemble, e);
    // Each input component spans exactly [-2.5, 2.5].
    EXPECT_DOUBLE_EQ(ensemble[0].entree[0], -2.5);
    EXPECT_DOUBLE_EQ(ensemble[1].entree[0], 2.5);
    EXPECT_EQ(ensemble[0].entree[1], -2.5);
    EXPECT_EQ(ensemble[1].entree[1], 2.5);
    // 0.8 * y / 5 + 0.1
    EXPECT_DOUBLE_EQ(ensemble[0].desire[0], 0.66);
    EXPECT_DOUBLE_EQ(ensemble[1].desire[0], 0.26);
}

TEST(Preparation, DefaultOutputFieldsGiveScale016AndOffsetMinus0625)
{
    const Table1D<Exemple> ensemble = lire("(1) (3,1) 1 2 3 (2,1) 0 5");
    const MiseAEchelle e = calculerEchelles(ensemble, ParametresReseau{});
    ASSERT_EQ(e.Echelle2.lignes(), 2);
    ASSERT_EQ(e.Echelle2.colonnes(), 2);
    EXPECT_TRUE(diagonale(e.Echelle2));
    EXPECT_DOUBLE_EQ(e.Echelle2(0, 0), 0.16);
    EXPECT_DOUBLE_EQ(e.Echelle2(1, 1), 0.16);
    ASSERT_EQ(e.Translation2.taille(), 2);
    EXPECT_DOUBLE_EQ(e.Translation2[0], -0.625);
    EXPECT_DOUBLE_EQ(e.Translation2[1], -0.625);

    // Outputs 0 .. 5 are taught as 0.1 .. 0.9, and read back the other way.
    Table1D<Exemple> scale = ensemble;
    appliquerEchelles(scale, e);
    EXPECT_DOUBLE_EQ(scale[0].desire[0], 0.1);
    EXPECT_DOUBLE_EQ(scale[0].desire[1], 0.9);
    EXPECT_DOUBLE_EQ(0.9 / e.Echelle2(0, 0) + e.Translation2[0], 5.0);
    EXPECT_NEAR(0.1 / e.Echelle2(1, 1) + e.Translation2[1], 0.0, 1e-15);
}

TEST(Preparation, ConstantInputKeepsScaleOneAndIsTaughtAsZero)
{
    Table1D<Exemple> ensemble = lire("(3)\n"
                                     "(2,1) 7 -1 (1,1) 0\n"
                                     "(2,1) 7  3 (1,1) 0\n"
                                     "(2,1) 7  1 (1,1) 0\n");
    const MiseAEchelle e = calculerEchelles(ensemble, sorties(1));
    EXPECT_EQ(e.Echelle1(0, 0), 1.0);
    EXPECT_EQ(e.Translation1[0], 7.0);
    EXPECT_EQ(e.Echelle1(1, 1), 1.25);
    EXPECT_EQ(e.Translation1[1], 1.0);
    appliquerEchelles(ensemble, e);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(ensemble[k].entree[0], 0.0);
    }
    EXPECT_EQ(ensemble[0].entree[1], -2.5);
    EXPECT_EQ(ensemble[1].entree[1], 2.5);
    EXPECT_EQ(ensemble[2].entree[1], 0.0);
}

TEST(Preparation, ZeroEpsilonOnlyShiftsTheOutputs)
{
    ParametresReseau p = sorties(2);
    p.Epsilon = 0.0;
    p.MinOutput = -3.0;
    p.MaxOutput = -3.0; // whatever MaxOutput is
    Table1D<Exemple> ensemble = lire("(1) (1,1) 4 (2,1) -3 10");
    const MiseAEchelle e = calculerEchelles(ensemble, p);
    EXPECT_EQ(e.Echelle2(0, 0), 1.0);
    EXPECT_EQ(e.Echelle2(1, 1), 1.0);
    EXPECT_EQ(e.Translation2[0], -3.0);
    EXPECT_EQ(e.Translation2[1], -3.0);
    appliquerEchelles(ensemble, e);
    EXPECT_EQ(ensemble[0].desire[0], 0.0);
    EXPECT_EQ(ensemble[0].desire[1], 13.0);
}

TEST(Preparation, EmptySetStillBuildsTheOutputScaling)
{
    const Table1D<Exemple> ensemble = lire("# nothing yet\n(0)\n");
    EXPECT_EQ(ensemble.taille(), 0);
    const MiseAEchelle e = calculerEchelles(ensemble, sorties(3));
    EXPECT_EQ(e.Translation1.taille(), 0);
    EXPECT_EQ(e.Echelle1.lignes(), 0);
    EXPECT_EQ(e.Echelle1.colonnes(), 0);
    EXPECT_EQ(e.Echelle2.lignes(), 3);
    EXPECT_EQ(e.Translation2.taille(), 3);
    EXPECT_DOUBLE_EQ(e.Translation2[2], -0.625);
    // No output at all: nothing to divide by.
    const MiseAEchelle vide = calculerEchelles(ensemble, sorties(0));
    EXPECT_EQ(vide.Echelle2.lignes(), 0);
    EXPECT_EQ(vide.Translation2.taille(), 0);
}

TEST(Preparation, CommentsAndLayoutAreFree)
{
    const Table1D<Exemple> ensemble = lire("# header\r\n  # indented comment\r\n(1)\r\n"
                                           "# input\r\n(2,\r\n1)\r\n  1.5\r\n\r\n-2\r\n"
                                           "# desired\r\n( 1 , 1 )4e-1\r\n");
    ASSERT_EQ(ensemble.taille(), 1);
    EXPECT_EQ(ensemble[0].entree.taille(), 2);
    EXPECT_EQ(ensemble[0].entree[1], -2.0);
    EXPECT_EQ(ensemble[0].desire[0], 0.4);
}

TEST(Preparation, MalformedFilesAreRefused)
{
    EXPECT_ERREUR(lire(""), "Format invalide!");
    EXPECT_ERREUR(lire("# only a comment"), "Format invalide!");
    EXPECT_ERREUR(lire("(-1)"), "Format invalide!");
    EXPECT_ERREUR(lire("[2]"), "Format invalide!");
    EXPECT_ERREUR(lire("(2) (1,1) 1 (1,1) 2"), "Format invalide!");
    EXPECT_ERREUR(lire("(1) (2,1) 1 x (1,1) 2"), "Format invalide!");
    EXPECT_ERREUR(lire("(1) (2;1) 1 2 (1,1) 2"), "Format invalide!");
}

TEST(Preparation, InconsistentSizesAreRefused)
{
    // A later input shorter than the first.
    EXPECT_ERREUR(calculerEchelles(lire("(2) (2,1) 1 2 (1,1) 0 (1,1) 1 (1,1) 0"), sorties(1)),
                  "Indice invalide!");

    // A longer one passes the range but not the scaling.
    Table1D<Exemple> plusLong = lire("(2) (1,1) 1 (1,1) 0 (2,1) 3 4 (1,1) 0");
    MiseAEchelle e = calculerEchelles(plusLong, sorties(1));
    EXPECT_ERREUR(appliquerEchelles(plusLong, e), "Matrice incompatible!");

    // A desired vector that is not NeuroneSortie long.
    Table1D<Exemple> desire = lire("(1) (1,1) 1 (2,1) 0 1");
    e = calculerEchelles(desire, sorties(1));
    EXPECT_ERREUR(appliquerEchelles(desire, e), "Matrice incompatible!");
}

TEST(Preparation, MarginWithoutOutputRangeIsRefused)
{
    // 0.8 / (MaxOutput - MinOutput) would be infinite and the network would learn NaN.
    ParametresReseau p = sorties(1);
    p.MinOutput = 2.0;
    p.MaxOutput = 2.0;
    EXPECT_ERREUR(calculerEchelles(lire("(1) (1,1) 1 (1,1) 2"), p), msg::PlageSortieInvalide);
}

TEST(Preparation, DumpLayout)
{
    Table1D<Exemple> ensemble = lire(kCourt);
    const MiseAEchelle e = calculerEchelles(ensemble, sorties(1));
    appliquerEchelles(ensemble, e);

    kiv_test::RepertoireTemporaire dossier;
    {
        FichierTexteSortie f(dossier / "test.ext");
        ecrireDump(f, ensemble, e);
        ASSERT_TRUE(f.fermer());
    }
    EXPECT_EQ(kiv_test::lireOctets(dossier / "test.ext"),
              "(2)\r\n"
              "(2,1)\r\n       -2.5\r\n       -2.5\r\n(1,1)\r\n       0.66\r\n\r\n"
              "(2,1)\r\n        2.5\r\n        2.5\r\n(1,1)\r\n       0.26\r\n\r\n"
              "Echelle 1\r\n(2,2)\r\n         25          0\r\n          0      0.625\r\n"
              "Echelle 2\r\n(1,1)\r\n       0.16\r\n"
              "Translation 1\r\n(2,1)\r\n        0.2\r\n         16\r\n"
              "Translation 2\r\n(1,1)\r\n     -0.625\r\n");
}
