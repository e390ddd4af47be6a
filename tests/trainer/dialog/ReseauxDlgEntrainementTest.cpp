// Training from the network dialog: which network a run starts from, what
// the progress box shows, Cancel and its question, errors in the middle of
// a run, and the window that stays live while the run pumps events.
#include "../ReseauOutils.h"
#include "OutilsDialogue.h"
#include "trainer/FichierParametres.h"
#include "trainer/dialog/BoutonFleches.h"
#include "trainer/dialog/CourbeErreur.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

using namespace kiv_test;

namespace {

class EntrainementTest : public testing::Test {
protected:
    void SetUp() override
    {
        scripted().clear();
        ecrireOctets(dossier / "appr.dat", kEntrainement);
        dlg.show();
        choisir(dossier / "appr.dat");
        edit(1021)->setText("150");
    }

    QLineEdit* edit(int id) { return dlg.findChild<QLineEdit*>(QStringLiteral("id%1").arg(id)); }
    QPushButton* bouton(int id)
    {
        return dlg.findChild<QPushButton*>(QStringLiteral("id%1").arg(id));
    }
    void choisir(const std::string& chemin)
    {
        scripted().queueFile(chemin);
        bouton(1011)->click();
    }
    std::vector<std::string> textes() const
    {
        std::vector<std::string> t;
        for (const auto& m : scripted().messages()) {
            t.push_back(m.text);
        }
        return t;
    }
    ScriptedPlatform::ProgressRecord derniereBoite() const
    {
        return scripted().progressBoxes().back();
    }

