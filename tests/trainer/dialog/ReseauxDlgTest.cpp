// The network dialog without training: the edits filled from the fields,
// the exchange, spin buttons, file buttons, "&Tester" and the errors they
// report.
#include "trainer/dialog/ReseauxDlg.h"
#include "OutilsDialogue.h"
#include "trainer/FichierParametres.h"
#include "trainer/dialog/BoutonFleches.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

using namespace kiv_test;

namespace {

class ReseauxDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        scripted().clear();
        dlg.show();
    }

    QLineEdit* edit(int id) { return dlg.findChild<QLineEdit*>(QStringLiteral("id%1").arg(id)); }
    QPushButton* bouton(int id)
    {
        return dlg.findChild<QPushButton*>(QStringLiteral("id%1").arg(id));
    }
    BoutonFleches* fleches(int id)
    {
        return dlg.findChild<BoutonFleches*>(QStringLiteral("id%1").arg(id));
    }
    std::vector<std::string> textes() const
    {
        std::vector<std::string> t;
        for (const auto& m : scripted().messages()) {
            t.push_back(m.text);
        }
        return t;
    }

    RepertoireTemporaire dossier;
    ReseauxDlg dlg;
};

TEST_F(ReseauxDlgTest, StartsWithTheDefaultsAndItsEnableStates)
{
    EXPECT_EQ(dlg.windowTitle(), "Reseaux de Neurones");
    const ParametresReseau& p = dlg.parametres();
    EXPECT_EQ(p.IterMax, 500);
    EXPECT_EQ(p.CoucheCache, 4);
    Vecteur v;
    EXPECT_FALSE(dlg.Evaluer(0.15, 0.15, 0.15, v));

    const std::pair<int, const char*> attendus[] = {
        {1000, "0.5"},       {1009, "0.1"},      {1018, "0.1"},      {1019, "0.5"},
        {1020, "0.005"},     {1021, "500"},      {1016, "0"},        {1017, "5"},
        {1022, "0.1543354"}, {1023, "0.155356"}, {1024, "0.144413"}, {1001, "3"},
        {1002, "2"},         {1004, "5"},        {1003, "4"},        {1010, ""},
    };
    for (const auto& [id, texte] : attendus) {
        ASSERT_NE(edit(id), nullptr) << id;
        EXPECT_EQ(edit(id)->text(), texte) << id;
    }
    for (int id : {1001, 1002}) {
        EXPECT_FALSE(edit(id)->isEnabled()) << id;
    }
    for (int id : {1005, 1006}) {
        EXPECT_FALSE(fleches(id)->isEnabled()) << id;
    }
    for (int id : {1007, 1008}) {
        EXPECT_TRUE(fleches(id)->isEnabled()) << id;
    }
    for (int id : {1013, 1014, 1015}) {
        ASSERT_NE(bouton(id), nullptr) << id;
        EXPECT_FALSE(bouton(id)->isEnabled()) << id;
    }
}

TEST_F(ReseauxDlgTest, ExchangeStopsAtTheFirstEditThatHoldsNoNumber)
{
    edit(1003)->setText("6");
    edit(1004)->setText("abc");
    edit(1000)->setText("0.9");
    edit(1021)->setText(" 250 ");
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.parametres().CoucheCache, 6) << "fields before the bad edit are taken";
    EXPECT_EQ(dlg.parametres().NeuroneCoucheCache, 5);
    EXPECT_EQ(dlg.parametres().Gain, 0.5) << "fields after it keep their values";
    EXPECT_EQ(dlg.focusWidget(), edit(1004));
    ASSERT_EQ(textes(), std::vector<std::string>{"Veuillez entrer un nombre entier."});

    edit(1004)->setText("7");
    edit(1017)->setText("12abc");
    scripted().clear();
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.parametres().Momentum, 0.1);
    EXPECT_EQ(dlg.parametres().MaxOutput, 5.0);
    EXPECT_EQ(textes(), std::vector<std::string>{"Veuillez entrer un nombre."});

    edit(1017)->setText("+1e2");
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.parametres().MaxOutput, 100.0);
    EXPECT_EQ(dlg.parametres().Gain, 0.9);
    EXPECT_EQ(dlg.parametres().IterMax, 250);
}

TEST_F(ReseauxDlgTest, EnterClosesAfterTheExchangeEscapeWithout)
{
    edit(1000)->setText("0.7");
    edit(1009)->setText("x");
    QTest::keyClick(edit(1000), Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible()) << "a bad edit keeps the window open";
    EXPECT_EQ(dlg.parametres().Gain, 0.7);

    edit(1009)->setText("0.2");
    QTest::keyClick(edit(1009), Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.parametres().Momentum, 0.2);

    dlg.show();
    EXPECT_EQ(edit(1009)->text(), "0.2") << "a new showing refreshes the edits";
    edit(1009)->setText("0.3");
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.parametres().Momentum, 0.2);
}

