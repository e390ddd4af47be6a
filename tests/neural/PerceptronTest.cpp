// The perceptron: construction and its random draws, forward pass, learning
// step with momentum, error, and the checks of each.
#include "neural/Perceptron.h"
#include "../core/ErreurAttendue.h"
#include "Outils.h"
#include "neural/Aleatoire.h"

#include <gtest/gtest.h>

using kiv_test::tailles;
using kiv_test::vecteur;

namespace {

/** A 1-1 network whose weight is 0.2 and bias 0.1, fresh (no momentum yet). */
void unUn(Perceptron& p)
{
    Poids& w = p[0][0][0];
    w.valeur = w.precedente = 0.2;
    Poids& b = p[0][0].biais;
    b.valeur = b.precedente = 0.1;
}

} // namespace

TEST(Perceptron, ConstructionDrawsInOrderWithinRange)
{
    aleatoire().initialiser(11);
    Perceptron p(tailles({2, 2, 1}), false);
    ASSERT_EQ(p.taille(), 2);
    EXPECT_EQ(p.nombreEntrees(), 2);
    EXPECT_EQ(p.nombreSorties(), 1);
    ASSERT_EQ(p[0].taille(), 2);
    ASSERT_EQ(p[1].taille(), 1);
    EXPECT_EQ(p[1][0].taille(), 2);

    // Per layer: the biases, then the weights of neuron 0, 1, ...
    Aleatoire a;
    a.initialiser(11);
    auto suivant = [&] { return a.uniforme() - 0.5; };
    EXPECT_EQ(p[0][0].biais.valeur, suivant());
    EXPECT_EQ(p[0][1].biais.valeur, suivant());
    EXPECT_EQ(p[0][0][0].valeur, suivant());
    EXPECT_EQ(p[0][0][1].valeur, suivant());
    EXPECT_EQ(p[0][1][0].valeur, suivant());
    EXPECT_EQ(p[0][1][1].valeur, suivant());
    EXPECT_EQ(p[1][0].biais.valeur, suivant());
    EXPECT_EQ(p[1][0][0].valeur, suivant());
    EXPECT_EQ(p[1][0][1].valeur, suivant());

    for (int i = 0; i < p.taille(); ++i) {
        for (int r = 0; r < p[i].taille(); ++r) {
            const Neurone& n = p[i][r];
            EXPECT_EQ(n.biais.variation(), 0.0);
            EXPECT_EQ(n.delta, 0.0);
            EXPECT_EQ(n.sortie, 0.0);
            for (int k = 0; k < n.taille(); ++k) {
                EXPECT_GT(n[k].valeur, -0.5);
                EXPECT_LE(n[k].valeur, 0.49999988);
                EXPECT_EQ(n[k].precedente, n[k].valeur);
            }
        }
    }
}

TEST(Perceptron, SameSeedSameNetwork)
{
    aleatoire().initialiser(5);
    Perceptron a(tailles({3, 5, 5, 2}), false);
    aleatoire().initialiser(5);
    Perceptron b(tailles({3, 5, 5, 2}), false);
    std::ostringstream ta;
    std::ostringstream tb;
    ta << a;
    tb << b;
    EXPECT_EQ(ta.str(), tb.str());
}

TEST(Perceptron, LogisticOutputs)
{
    Perceptron p(tailles({2, 1}), false);
    Neurone& n = p[0][0];
    n[0].valeur = n[1].valeur = n.biais.valeur = 0.0;
    p.propager(vecteur({3.0, -4.0}));
    EXPECT_EQ(n.sortie, 0.5);

    n[0].valeur = 1.0;
    p.propager(vecteur({800.0, 0.0}));
    EXPECT_LE(n.sortie, 1.0);
    EXPECT_GT(n.sortie, 0.999);
    p.propager(vecteur({-800.0, 0.0}));
    EXPECT_GE(n.sortie, 0.0);
    EXPECT_LT(n.sortie, 0.001);
}

