// The weights text of a perceptron: exact layout, read back, and refusals.
#include "../core/ErreurAttendue.h"
#include "Outils.h"
#include "neural/Perceptron.h"

#include <gtest/gtest.h>

#include <sstream>

using kiv_test::tailles;
using kiv_test::vecteur;

namespace {

/** A 2-2-1 network with recognisable values. */
void remplir(Perceptron& p)
{
    double v = 0.125;
    for (int i = 0; i < p.taille(); ++i) {
        for (int r = 0; r < p[i].taille(); ++r) {
            p[i][r].biais.valeur = -v;
            for (int k = 0; k < p[i][r].taille(); ++k) {
                v += 0.5;
                p[i][r][k].valeur = v / 3.0;
            }
        }
    }
}

} // namespace

TEST(PerceptronTexte, LayoutOfATwoTwoOneNetwork)
{
    Perceptron p(tailles({2, 2, 1}), false);
    remplir(p);
    std::ostringstream os;
    os << p;
    EXPECT_EQ(os.str(), "(2)\n"
                        "(2)\n"
                        "-0.125\n(2)\n0.208333\n0.375\n\n"
                        "-1.125\n(2)\n0.541667\n0.708333\n\n"
                        "\n"
                        "(1)\n"
                        "-2.125\n(2)\n0.875\n1.04167\n\n"
                        "\n");
}

TEST(PerceptronTexte, ReadBackRoundsToSixDigitsWithoutMomentum)
{
    Perceptron p(tailles({3, 4, 2}), false);
    p.setGain(0.3);
    std::ostringstream os;
    os << "# network saved for the test\n" << p;

    Perceptron q(false);
    EXPECT_EQ(q.nombreEntrees(), -1);
    std::istringstream is(os.str());
    is >> q;
    EXPECT_EQ(q.nombreEntrees(), 3);
    EXPECT_EQ(q.nombreSorties(), 2);
    EXPECT_EQ(q.gain(), 0.5); // parameters are not in the text
    ASSERT_EQ(q.taille(), 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(q[i].taille(), p[i].taille());
        for (int r = 0; r < q[i].taille(); ++r) {
            EXPECT_NEAR(q[i][r].biais.valeur, p[i][r].biais.valeur, 5e-7);
            EXPECT_EQ(q[i][r].biais.variation(), 0.0);
            for (int k = 0; k < q[i][r].taille(); ++k) {
                EXPECT_NEAR(q[i][r][k].valeur, p[i][r][k].valeur, 5e-7);
                EXPECT_EQ(q[i][r][k].variation(), 0.0);
            }
        }
    }
    std::ostringstream again;
    again << q;
    EXPECT_EQ(again.str(), os.str().substr(os.str().find('\n') + 1));
}

TEST(PerceptronTexte, CommentsBeforeEveryHeader)
{
    std::istringstream is("# net\n(1)\n# layer\n(1)\n0.5\n# weights\n(1) 0.25\n");
    Perceptron p(false);
    is >> p;
    EXPECT_EQ(p[0][0].biais.valeur, 0.5);
    EXPECT_EQ(p[0][0][0].valeur, 0.25);
}

TEST(PerceptronTexte, Refusals)
{
    Perceptron p(false);
    {
        std::istringstream is("(0)\n");
        EXPECT_ERREUR(is >> p, "Indice invalide!");
    }
    {
        std::istringstream is("(1)\n(0)\n");
        EXPECT_ERREUR(is >> p, "Indice invalide!");
    }
    {
        std::istringstream is("(1)\n(1)\nabc\n");
        EXPECT_ERREUR(is >> p, "Format invalide!");
    }
    {
        std::istringstream is("(1)\n(1)\n0.5\n(2) 0.1\n");
        EXPECT_ERREUR(is >> p, "Format invalide!");
    }
    {
        std::istringstream is("");
        EXPECT_ERREUR(is >> p, "Format invalide!");
    }
}

TEST(PerceptronTexte, LayersThatDoNotChainAreReadThenRefusedForward)
{
    // Layer 1's neuron has 3 weights for a layer of 2 neurons.
    std::istringstream is("(2)\n(2)\n0\n(1) 1\n0\n(1) 1\n(1)\n0\n(3) 1 1 1\n");
    Perceptron p(false);
    is >> p;
    EXPECT_EQ(p.nombreEntrees(), 1);
    EXPECT_EQ(p.nombreSorties(), 1);
    Vecteur x(1);
    EXPECT_ERREUR(p.propager(x), "Couche precedente invalide!");
}
