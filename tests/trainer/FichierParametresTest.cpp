// The parameter file: exact bytes with the defaults, positional reading and
// the atof/atoi conversions, whatever the locale.
#include "trainer/FichierParametres.h"
#include "FichiersTemporaires.h"
#include "trainer/ReseauNeurones.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <sstream>

using kiv_test::lireOctets;
using kiv_test::RepertoireTemporaire;

namespace {

const std::string kDefauts = "Gain=0.5\r\n"
                             "Momentum=0.1\r\n"
                             "Epsilon=0.1\r\n"
                             "Tolerance=0.5\r\n"
                             "ErreurMax=0.005\r\n"
                             "IterMax=500\r\n"
                             "NeuroneEntree=3\r\n"
                             "NeuroneSortie=2\r\n"
                             "CoucheCache=4\r\n"
                             "NeuroneCoucheCache=5\r\n"
                             "MinOutput=0\r\n"
                             "MaxOutput=5\r\n"
                             "Donn\xE9"
                             "esTest1=0.154335\r\n"
                             "Donn\xE9"
                             "esTest2=0.155356\r\n"
                             "Donn\xE9"
                             "esTest3=0.144413\r\n";

ParametresReseau lire(const std::string& texte)
{
    std::istringstream is(texte);
    return lireParametres(is);
}

/** Every field, in file order, as doubles, for whole-record comparisons. */
std::vector<double> champs(const ParametresReseau& p)
{
    return {p.Gain,
            p.Momentum,
            p.Epsilon,
            p.Tolerance,
            p.ErreurMax,
            double(p.IterMax),
            double(p.NeuroneEntree),
            double(p.NeuroneSortie),
            double(p.CoucheCache),
            double(p.NeuroneCoucheCache),
            p.MinOutput,
            p.MaxOutput,
            p.DonneesTest1,
            p.DonneesTest2,
            p.DonneesTest3};
}

} // namespace

TEST(FichierParametres, DefaultsAreWrittenByteForByte)
{
    RepertoireTemporaire dossier;
    ReseauNeurones reseau;
    ASSERT_TRUE(reseau.EcrireParametres(dossier / "defauts.prm"));
    EXPECT_EQ(lireOctets(dossier / "defauts.prm"), kDefauts);
}

TEST(FichierParametres, SameBytesUnderACommaLocale)
{
    RepertoireTemporaire dossier;
    ReseauNeurones reseau;
    reseau.parametres.IterMax = 123456;
    reseau.parametres.MaxOutput = 1234.5;
    reseau.parametres.ErreurMax = 1e-7;
    ASSERT_TRUE(reseau.EcrireParametres(dossier / "c.prm"));
    {
        kiv_test::LocaleVirgule virgule;
        ASSERT_TRUE(reseau.EcrireParametres(dossier / "virgule.prm"));
        ReseauNeurones relu;
        ASSERT_TRUE(relu.LireParametres(dossier / "c.prm"));
        EXPECT_EQ(relu.parametres.MaxOutput, 1234.5);
        EXPECT_EQ(relu.parametres.Gain, 0.5);
    }
    const std::string octets = lireOctets(dossier / "c.prm");
    EXPECT_NE(octets.find("IterMax=123456\r\nNeurone"), std::string::npos);
    EXPECT_NE(octets.find("ErreurMax=1e-07\r\n"), std::string::npos);
    EXPECT_NE(octets.find("MaxOutput=1234.5\r\n"), std::string::npos);
    EXPECT_EQ(lireOctets(dossier / "virgule.prm"), octets);
}

TEST(FichierParametres, SameBytesAndValuesUnderTheFrenchCLocale)
{
    const std::string precedente = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale fr_FR.UTF-8 not installed; the comma locale test covers streams";
    }
    RepertoireTemporaire dossier;
    ReseauNeurones reseau;
    reseau.EcrireParametres(dossier / "fr.prm");
    const double lu = texteVersDouble("0.75");
    std::setlocale(LC_ALL, precedente.c_str());
    EXPECT_EQ(lireOctets(dossier / "fr.prm"), kDefauts);
    EXPECT_EQ(lu, 0.75);
}

TEST(FichierParametres, ReadBackRoundsToSixDigits)
{
    ParametresReseau p;
    p.Gain = 0.123456789;
    p.DonneesTest1 = 0.1543354;
    p.MaxOutput = 98765432.0;
    p.IterMax = -7;
    std::ostringstream os;
    ecrireParametres(os, p);
    const ParametresReseau r = lire(os.str());
    EXPECT_EQ(r.Gain, 0.123457);
    EXPECT_EQ(r.DonneesTest1, 0.154335);
    EXPECT_EQ(r.MaxOutput, 9.87654e7);
    EXPECT_EQ(r.IterMax, -7);
    EXPECT_EQ(r.Momentum, 0.1);
    EXPECT_EQ(r.NeuroneCoucheCache, 5);
}