TEST(Perceptron, TwoLearningStepsOfTheOneOneNetwork)
{
    Perceptron p(tailles({1, 1}), false);
    unUn(p);
    p.setGain(0.5);
    p.setMomentum(0.9);
    const Exemple e{vecteur({1.0}), vecteur({1.0})};
    Neurone& n = p[0][0];

    p.propager(e.entree);
    EXPECT_NEAR(n.sortie, 0.524979, 5e-7);
    p.retropropager(e);
    EXPECT_NEAR(n.delta, 0.118459, 5e-7);
    EXPECT_NEAR(n.biais.valeur, 0.0407706, 5e-8);
    EXPECT_NEAR(n[0].valeur, 0.259229, 5e-7);
    // The first step's change is the momentum of the second.
    EXPECT_NEAR(n[0].variation(), 0.259229 - 0.2, 5e-7);

    p.propager(e.entree);
    EXPECT_NEAR(n.sortie, 0.554399, 5e-7);
    p.retropropager(e);
    EXPECT_NEAR(n.delta, 0.110082, 5e-7);
    EXPECT_NEAR(n.biais.valeur, -0.0675767, 5e-8);
    EXPECT_NEAR(n[0].valeur, 0.367577, 5e-7);
}

TEST(Perceptron, HiddenDeltasUseTheUpdatedLayerAbove)
{
    // 1-1-1 with known values; the hidden delta is computed by hand from the
    // output neuron's new weight.
    Perceptron p(tailles({1, 1, 1}), false);
    p.setGain(0.5);
    p.setMomentum(0.0);
    Neurone& h = p[0][0];
    Neurone& o = p[1][0];
    h[0].valeur = 0.3;
    h.biais.valeur = -0.1;
    o[0].valeur = 0.7;
    o.biais.valeur = 0.2;
    const Exemple e{vecteur({2.0}), vecteur({0.9})};
    p.propager(e.entree);
    const double sh = h.sortie;
    const double so = o.sortie;
    p.retropropager(e);
    const double deltaO = (0.9 - so) * ((1 - so) * so);
    const double wO = deltaO * 0.5 * sh + 0.7;
    EXPECT_DOUBLE_EQ(o.delta, deltaO);
    EXPECT_DOUBLE_EQ(o[0].valeur, wO);
    EXPECT_DOUBLE_EQ(h.delta, ((1 - sh) * sh) * (wO * deltaO));
    EXPECT_DOUBLE_EQ(h[0].valeur, h.delta * 0.5 * 2.0 + 0.3);
}

TEST(Perceptron, ErrorOfTheLastForwardPass)
{
    Perceptron p(tailles({1, 2}), false);
    for (int r = 0; r < 2; ++r) {
        p[0][r][0].valeur = 0.0;
        p[0][r].biais.valeur = 0.0;
    }
    p.propager(vecteur({1.0}));
    EXPECT_DOUBLE_EQ(p.erreur(vecteur({1.0, 0.0})), (0.25 + 0.25) / 2);
    const Vecteur o = p.sorties();
    ASSERT_EQ(o.taille(), 2);
    EXPECT_EQ(o[1], 0.5);
}

TEST(Perceptron, SizeChecksAndTheirMessages)
{
    Perceptron p(tailles({2, 3, 1}), false);
    p.propager(vecteur({0.1, 0.2}));
    const double avant = p[0][0].sortie;
    EXPECT_ERREUR(p.propager(vecteur({0.1})), "Vecteur d'entree invalide!");
    EXPECT_EQ(p[0][0].sortie, avant);
    EXPECT_ERREUR(p.erreur(vecteur({0.1, 0.2})), "Vecteur desire invalide!");

    const double poids = p[1][0][0].valeur;
    EXPECT_ERREUR(p.retropropager({vecteur({0.1}), vecteur({0.5})}), "Data invalide!");
    EXPECT_ERREUR(p.retropropager({vecteur({0.1, 0.2}), vecteur({0.5, 1})}), "Data invalide!");
    EXPECT_EQ(p[1][0][0].valeur, poids);

    // A layer whose neurons do not match the layer below.
    p[1][0].redimensionner(2);
    EXPECT_ERREUR(p.propager(vecteur({0.1, 0.2})), "Couche precedente invalide!");
}

TEST(Perceptron, SingleEntryTableHasNoLayers)
{
    Perceptron p(tailles({3}), false);
    EXPECT_EQ(p.taille(), 0);
    EXPECT_EQ(p.nombreEntrees(), 3);
    EXPECT_EQ(p.nombreSorties(), 3);
    p.propager(vecteur({1, 2, 3}));
    EXPECT_ERREUR(p.sorties(), "Indice invalide!");
    EXPECT_ERREUR(Perceptron(Table1D<int>(), false), "Indice invalide!");
}
