// Training runs: validation order, passes and their texts, stopping rules,
// the Cancel question and the classification rate.
#include "../core/ErreurAttendue.h"
#include "Outils.h"
#include "core/scripted/ScriptedPlatform.h"
#include "neural/Aleatoire.h"
#include "neural/Perceptron.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using kiv_test::tailles;
using kiv_test::vecteur;

namespace {

/** The logical AND of two inputs, outputs 0.1 and 0.9. */
Table1D<Exemple> et()
{
    Table1D<Exemple> ensemble(4);
    for (int k = 0; k < 4; ++k) {
        ensemble[k].entree.redimensionner(2);
        ensemble[k].desire.redimensionner(1);
        ensemble[k].entree[0] = k & 1;
        ensemble[k].entree[1] = (k >> 1) & 1;
        ensemble[k].desire[0] = k == 3 ? 0.9 : 0.1;
    }
    return ensemble;
}

std::string texte(const Perceptron& p)
{
    std::ostringstream os;
    os << p;
    return os.str();
}

class EntrainementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scripted().clear();
        aleatoire().initialiser(42);
    }
    static ScriptedPlatform& scripted() { return static_cast<ScriptedPlatform&>(platform()); }
    static ScriptedPlatform::ProgressRecord boite() { return scripted().progressBoxes().back(); }
};

} // namespace

TEST_F(EntrainementTest, ValidationOrderAndMessages)
{
    Perceptron p(tailles({2, 1}), false);
    const Table1D<Exemple> ensemble = et();
    p.setGain(2);
    p.setIterMax(-1);
    EXPECT_ERREUR(p.entrainer(ensemble), "Taux d'apprentissage invalide!");
    p.setGain(1.0001);
    EXPECT_ERREUR(p.valider(), "Taux d'apprentissage invalide!");
    p.setGain(1);
    EXPECT_ERREUR(p.valider(), "Nombre maximum d'iterations invalide!");
    p.setIterMax(0);
    p.setErreurMax(-0.1);
    p.setMomentum(1.5);
    EXPECT_ERREUR(p.valider(), "Erreur quadratique maximum invalide!");
    p.setErreurMax(0);
    EXPECT_ERREUR(p.valider(), "Momentum invalide");
    p.setMomentum(0);
    p.setTolerance(-1);
    EXPECT_ERREUR(p.valider(), "Tolerance invalide!");
    p.setTolerance(std::nan(""));
    EXPECT_ERREUR(p.valider(), "Tolerance invalide!");
    p.setTolerance(0);
    p.setGain(std::nan(""));
    EXPECT_ERREUR(p.valider(), "Taux d'apprentissage invalide!");
    p.setGain(0);
    EXPECT_NO_THROW(p.valider());
}

TEST_F(EntrainementTest, NoPassLeavesTheWeights)
{
    Perceptron p(tailles({2, 3, 1}), true);
    p.setIterMax(0);
    const std::string avant = texte(p);
    p.entrainer(et());
    EXPECT_EQ(texte(p), avant);
    EXPECT_TRUE(boite().okShown);
    EXPECT_EQ(boite().stepIts, 0);
}

TEST_F(EntrainementTest, DisplayPassesAndFinalText)
{
    Perceptron p(tailles({2, 3, 1}), true);
    p.setIterMax(10);
    p.setPasAffichage(3);
    p.entrainer(et());
    const auto b = boite();
    EXPECT_EQ(b.captionId, 102);
    EXPECT_EQ(b.creations, 1);
    EXPECT_EQ(b.lower, 0);
    EXPECT_EQ(b.upper, 10);
    EXPECT_EQ(b.step, 3);
    EXPECT_EQ(b.stepIts, 4);
    EXPECT_EQ(b.polls, 10);
    ASSERT_EQ(b.statuses.size(), 6u);
    EXPECT_EQ(b.statuses[0], "Erreur quadratique:\n");
    // Each display pass is reported to the box beside its text, with the same
    // error; the last one is the end of the run, as the final text says.
    ASSERT_EQ(b.passes.size(), 5u);
    EXPECT_EQ(b.passes[4], std::make_pair(10, p.derniereErreur()));
    char attendu[128];
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(b.passes[k].first, 3 * k);
        std::snprintf(attendu, sizeof attendu, "Erreur quadratique:\nPasse #%d : %.4f", 3 * k,
                      b.passes[k].second);
        EXPECT_EQ(b.statuses[k + 1], attendu);
    }
    std::snprintf(attendu, sizeof attendu,
                  "Erreur quadratique:\nPasse #10 : %.4f\nTaux de classement: %.4f",
                  p.derniereErreur(), p.tauxClassement(et()));
    EXPECT_EQ(b.statuses[5], attendu);
    EXPECT_TRUE(b.okShown);
    EXPECT_EQ(p.dernierePasse(), 10);
}