TEST_F(ReseauxDlgTest, SpinButtonsStepByOneAndStopAtZero)
{
    dlg.reseau().conserverPerceptron();
    fleches(1007)->flecheHaut()->click();
    EXPECT_EQ(edit(1003)->text(), "5");
    EXPECT_TRUE(dlg.reseau().structureModifiee());
    EXPECT_EQ(dlg.parametres().CoucheCache, 4) << "the field waits for the exchange";

    edit(1004)->setText("1");
    fleches(1008)->flecheBas()->click();
    EXPECT_EQ(edit(1004)->text(), "0");
    fleches(1008)->flecheBas()->click();
    EXPECT_EQ(edit(1004)->text(), "0");

    edit(1004)->setText("douze");
    fleches(1008)->flecheHaut()->click();
    EXPECT_EQ(edit(1004)->text(), "1") << "a text without number counts as 0";

    edit(1003)->setText("2147483647");
    fleches(1007)->flecheHaut()->click();
    EXPECT_EQ(edit(1003)->text(), "2147483647");

    edit(1003)->setText("3");
    dlg.reseau().conserverPerceptron();
    fleches(1007)->setFocus();
    QTest::keyClick(fleches(1007), Qt::Key_Up);
    EXPECT_EQ(edit(1003)->text(), "4");
    QTest::keyClick(fleches(1007), Qt::Key_Down);
    QTest::keyClick(fleches(1007), Qt::Key_Down);
    EXPECT_EQ(edit(1003)->text(), "2");
    EXPECT_TRUE(dlg.reseau().structureModifiee());
}

TEST_F(ReseauxDlgTest, ParametersRoundTripThroughAParameterFile)
{
    const std::pair<int, const char*> valeurs[] = {
        {1000, "0.25"}, {1009, "0.75"}, {1018, "0.05"}, {1019, "0.125"}, {1020, "0.01"},
        {1021, "1500"}, {1016, "-2"},   {1017, "400"},  {1022, "0.2"},   {1023, "0.125"},
        {1024, "0.3"},  {1003, "3"},    {1004, "8"},
    };
    for (const auto& [id, texte] : valeurs) {
        edit(id)->setText(texte);
    }
    const std::string chemin = dossier / "reglages.prm";
    scripted().queueFile(chemin);
    bouton(1025)->click();
    ASSERT_EQ(scripted().fileRequests().size(), 1u);
    EXPECT_EQ(scripted().fileRequests()[0].kind, FileDialogKind::Save);
    EXPECT_EQ(scripted().fileRequests()[0].filter, "Fichier de paramètres (*.prm)|*.prm||");

    ReseauxDlg autre;
    autre.show();
    autre.reseau().conserverPerceptron();
    scripted().queueFile(chemin);
    autre.findChild<QPushButton*>("id1026")->click();
    EXPECT_EQ(scripted().fileRequests().back().kind, FileDialogKind::Open);
    EXPECT_EQ(scripted().fileRequests().back().filter, "Fichier de paramètres (*.prm)|*.prm||");
    for (const auto& [id, texte] : valeurs) {
        EXPECT_EQ(autre.findChild<QLineEdit*>(QStringLiteral("id%1").arg(id))->text(), texte) << id;
    }
    EXPECT_EQ(autre.parametres().IterMax, 1500);
    EXPECT_EQ(autre.parametres().MinOutput, -2.0);
    EXPECT_TRUE(autre.reseau().structureModifiee());
    EXPECT_EQ(scripted().unanswered(), 0);
}

TEST_F(ReseauxDlgTest, ParameterFileChangesTheDisabledInputAndOutputCounts)
{
    ParametresReseau p;
    p.NeuroneEntree = 4;
    p.NeuroneSortie = 1;
    const std::string chemin = dossier / "forme.prm";
    {
        std::ofstream f(chemin, std::ios::binary);
        ecrireParametres(f, p);
    }
    edit(1000)->setText("0.9"); // not exchanged before the read
    scripted().queueFile(chemin);
    bouton(1026)->click();
    EXPECT_EQ(edit(1001)->text(), "4");
    EXPECT_EQ(edit(1002)->text(), "1");
    EXPECT_FALSE(edit(1001)->isEnabled());
    EXPECT_EQ(edit(1000)->text(), "0.5");

    scripted().queueFile(dossier / "absent.prm");
    bouton(1026)->click();
    EXPECT_EQ(textes(), std::vector<std::string>{"Erreur d'ouverture du fichier de paramètres (" +
                                                 (dossier / "absent.prm") + ")"});
    EXPECT_EQ(dlg.parametres().NeuroneEntree, 4);
}

