// A network tested on a whole set: the errors, their statistics and the
// line the command-line trainer prints.
#include "trainer/ErreurEnsemble.h"
#include "FichiersTemporaires.h"
#include "ReseauOutils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

using namespace kiv_test;

namespace {

int tronquer(double v)
{
    return static_cast<int>(v);
}

Table1D<Exemple> ensemble(const std::string& texte)
{
    std::istringstream flux(texte);
    Table1D<Exemple> e;
    flux >> e;
    return e;
}

/** Desired (y, x) at 0, 5, 10 and 13 cm of the truncated answer (200, 200). */
const char* const kQuatre = "(4)\n"
                            "(3,1) 0.15 0.15 0.15 (2,1) 200 200\n"
                            "(3,1) 0.14 0.15 0.16 (2,1) 203 204\n"
                            "(3,1) 0.16 0.15 0.14 (2,1) 200 190\n"
                            "(3,1) 0.15 0.16 0.14 (2,1) 212 195\n";

class ErreurEnsembleTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string chemin = dossier / "constant.wgh";
        std::ofstream(chemin) << kPoidsConstants;
        reseau.LirePoids(chemin);
    }

    RepertoireTemporaire dossier;
    ReseauNeurones reseau;
};

std::string messageDe(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST_F(ErreurEnsembleTest, ErrorsAndStatisticsOfAHandMadeSet)
{
    std::vector<ErreurExemple> r;
    ASSERT_TRUE(testerEnsemble(reseau, ensemble(kQuatre), tronquer, r));
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].obtenu[0], 200.0);
    EXPECT_EQ(r[0].erreur, 0.0);
    EXPECT_DOUBLE_EQ(r[1].erreur, 5.0);
    EXPECT_DOUBLE_EQ(r[2].erreur, 10.0);
    EXPECT_DOUBLE_EQ(r[3].erreur, 13.0);
    const StatistiquesErreur s = statistiquesErreur(r);
    EXPECT_EQ(s.nombre, 4);
    EXPECT_DOUBLE_EQ(s.rms, std::sqrt((0.0 + 25.0 + 100.0 + 169.0) / 4.0));
    EXPECT_DOUBLE_EQ(s.mediane, 7.5);
    EXPECT_EQ(s.pire, 13.0);
    EXPECT_EQ(s.indicePire, 3);
    EXPECT_EQ(texteStatistiques(s, r),
              "4 points : RMS 8.57 cm, médiane 7.50 cm, pire 13.00 cm (point 4 : x 195, y 212)");

    // Raw outputs: 200.7 each, so the first point is 0.99 cm off.
    ASSERT_TRUE(testerEnsemble(reseau, ensemble(kQuatre), nullptr, r));
    EXPECT_NEAR(r[0].erreur, std::hypot(0.7, 0.7), 1e-9);
    // An odd count takes the middle value.
    ASSERT_TRUE(testerEnsemble(reseau,
                               ensemble("(3)\n(3,1) 0 0 0 (2,1) 200 200\n"
                                        "(3,1) 0 0 0 (2,1) 200 230\n"
                                        "(3,1) 0 0 0 (2,1) 200 201\n"),
                               tronquer, r));
    EXPECT_EQ(statistiquesErreur(r).mediane, 1.0);
    EXPECT_EQ(statistiquesErreur(r).indicePire, 1);
}

TEST_F(ErreurEnsembleTest, NotANumberIsTheWorstAndBadSetsAreRefused)
{
    std::vector<ErreurExemple> r(3);
    r[0].erreur = 1.0;
    r[1].erreur = std::nan("");
    r[2].erreur = 2.0;
    const StatistiquesErreur s = statistiquesErreur(r);
    EXPECT_EQ(s.indicePire, 1);
    EXPECT_TRUE(std::isinf(s.pire));
    EXPECT_EQ(s.mediane, 2.0);
    EXPECT_EQ(statistiquesErreur({}).indicePire, -1);

    std::vector<ErreurExemple> avant(1);
    EXPECT_EQ(messageDe([&] { testerEnsemble(reseau, ensemble("(0)\n"), nullptr, avant); }),
              "Ensemble d'entrainement vide!");
    EXPECT_EQ(messageDe([&] {
                  testerEnsemble(reseau,
                                 ensemble("(2)\n(3,1) 0 0 0 (2,1) 1 1\n(2,1) 0 0 (2,1) 1 1\n"),
                                 nullptr, avant);
              }),
              "Vecteur d'entree invalide!");
    EXPECT_EQ(messageDe([&] {
                  testerEnsemble(reseau, ensemble("(1)\n(3,1) 0 0 0 (3,1) 1 1 1\n"), nullptr,
                                 avant);
              }),
              "Vecteur desire invalide!");
    EXPECT_EQ(avant.size(), 1u) << "a refused set leaves the results as they were";

    ReseauNeurones vide;
    EXPECT_FALSE(testerEnsemble(vide, ensemble(kQuatre), nullptr, avant));
}