    RepertoireCourant dossier;
    ReseauxDlg dlg;
};

TEST_F(EntrainementTest, TwoRunsInARowContinueFromTheSameWeights)
{
    bouton(1014)->click();
    const Perceptron* premier = dlg.reseau().perceptron();
    ASSERT_NE(premier, nullptr);
    EXPECT_EQ(couches(*premier), (std::vector<int>{3, 5, 5, 2}));
    EXPECT_TRUE(dlg.reseau().entraine());
    EXPECT_TRUE(bouton(1015)->isEnabled());
    EXPECT_TRUE(bouton(1013)->isEnabled());
    const std::vector<double> apres = poids(*premier);

    // No pass in the second run: a network built anew would have new random weights.
    edit(1021)->setText("0");
    bouton(1014)->click();
    EXPECT_EQ(dlg.reseau().perceptron(), premier);
    EXPECT_EQ(poids(*premier), apres);
    EXPECT_EQ(scripted().unanswered(), 0);
}

TEST_F(EntrainementTest, AFileNamedInBytesThatAreNoUtf8TrainsAsChosen)
{
    // Read back from the box's text, the name became another one (U+FFFD
    // in place of the byte) and could not be opened.
    const std::string latin1 = dossier / "appr\xE9.dat";
    ecrireOctets(latin1, kEntrainement);
    choisir(latin1);
    bouton(1014)->click();
    EXPECT_EQ(textes(), std::vector<std::string>{});
    ASSERT_NE(dlg.reseau().perceptron(), nullptr);
    // A name typed into the box is the box's text, as the file system's bytes.
    edit(1010)->setText(QString::fromStdString(dossier / "appr.dat"));
    bouton(1014)->click();
    EXPECT_EQ(textes(), std::vector<std::string>{});
}

TEST_F(EntrainementTest, AStructureChangeOrANewShowingBuildsANewNetwork)
{
    bouton(1014)->click();
    const std::vector<double> premiers = poids(*dlg.reseau().perceptron());

    dlg.findChild<BoutonFleches*>("id1008")->flecheHaut()->click();
    edit(1021)->setText("0");
    bouton(1014)->click();
    EXPECT_EQ(couches(*dlg.reseau().perceptron()), (std::vector<int>{3, 6, 6, 2}));

    edit(1003)->setText("3");
    bouton(1014)->click();
    EXPECT_EQ(couches(*dlg.reseau().perceptron()), (std::vector<int>{3, 6, 2}));

    bouton(1014)->click();
    const std::vector<double> gardes = poids(*dlg.reseau().perceptron());
    dlg.hide();
    dlg.show();
    EXPECT_EQ(edit(1010)->text(), "") << "a new showing starts without a path";
    EXPECT_TRUE(bouton(1014)->isEnabled()) << "the chosen file is still remembered";
    EXPECT_TRUE(dlg.reseau().structureModifiee());

    // The remembered choice with an empty path: the open error, nothing more.
    scripted().clear();
    bouton(1014)->click();
    EXPECT_EQ(textes(),
              std::vector<std::string>{"Erreur d'ouverture du fichier d'entrainement ()"});
    EXPECT_EQ(poids(*dlg.reseau().perceptron()), gardes);
    EXPECT_NE(gardes, premiers);
}

TEST_F(EntrainementTest, ProgressShowsEveryHundredthOfTheRunAndNothingBelowAHundredPasses)
{
    edit(1021)->setText("500");
    bouton(1014)->click();
    ScriptedPlatform::ProgressRecord boite = derniereBoite();
    EXPECT_EQ(boite.captionId, 102);
    EXPECT_EQ(boite.upper, 500);
    EXPECT_EQ(boite.step, 5);
    EXPECT_EQ(boite.stepIts, 100);
    EXPECT_EQ(boite.percent, "100%");
    ASSERT_EQ(boite.statuses.size(), 102u);
    EXPECT_EQ(boite.statuses[0], "Erreur quadratique:\n");
    EXPECT_EQ(boite.statuses[2].rfind("Erreur quadratique:\nPasse #5 : ", 0), 0u);
    EXPECT_EQ(boite.statuses.back().rfind("Erreur quadratique:\nPasse #500 : ", 0), 0u);
    EXPECT_TRUE(boite.okShown);

    edit(1021)->setText("99");
    bouton(1014)->click();
    boite = derniereBoite();
    EXPECT_EQ(boite.step, 0);
    EXPECT_EQ(boite.statuses.size(), 103u) << "only the run's first text was added";
    EXPECT_EQ(boite.statuses.back(), "Erreur quadratique:\n");
    EXPECT_TRUE(boite.okShown);
}

TEST_F(EntrainementTest, CancelThenNoGoesOnYesStopsAfterThatPass)
{
    scripted().pressCancelAtPoll(10);
    scripted().queueAnswer(MessageAnswer::No);
    bouton(1014)->click();
    EXPECT_EQ(textes(), std::vector<std::string>{"Voulez-vous vraiment annuler l'opération?"});
    EXPECT_EQ(scripted().messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(derniereBoite().statuses.back().rfind("Erreur quadratique:\nPasse #150 : ", 0), 0u);

    scripted().clear();
    scripted().pressCancelAtPoll(7);
    scripted().queueAnswer(MessageAnswer::Yes);
    bouton(1014)->click();
    const auto statuts = derniereBoite().statuses;
    ASSERT_GE(statuts.size(), 2u);
    const std::string& passe7 = statuts[statuts.size() - 2];
    EXPECT_EQ(passe7.rfind("Erreur quadratique:\nPasse #7 : ", 0), 0u) << passe7;
    // The final text repeats that pass and its error, then the rate.
    EXPECT_EQ(statuts.back().rfind(passe7 + "\nTaux de classement: ", 0), 0u) << statuts.back();
    EXPECT_TRUE(derniereBoite().okShown);
}

TEST_F(EntrainementTest, ErrorsAreShownAndTheWindowGoesOn)
{
    testing::internal::CaptureStderr();
    edit(1000)->setText("2");
    bouton(1014)->click();
    EXPECT_EQ(textes(), std::vector<std::string>{"Taux d'apprentissage invalide!"});
    EXPECT_EQ(scripted().messages()[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(dlg.reseau().entraine());
    EXPECT_TRUE(bouton(1014)->isEnabled());
    EXPECT_FALSE(dlg.entrainementEnCours());

    // A malformed training file.
    scripted().clear();
    edit(1000)->setText("0.5");
    ecrireOctets(dossier / "casse.dat", "(3)\n(3,1) 0.1 0.2\n");
    choisir(dossier / "casse.dat");
    bouton(1014)->click();
    EXPECT_EQ(textes(), std::vector<std::string>{"Format invalide!\nFichier : " +
                                                 (dossier / "casse.dat") + ", ligne 2"});
    EXPECT_EQ(scripted().messages()[0].icon, MessageIcon::Stop);

    // A network with a single output under "&Tester".
    scripted().clear();
    ParametresReseau p;
    p.NeuroneSortie = 1;
    p.IterMax = 10;
    const std::string prm = dossier / "une.prm";
    {
        std::ofstream f(prm, std::ios::binary);
        ecrireParametres(f, p);
    }
    scripted().queueFile(prm);
    bouton(1026)->click();
    ecrireOctets(dossier / "une.dat", "(2)\n(3,1) 0.1 0.2 0.3\n(1,1) 1\n"
                                      "(3,1) 0.3 0.1 0.2\n(1,1) 4\n");
    choisir(dossier / "une.dat");
    bouton(1014)->click();
    ASSERT_NE(dlg.reseau().perceptron(), nullptr);
    bouton(1015)->click();
    EXPECT_EQ(textes(), std::vector<std::string>{"Indice invalide!"});
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(EntrainementTest, AnEmptyLayerIsRefusedAndTheTrainedNetworkStays)
{
    bouton(1014)->click();
    const Perceptron* entraine = dlg.reseau().perceptron();
    ASSERT_NE(entraine, nullptr);
    const std::vector<double> appris = poids(*entraine);

    testing::internal::CaptureStderr();
    scripted().clear();
    edit(1004)->setText("0");
    bouton(1014)->click();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(textes(), std::vector<std::string>{"Couche sans neurone!"});
    EXPECT_EQ(dlg.reseau().perceptron(), entraine);
    EXPECT_EQ(poids(*entraine), appris);
    EXPECT_TRUE(bouton(1014)->isEnabled());
}

TEST_F(EntrainementTest, RealBoxStaysLiveGuardsASecondRunAndPlotsTheError)
{
    PlateformeAvecBoites boites;
    bouton(1014)->click(); // a first run: "&Tester" is enabled for the second
    ASSERT_TRUE(boites.derniere);
    EXPECT_FALSE(boites.derniere->findChild<QPushButton*>("id1")->isHidden());

    bool vu = false;
    auProchainPassage([&] {
        vu = true;
        EXPECT_TRUE(dlg.entrainementEnCours());
        EXPECT_TRUE(dlg.isEnabled()) << "the window stays live";
        for (int id : {1014, 1011, 1012, 1026}) {
            EXPECT_FALSE(bouton(id)->isEnabled()) << id;
        }
        bouton(1014)->click();
        dlg.reject();
        EXPECT_TRUE(dlg.isVisible()) << "no closing in the middle of a run";
        bouton(1015)->click(); // testing between two passes is harmless
        boites.queueAnswer(MessageAnswer::Yes);
        boites.derniere->findChild<QPushButton*>("id2")->click();
    });
    edit(1021)->setText("300");
    bouton(1014)->click();
    ASSERT_TRUE(vu);
    ProgDlg* boite = boites.derniere;
    EXPECT_EQ(boite->windowTitle(), "Apprentissage du réseau");
    const auto messages = boites.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text.rfind("Valeur de sortie: 1-> ", 0), 0u);
    EXPECT_EQ(messages[1].text, "Voulez-vous vraiment annuler l'opération?");
    EXPECT_FALSE(boite->findChild<QPushButton*>("id1")->isHidden());
    EXPECT_FALSE(boite->courbe()->points().isEmpty());
    EXPECT_LT(boite->courbe()->points().back().x(), 300) << "stopped early";
    for (int id : {1014, 1011, 1012, 1026}) {
        EXPECT_TRUE(bouton(id)->isEnabled()) << id;
    }
}

TEST_F(EntrainementTest, ADivergentRunTakesItsBoxAwayAndTheWindowGoesOn)
{
    PlateformeAvecBoites boites;
    // Desired values no network can follow: the run diverges and is refused.
    ecrireOctets(dossier / "court.dat", "(2)\n(3,1) 0.1 0.2 0.3\n(2,1) 1e308 4\n"
                                        "(3,1) 0.3 0.1 0.2\n(2,1) 2 -1e308\n");
    choisir(dossier / "court.dat");
    testing::internal::CaptureStderr();
    bouton(1014)->click();
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(boites.messages().size(), 1u);
    EXPECT_EQ(boites.messages()[0].text, "Entrainement divergent: poids non finis!");
    EXPECT_EQ(boites.messages()[0].icon, MessageIcon::Stop);
    // The network built for the run went, and its box with it.
    EXPECT_EQ(dlg.reseau().perceptron(), nullptr);
    EXPECT_TRUE(boites.derniere.isNull());
    EXPECT_FALSE(dlg.entrainementEnCours());
    EXPECT_TRUE(bouton(1014)->isEnabled());
}

} // namespace