TEST(FichierParametres, ThreeLinesSetThreeFieldsAndZeroTheRest)
{
    const ParametresReseau p = lire("Gain=0.7\r\nMomentum=0.2\r\nEpsilon=0.05\r\n");
    std::vector<double> attendus(15, 0.0);
    attendus[0] = 0.7;
    attendus[1] = 0.2;
    attendus[2] = 0.05;
    EXPECT_EQ(champs(p), attendus);
    EXPECT_EQ(champs(lire("")), std::vector<double>(15, 0.0));
}

TEST(FichierParametres, LinesAreReadByPositionWhateverTheirKey)
{
    // Keys swapped, a foreign key, a line without '=', a second '=' and LF ends.
    const ParametresReseau p = lire("Momentum=0.3\n"
                                    "Gain=0.4\n"
                                    "Vitesse=0.25\n"
                                    "Gain 0.7\n"
                                    "ErreurMax=0.01=0.02\n"
                                    "IterMax=  42 passes\n"
                                    "NeuroneEntree=\t-3\n"
                                    "NeuroneSortie=+2\n"
                                    "CoucheCache=x5\n"
                                    "7\n"
                                    "MinOutput=-1.5e1\n"
                                    "MaxOutput=.5\n"
                                    "DonnéesTest1=1,5\n"
                                    "DonneesTest2=0x10\n"
                                    "DonnéesTest3=inf\n");
    EXPECT_EQ(p.Gain, 0.3);
    EXPECT_EQ(p.Momentum, 0.4);
    EXPECT_EQ(p.Epsilon, 0.25);
    EXPECT_EQ(p.Tolerance, 0.0);
    EXPECT_EQ(p.ErreurMax, 0.01);
    EXPECT_EQ(p.IterMax, 42);
    EXPECT_EQ(p.NeuroneEntree, -3);
    EXPECT_EQ(p.NeuroneSortie, 2);
    EXPECT_EQ(p.CoucheCache, 0);
    EXPECT_EQ(p.NeuroneCoucheCache, 7);
    EXPECT_EQ(p.MinOutput, -15.0);
    EXPECT_EQ(p.MaxOutput, 0.5);
    EXPECT_EQ(p.DonneesTest1, 1.0);
    EXPECT_EQ(p.DonneesTest2, 16.0);
    EXPECT_TRUE(std::isinf(p.DonneesTest3));
}

TEST(FichierParametres, IntegersLikeAtoi)
{
    EXPECT_EQ(texteVersEntier(""), 0);
    EXPECT_EQ(texteVersEntier(" \t\r"), 0);
    EXPECT_EQ(texteVersEntier("-"), 0);
    EXPECT_EQ(texteVersEntier("+-3"), 0);
    EXPECT_EQ(texteVersEntier("12.9"), 12);
    EXPECT_EQ(texteVersEntier("007"), 7);
    EXPECT_EQ(texteVersEntier("2147483647"), INT_MAX);
    EXPECT_EQ(texteVersEntier("-2147483648"), INT_MIN);
    // Out of range saturates instead of wrapping round.
    EXPECT_EQ(texteVersEntier("2147483648"), INT_MAX);
    EXPECT_EQ(texteVersEntier("-99999999999999999999999"), INT_MIN);
}

TEST(FichierParametres, DoublesLikeAtof)
{
    EXPECT_EQ(texteVersDouble(""), 0.0);
    EXPECT_EQ(texteVersDouble("abc"), 0.0);
    EXPECT_EQ(texteVersDouble("  +2.5e-3xyz"), 0.0025);
    EXPECT_EQ(texteVersDouble("1e"), 1.0);
    EXPECT_EQ(texteVersDouble("-.25"), -0.25);
    EXPECT_EQ(texteVersDouble("0,75"), 0.0);
    EXPECT_TRUE(std::isnan(texteVersDouble("nan")));
    EXPECT_TRUE(std::isinf(texteVersDouble("1e999")));
}

TEST(FichierParametres, UnreadableFileChangesNothing)
{
    RepertoireTemporaire dossier;
    ReseauNeurones reseau;
    reseau.parametres.Gain = 0.9;
    EXPECT_FALSE(reseau.LireParametres(dossier / "absent.prm"));
    EXPECT_EQ(reseau.parametres.Gain, 0.9);
    EXPECT_FALSE(reseau.structureModifiee());
    EXPECT_FALSE(reseau.EcrireParametres(dossier / "absent/dir/p.prm"));

    kiv_test::ecrireOctets(dossier / "p.prm", "Gain=0.25\r\n");
    EXPECT_TRUE(reseau.LireParametres(dossier / "p.prm"));
    EXPECT_EQ(reseau.parametres.Gain, 0.25);
    EXPECT_EQ(reseau.parametres.CoucheCache, 0);
    EXPECT_TRUE(reseau.structureModifiee());
}