TEST_F(EntrainementTest, NoDisplayStepKeepsTheFirstText)
{
    Perceptron p(tailles({2, 1}), true);
    p.setIterMax(5);
    p.setPasAffichage(0);
    p.entrainer(et());
    const auto b = boite();
    ASSERT_EQ(b.statuses.size(), 1u);
    EXPECT_EQ(b.statuses[0], "Erreur quadratique:\n");
    EXPECT_EQ(b.stepIts, 0);
    EXPECT_TRUE(b.passes.empty());
    EXPECT_TRUE(b.okShown);
}

TEST_F(EntrainementTest, CancelThenNoGoesOnThenYesStopsAfterThePass)
{
    Perceptron p(tailles({2, 2, 1}), true);
    p.setIterMax(8);
    scripted().pressCancelAtPoll(1);
    scripted().queueAnswer(MessageAnswer::No);
    scripted().pressCancelAtPoll(4);
    scripted().queueAnswer(MessageAnswer::Yes);
    p.entrainer(et());
    const auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Voulez-vous vraiment annuler l'opération?");
    EXPECT_EQ(messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(p.dernierePasse(), 4);
    EXPECT_EQ(boite().statuses.back().rfind("Erreur quadratique:\nPasse #4 : ", 0), 0u);
    EXPECT_EQ(scripted().unanswered(), 0);
}

TEST_F(EntrainementTest, ErrorGoalStopsAtPassZero)
{
    Perceptron p(tailles({2, 1}), true);
    p.setIterMax(50);
    p.setErreurMax(10.0);
    p.entrainer(et());
    EXPECT_EQ(p.dernierePasse(), 0);
    EXPECT_EQ(boite().stepIts, 0);
    EXPECT_EQ(boite().statuses.back().rfind("Erreur quadratique:\nPasse #0 : ", 0), 0u);
}

TEST_F(EntrainementTest, EmptySetStopsOnANotANumberError)
{
    Perceptron p(tailles({2, 1}), false);
    p.setIterMax(5);
    p.entrainer(Table1D<Exemple>());
    EXPECT_EQ(p.dernierePasse(), 0);
    EXPECT_TRUE(std::isnan(p.derniereErreur()));
}

TEST_F(EntrainementTest, LearnsTheLogicalAnd)
{
    Perceptron p(tailles({2, 3, 1}), false);
    p.setIterMax(3000);
    p.setGain(0.5);
    p.setMomentum(0.5);
    p.setTolerance(0.2);
    const Table1D<Exemple> ensemble = et();
    p.entrainer(ensemble);
    EXPECT_LT(p.derniereErreur(), 0.1);
    EXPECT_EQ(p.tauxClassement(ensemble), 1.0);
    // The training set itself is untouched.
    EXPECT_EQ(ensemble[3].desire[0], 0.9);
}

TEST_F(EntrainementTest, ClassifiedOnlyStrictlyWithinTolerance)
{
    Perceptron p(tailles({1, 2}), false);
    for (int r = 0; r < 2; ++r) {
        p[0][r][0].valeur = 0.0;
        p[0][r].biais.valeur = 0.0;
    }
    // Outputs are both 0.5.
    Table1D<Exemple> ensemble(2);
    for (int k = 0; k < 2; ++k) {
        ensemble[k].entree.redimensionner(1);
        ensemble[k].desire.redimensionner(2);
    }
    ensemble[0].desire[0] = 0.5;
    ensemble[0].desire[1] = 0.25; // exactly at the tolerance
    ensemble[1].desire[0] = 0.3;
    ensemble[1].desire[1] = 0.6;
    p.setTolerance(0.25);
    EXPECT_EQ(p.tauxClassement(ensemble), 0.5);

    ensemble[1].desire.redimensionner(3);
    EXPECT_ERREUR(p.tauxClassement(ensemble), "Matrice incompatible!");
}

TEST_F(EntrainementTest, ABadExampleEndsTheRunKeepingEarlierUpdates)
{
    Perceptron p(tailles({2, 1}), true);
    p.setIterMax(3);
    Table1D<Exemple> ensemble = et();
    ensemble[2].desire.redimensionner(2);
    const std::string avant = texte(p);
    EXPECT_ERREUR(p.entrainer(ensemble), "Vecteur desire invalide!");
    EXPECT_TRUE(boite().okShown) << "a box left by an error can still be closed";
    EXPECT_NE(texte(p), avant);
}