TEST_F(ReseauxDlgTest, BrowseSetsThePathAndDiscardsALoadedNetwork)
{
    scripted().queueFile(donnee("beacons.wgh"));
    dlg.OnLirePoids();
    ASSERT_NE(dlg.reseau().perceptron(), nullptr);
    EXPECT_TRUE(bouton(1015)->isEnabled());
    EXPECT_TRUE(bouton(1013)->isEnabled());
    EXPECT_FALSE(bouton(1014)->isEnabled());

    scripted().queueFile("/donnees/essai.dat");
    bouton(1011)->click();
    EXPECT_EQ(scripted().fileRequests().back().filter, "Fichier d'entrainement (*.dat)|*.dat||");
    EXPECT_EQ(scripted().fileRequests().back().kind, FileDialogKind::Open);
    EXPECT_EQ(edit(1010)->text(), "/donnees/essai.dat");
    EXPECT_EQ(dlg.reseau().perceptron(), nullptr);
    EXPECT_TRUE(bouton(1014)->isEnabled());
    EXPECT_TRUE(bouton(1015)->isEnabled()) << "still trained as far as the buttons know";

    // Testing without a network says so; writing does nothing at all.
    bouton(1015)->click();
    EXPECT_EQ(textes().back(), "Le perceptron n'est pas encore entrainé ou aucun poid n'a été lu");
    const auto demandes = scripted().fileRequests().size();
    bouton(1013)->click();
    EXPECT_EQ(scripted().fileRequests().size(), demandes);

    bouton(1011)->click(); // cancelled
    EXPECT_EQ(edit(1010)->text(), "");
    EXPECT_FALSE(bouton(1014)->isEnabled());
    EXPECT_FALSE(dlg.reseau().fichierChoisi());
}

TEST_F(ReseauxDlgTest, TesterShowsTheDescaledOutputsOfTheBeaconNetwork)
{
    scripted().queueFile(donnee("beacons.wgh"));
    bouton(1012)->click();
    EXPECT_EQ(scripted().fileRequests().back().filter, "Fichier de poids (*.wgh)|*.wgh||");
    bouton(1015)->click();

    ReseauNeurones reference;
    reference.LirePoids(donnee("beacons.wgh"));
    Vecteur v;
    ASSERT_TRUE(reference.Evaluer(0.1543354, 0.155356, 0.144413, v));
    char attendu[96];
    std::snprintf(attendu, sizeof attendu, "Valeur de sortie: 1-> %.3f, 2-> %.3f", v[0], v[1]);
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, attendu);
    EXPECT_EQ(scripted().messages()[0].buttons, MessageButtons::Ok);
    // A position on the 5 m field, in centimetres.
    EXPECT_GT(v[0], 0.0);
    EXPECT_LT(v[0], 500.0);
    EXPECT_GT(v[1], 0.0);
    EXPECT_LT(v[1], 500.0);

    // The test inputs are exchanged first.
    edit(1022)->setText("0.15");
    edit(1023)->setText("0.15");
    edit(1024)->setText("0.15");
    bouton(1015)->click();
    ASSERT_TRUE(reference.Evaluer(0.15, 0.15, 0.15, v));
    std::snprintf(attendu, sizeof attendu, "Valeur de sortie: 1-> %.3f, 2-> %.3f", v[0], v[1]);
    EXPECT_EQ(textes().back(), attendu);

    // Written back, the weights give the same answers.
    const std::string copie = dossier / "copie.wgh";
    scripted().queueFile(copie);
    bouton(1013)->click();
    EXPECT_EQ(scripted().fileRequests().back().kind, FileDialogKind::Save);
    ReseauNeurones relu;
    relu.LirePoids(copie);
    Vecteur w;
    ASSERT_TRUE(relu.Evaluer(0.15, 0.15, 0.15, w));
    EXPECT_NEAR(w[0], v[0], 1e-3);
    EXPECT_NEAR(w[1], v[1], 1e-3);
}

TEST_F(ReseauxDlgTest, ABadWeightsFileIsReportedAndKeepsTheNetwork)
{
    scripted().queueFile(donnee("beacons.wgh"));
    bouton(1012)->click();
    const Perceptron* avant = dlg.reseau().perceptron();
    const std::string mauvais = dossier / "mauvais.wgh";
    ecrireOctets(mauvais, "pas des poids\n");
    scripted().queueFile(mauvais);
    testing::internal::CaptureStderr();
    bouton(1012)->click();
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text,
              "Format invalide!\nFichier : " + mauvais + ", ligne 1");
    EXPECT_EQ(scripted().messages()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(dlg.reseau().perceptron(), avant);
    bouton(1015)->click();
    EXPECT_EQ(textes().back().rfind("Valeur de sortie: 1-> ", 0), 0u) << "the window still works";
}

TEST_F(ReseauxDlgTest, WriteFailuresAreReported)
{
    scripted().queueFile(donnee("beacons.wgh"));
    bouton(1012)->click();
    const std::string poids = dossier / "absent/poids.wgh";
    const std::string reglages = dossier / "absent/p.prm";
    scripted().queueFile(poids);
    bouton(1013)->click();
    scripted().queueFile(reglages);
    bouton(1025)->click();
    // Each says which file and why.
    const std::string pourquoi = std::string("\n\n") + std::strerror(ENOENT);
    EXPECT_EQ(textes(), (std::vector<std::string>{
                            "Erreur d'écriture du fichier (" + poids + ")" + pourquoi,
                            "Erreur d'écriture du fichier (" + reglages + ")" + pourquoi,
                        }));
}

} // namespace
