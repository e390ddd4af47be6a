// The trainer's network without its window: training from a file, weights
// files, evaluation and the flags the buttons depend on.
#include "trainer/ReseauNeurones.h"
#include "../core/ErreurAttendue.h"
#include "FichiersTemporaires.h"
#include "ReseauOutils.h"
#include "core/StringTable.h"
#include "core/scripted/ScriptedPlatform.h"
#include "support/PiegesTemporaires.h"
#include "support/ProcessusFils.h"
#include "trainer/ReseauPublie.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

using kiv_test::couches;
using kiv_test::ecrireOctets;
using kiv_test::kEntrainement;
using kiv_test::lireOctets;
using kiv_test::poids;
using kiv_test::RepertoireTemporaire;

namespace {

ScriptedPlatform& scripted()
{
    return static_cast<ScriptedPlatform&>(platform());
}

std::vector<double> cellules(const Matrice& m)
{
    std::vector<double> v;
    for (int i = 0; i < m.lignes(); ++i) {
        for (int j = 0; j < m.colonnes(); ++j) {
            v.push_back(m(i, j));
        }
    }
    return v;
}

/** Equal to the six significant digits of the text forms. */
void egauxASixChiffres(const std::vector<double>& lus, const std::vector<double>& attendus)
{
    ASSERT_EQ(lus.size(), attendus.size());
    for (std::size_t k = 0; k < lus.size(); ++k) {
        EXPECT_NEAR(lus[k], attendus[k], 5e-6 * std::fabs(attendus[k])) << "value " << k;
    }
}

class ReseauNeuronesTest : public testing::Test {
protected:
    void SetUp() override
    {
        scripted().clear();
        ecrireOctets(m_dossier / "appr.dat", kEntrainement);
        m_reseau.parametres.CoucheCache = 3;
        m_reseau.parametres.NeuroneCoucheCache = 4;
        m_reseau.parametres.IterMax = 30;
    }

    bool entrainer() { return m_reseau.EntrainerFichier(m_dossier / "appr.dat", dump()); }
    std::string dump() const { return m_dossier / "test.ext"; }

    RepertoireTemporaire m_dossier;
    ReseauNeurones m_reseau;
};

} // namespace

TEST_F(ReseauNeuronesTest, NewNetworkHasDefaultsAndNothingToEvaluateOrWrite)
{
    const ReseauNeurones neuf;
    EXPECT_EQ(neuf.parametres.IterMax, 500);
    EXPECT_EQ(neuf.parametres.DonneesTest1, 0.1543354);
    EXPECT_FALSE(neuf.entraine() || neuf.fichierChoisi() || neuf.structureModifiee());
    EXPECT_EQ(neuf.perceptron(), nullptr);

    Vecteur resultat(1);
    resultat[0] = 42.0;
    EXPECT_FALSE(m_reseau.Evaluer(1, 2, 3, resultat));
    ASSERT_EQ(resultat.taille(), 1);
    EXPECT_EQ(resultat[0], 42.0);

    EXPECT_FALSE(m_reseau.EcrirePoids(m_dossier / "rien.wgh"));
    EXPECT_FALSE(std::filesystem::exists(m_dossier / "rien.wgh"));
}

TEST_F(ReseauNeuronesTest, UnopenableTrainingFileShowsTheMessageAndChangesNothingElse)
{
    const std::string absent = m_dossier / "absent.dat";
    m_reseau.parametres.CoucheCache = 0; // the layer table is only filled after the read
    EXPECT_FALSE(m_reseau.EntrainerFichier(absent, dump()));
    const auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Erreur d'ouverture du fichier d'entrainement (" + absent + ")");
    EXPECT_EQ(messages[0].caption, "KIV-ZUL");
    EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(m_reseau.perceptron(), nullptr);
    EXPECT_TRUE(m_reseau.entraine()) << "every run counts as made";
    EXPECT_EQ(m_reseau.echelles().Echelle1.lignes(), 0);
    EXPECT_FALSE(std::filesystem::exists(dump()));

    scripted().clear();
    EXPECT_FALSE(m_reseau.EntrainerFichier("", dump()));
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Erreur d'ouverture du fichier d'entrainement ()");
}

TEST_F(ReseauNeuronesTest, LayerTableErrorsComeBeforeOrAfterTheRead)
{
    m_reseau.parametres.CoucheCache = -1;
    EXPECT_ERREUR(m_reseau.EntrainerFichier(m_dossier / "absent.dat", dump()),
                  "Dimension invalide!");
    EXPECT_TRUE(scripted().messages().empty());

    m_reseau.parametres.CoucheCache = 0;
    EXPECT_ERREUR(entrainer(), "Indice invalide!");
    EXPECT_EQ(m_reseau.perceptron(), nullptr);
    EXPECT_EQ(m_reseau.echelles().Translation1.taille(), 0);
    EXPECT_FALSE(std::filesystem::exists(dump()));
}

TEST_F(ReseauNeuronesTest, TrainingBuildsTheNetworkAndHandsItTheParameters)
{
    m_reseau.parametres.CoucheCache = 4;
    m_reseau.parametres.NeuroneCoucheCache = 3;
    m_reseau.parametres.IterMax = 250;
    m_reseau.parametres.Tolerance = 0.3;
    m_reseau.parametres.Gain = 0.7;
    m_reseau.parametres.Momentum = 0.2;
    m_reseau.parametres.ErreurMax = 0.001;
    m_reseau.modifierStructure();
    // Box records outlive clear() (live boxes point into them): count from here.
    const std::size_t boitesAvant = scripted().progressBoxes().size();
    ASSERT_TRUE(entrainer());

    const Perceptron* p = m_reseau.perceptron();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(couches(*p), (std::vector<int>{3, 3, 3, 2}));
    EXPECT_EQ(p->pasAffichage(), 2);
    EXPECT_EQ(p->tolerance(), 0.3);
    EXPECT_EQ(p->gain(), 0.7);
    EXPECT_EQ(p->momentum(), 0.2);
    EXPECT_EQ(p->erreurMax(), 0.001);
    EXPECT_EQ(p->iterMax(), 250);
    EXPECT_FALSE(m_reseau.structureModifiee());
    EXPECT_TRUE(m_reseau.entraine());

    // Training shows its progress box and leaves it with its Ok button.
    const auto boites = scripted().progressBoxes();
    ASSERT_EQ(boites.size(), boitesAvant + 1);
    EXPECT_EQ(boites.back().captionId, ids::TrainerProgressTitle);
    EXPECT_TRUE(boites.back().okShown);

    // The scaling of the set, and its dump.
    const MiseAEchelle& e = m_reseau.echelles();
    EXPECT_DOUBLE_EQ(e.Translation1[0], 0.15);
    EXPECT_DOUBLE_EQ(e.Echelle1(2, 2), 5.0 / 0.18);
    EXPECT_DOUBLE_EQ(e.Echelle2(1, 1), 0.16);
    const std::string texte = lireOctets(dump());
    EXPECT_EQ(texte.rfind("(4)\r\n(3,1)\r\n", 0), 0u);
    EXPECT_NE(texte.find("Translation 2\r\n(2,1)\r\n     -0.625\r\n     -0.625\r\n"),
              std::string::npos);
}

TEST_F(ReseauNeuronesTest, SmallIterationCountsShowNoProgressSteps)
{
    m_reseau.parametres.IterMax = 99;
    ASSERT_TRUE(entrainer());
    EXPECT_EQ(m_reseau.perceptron()->pasAffichage(), 0);
}

TEST_F(ReseauNeuronesTest, SecondTrainingContinuesUnlessTheStructureChanged)
{
    ASSERT_TRUE(entrainer());
    const Perceptron* premier = m_reseau.perceptron();
    const std::vector<double> appris = poids(*premier);

    // No pass: the weights are those the first run left.
    m_reseau.parametres.IterMax = 0;
    ASSERT_TRUE(entrainer());
    EXPECT_EQ(m_reseau.perceptron(), premier);
    EXPECT_EQ(poids(*m_reseau.perceptron()), appris);
    EXPECT_EQ(m_reseau.perceptron()->iterMax(), 0);

    m_reseau.parametres.NeuroneCoucheCache = 6;
    m_reseau.modifierStructure();
    ASSERT_TRUE(entrainer());
    EXPECT_EQ(couches(*m_reseau.perceptron()), (std::vector<int>{3, 6, 2}));
    EXPECT_FALSE(m_reseau.structureModifiee());

    // A forgotten network (a new training file) is rebuilt too.
    m_reseau.choisirFichierEntrainement();
    EXPECT_EQ(m_reseau.perceptron(), nullptr);
    EXPECT_TRUE(m_reseau.fichierChoisi());
    ASSERT_TRUE(entrainer());
    EXPECT_NE(m_reseau.perceptron(), nullptr);
}

TEST_F(ReseauNeuronesTest, RefiningTrainsACopyThatReplacesTheNetworkOnlyWhenTheRunWentThrough)
{
    const auto exemple = [](double e1, double e2, double e3, double y, double x) {
        Exemple ex;
        ex.entree = Vecteur(3);
        ex.entree[0] = e1;
        ex.entree[1] = e2;
        ex.entree[2] = e3;
        ex.desire = Vecteur(2);
        ex.desire[0] = y;
        ex.desire[1] = x;
        return ex;
    };
    Table1D<Exemple> points(2);
    points[0] = exemple(0.16, 0.15, 0.15, 1.5, 3.5);
    points[1] = exemple(0.12, 0.14, 0.25, 0.5, 4.5);

    // Nothing to refine without a network.
    EXPECT_FALSE(m_reseau.Affiner(points, 50).remplace);
    ASSERT_TRUE(entrainer());
    const Perceptron* avant = m_reseau.perceptron();
    const std::vector<double> appris = poids(*avant);
    const std::vector<double> echelle = cellules(m_reseau.echelles().Echelle1);
    const std::uint64_t version = m_reseau.version();
    scripted().clear();

    // Cancelled: the network in place is the very same, its weights untouched.
    scripted().pressCancelAtPoll(3);
    scripted().queueAnswer(MessageAnswer::Yes);
    BilanAffinage bilan = m_reseau.Affiner(points, 50);
    EXPECT_TRUE(bilan.annule);
    EXPECT_FALSE(bilan.remplace);
    EXPECT_EQ(bilan.passes, 3);
    EXPECT_EQ(m_reseau.perceptron(), avant);
    EXPECT_EQ(poids(*m_reseau.perceptron()), appris);
    EXPECT_EQ(m_reseau.version(), version);
    ASSERT_FALSE(scripted().progressBoxes().empty());
    EXPECT_TRUE(scripted().progressBoxes().back().okShown);
    EXPECT_EQ(scripted().progressBoxes().back().upper, 50);

    // Another network put in place during the run (the trainer window
    // reads weights while the box keeps the interface live): this run yields.
    ASSERT_TRUE(m_reseau.EcrirePoids(m_dossier / "autre.wgh"));
    scripted().clear();
    scripted().pressCancelAtPoll(2);
    scripted().queueAnswer(MessageAnswer::No);
    scripted().setWhileBoxOpen([this](const ScriptedPlatform::ShownMessage&) {
        m_reseau.LirePoids(m_dossier / "autre.wgh");
    });
    const Perceptron* lu = nullptr;
    bilan = m_reseau.Affiner(points, 20);
    scripted().setWhileBoxOpen(nullptr);
    lu = m_reseau.perceptron();
    EXPECT_TRUE(bilan.devance);
    EXPECT_FALSE(bilan.remplace);
    EXPECT_EQ(bilan.passes, 20);
    EXPECT_EQ(m_reseau.fichierPoids(), m_dossier / "autre.wgh");
    egauxASixChiffres(poids(*lu), appris);
    const std::vector<double> echelleLue = cellules(m_reseau.echelles().Echelle1);
    egauxASixChiffres(echelleLue, echelle);

    // Through: a new network of the same layers, from the weights, with the
    // same scaling; it answers the points better.
    const auto ecart = [&] {
        double somme = 0.0;
        for (int k = 0; k < points.taille(); ++k) {
            Vecteur v;
            EXPECT_TRUE(
                m_reseau.Evaluer(points[k].entree[0], points[k].entree[1], points[k].entree[2], v));
            somme += std::hypot(v[0] - points[k].desire[0], v[1] - points[k].desire[1]);
        }
        return somme;
    };
    const double ecartAvant = ecart();
    const std::uint64_t versionLue = m_reseau.version();
    const std::vector<int> couchesLues = couches(*lu);
    bilan = m_reseau.Affiner(points, 200, dump());
    EXPECT_TRUE(bilan.remplace);
    EXPECT_EQ(bilan.passes, 200);
    EXPECT_EQ(couches(*m_reseau.perceptron()), couchesLues);
    EXPECT_EQ(m_reseau.perceptron()->iterMax(), 200);
    EXPECT_EQ(cellules(m_reseau.echelles().Echelle1), echelleLue);
    EXPECT_GT(m_reseau.version(), versionLue);
    EXPECT_TRUE(m_reseau.fichierPoids().empty()) << "no longer the file's network";
    EXPECT_LT(ecart(), ecartAvant);
    EXPECT_NE(lireOctets(dump()).find("Echelle 1"), std::string::npos);

    // A set that does not fit the network is refused before anything runs.
    Table1D<Exemple> autre(1);
    autre[0] = exemple(0.1, 0.1, 0.1, 1, 1);
    autre[0].desire = Vecteur(1);
    const Perceptron* affine = m_reseau.perceptron();
    EXPECT_TRUE(
        kiv_test::lanceErreur([&] { m_reseau.Affiner(autre, 10); }, "Vecteur desire invalide!"));
    EXPECT_TRUE(kiv_test::lanceErreur([&] { m_reseau.Affiner(Table1D<Exemple>(), 10); },
                                      "Ensemble d'entrainement vide!"));
    EXPECT_EQ(m_reseau.perceptron(), affine);
}

TEST_F(ReseauNeuronesTest, RefusedParametersKeepTheNetworkInUse)
{
    ASSERT_TRUE(entrainer());
    const Perceptron* avant = m_reseau.perceptron();
    const std::vector<double> appris = poids(*avant);
    const std::vector<double> echelle = cellules(m_reseau.echelles().Echelle1);

    // Other inputs (new scaling) and a new structure, with a learning rate of 2.
    ecrireOctets(m_dossier / "appr.dat",
                 "(2)\n(3,1) 10 20 30\n(2,1) 0 1\n(3,1) 40 50 70\n(2,1) 4 5\n");
    m_reseau.parametres.Gain = 2.0;
    m_reseau.modifierStructure();
    EXPECT_ERREUR(entrainer(), "Taux d'apprentissage invalide!");
    EXPECT_EQ(m_reseau.perceptron(), avant);
    EXPECT_EQ(poids(*m_reseau.perceptron()), appris);
    EXPECT_EQ(cellules(m_reseau.echelles().Echelle1), echelle);

    // Without a network, none is installed.
    m_reseau.choisirFichierEntrainement();
    EXPECT_ERREUR(entrainer(), "Taux d'apprentissage invalide!");
    EXPECT_EQ(m_reseau.perceptron(), nullptr);
}

TEST_F(ReseauNeuronesTest, MalformedTrainingFileKeepsNetworkScalingAndDump)
{
    ASSERT_TRUE(entrainer());
    const Perceptron* avant = m_reseau.perceptron();
    const std::vector<double> echelle = cellules(m_reseau.echelles().Echelle1);
    const std::string ancienDump = lireOctets(dump());

    ecrireOctets(m_dossier / "appr.dat", "(2)\n(3,1) 1 2 3\n(2,1) 0 1\n(3,1) 4 5\n");
    EXPECT_ERREUR(entrainer(), "Format invalide!");
    ecrireOctets(m_dossier / "appr.dat", "(2)\n(3,1) 1 2 3\n(2,1) 0 1\n(2,1) 4 5\n(2,1) 0 1\n");
    EXPECT_ERREUR(entrainer(), "Indice invalide!");

    EXPECT_EQ(m_reseau.perceptron(), avant);
    EXPECT_EQ(cellules(m_reseau.echelles().Echelle1), echelle);
    EXPECT_EQ(lireOctets(dump()), ancienDump);
}

TEST_F(ReseauNeuronesTest, WeightsFileReadsBackNetworkAndScaling)
{
    ASSERT_TRUE(entrainer());
    const std::string chemin = m_dossier / "reseau.wgh";
    ASSERT_TRUE(m_reseau.EcrirePoids(chemin));

    const std::string octets = lireOctets(chemin);
    EXPECT_EQ(octets.rfind("(3,3)\r\n", 0), 0u);
    for (std::size_t k = 0; k < octets.size(); ++k) {
        if (octets[k] == '\n') {
            ASSERT_TRUE(k > 0 && octets[k - 1] == '\r') << "bare LF at " << k;
        }
    }

    ReseauNeurones relu;
    relu.parametres.NeuroneCoucheCache = 9; // the file carries no parameter
    relu.LirePoids(chemin);
    EXPECT_TRUE(relu.entraine());
    EXPECT_EQ(relu.parametres.NeuroneCoucheCache, 9);
    ASSERT_NE(relu.perceptron(), nullptr);
    EXPECT_EQ(couches(*relu.perceptron()), couches(*m_reseau.perceptron()));
    egauxASixChiffres(poids(*relu.perceptron()), poids(*m_reseau.perceptron()));
    const MiseAEchelle& a = m_reseau.echelles();
    const MiseAEchelle& b = relu.echelles();
    egauxASixChiffres(cellules(b.Echelle1), cellules(a.Echelle1));
    egauxASixChiffres(cellules(b.Echelle2), cellules(a.Echelle2));
    egauxASixChiffres(cellules(b.Translation1), cellules(a.Translation1));
    egauxASixChiffres(cellules(b.Translation2), cellules(a.Translation2));

    Vecteur v1;
    Vecteur v2;
    ASSERT_TRUE(m_reseau.Evaluer(0.15, 0.16, 0.14, v1));
    ASSERT_TRUE(relu.Evaluer(0.15, 0.16, 0.14, v2));
    ASSERT_EQ(v2.taille(), 2);
    EXPECT_NEAR(v2[0], v1[0], 1e-3);
    EXPECT_NEAR(v2[1], v1[1], 1e-3);

    // Written again, the read network gives the same bytes.
    ASSERT_TRUE(relu.EcrirePoids(m_dossier / "copie.wgh"));
    EXPECT_EQ(lireOctets(m_dossier / "copie.wgh"), octets);

    // And the same file with LF line ends reads the same.
    std::string lf;
    for (char c : octets) {
        if (c != '\r') {
            lf += c;
        }
    }
    ecrireOctets(m_dossier / "lf.wgh", lf);
    ReseauNeurones reluLf;
    reluLf.LirePoids(m_dossier / "lf.wgh");
    EXPECT_EQ(poids(*reluLf.perceptron()), poids(*relu.perceptron()));
    EXPECT_EQ(cellules(reluLf.echelles().Translation1), cellules(b.Translation1));
}

TEST_F(ReseauNeuronesTest, WeightsFileBytesIgnoreTheGlobalLocale)
{
    ASSERT_TRUE(entrainer());
    ASSERT_TRUE(m_reseau.EcrirePoids(m_dossier / "c.wgh"));
    {
        kiv_test::LocaleVirgule virgule;
        ASSERT_TRUE(m_reseau.EcrirePoids(m_dossier / "virgule.wgh"));
        ReseauNeurones relu;
        relu.LirePoids(m_dossier / "c.wgh");
        egauxASixChiffres(poids(*relu.perceptron()), poids(*m_reseau.perceptron()));
    }
    const std::string octets = lireOctets(m_dossier / "c.wgh");
    EXPECT_NE(octets.find('.'), std::string::npos);
    // Commas only in the headers of the four scaling blocks.
    EXPECT_EQ(std::count(octets.begin(), octets.end(), ','), 4);
    EXPECT_EQ(lireOctets(m_dossier / "virgule.wgh"), octets);
}

TEST_F(ReseauNeuronesTest, FailedWeightsReadKeepsTheLoadedNetwork)
{
    ASSERT_TRUE(entrainer());
    const std::string chemin = m_dossier / "reseau.wgh";
    ASSERT_TRUE(m_reseau.EcrirePoids(chemin));
    const std::string octets = lireOctets(chemin);

    ReseauNeurones charge;
    charge.LirePoids(chemin);
    const Perceptron* avant = charge.perceptron();
    const std::vector<double> poidsAvant = poids(*avant);
    const std::vector<double> translationAvant = cellules(charge.echelles().Translation2);

    // Cut in the perceptron's text, cut in the scaling, no file at all.
    ecrireOctets(m_dossier / "tronque.wgh", octets.substr(0, octets.size() * 2 / 3));
    EXPECT_ERREUR(charge.LirePoids(m_dossier / "tronque.wgh"), "Format invalide!");
    ecrireOctets(m_dossier / "debut.wgh", octets.substr(0, 40));
    EXPECT_ERREUR(charge.LirePoids(m_dossier / "debut.wgh"), "Format invalide!");
    EXPECT_ERREUR(charge.LirePoids(m_dossier / "absent.wgh"), "Format invalide!");
    // A translation that is not a single column.
    ecrireOctets(m_dossier / "colonnes.wgh", "(1,1) 1\n(1,1) 1\n(1,2) 0 0\n(1,1) 0\n");
    EXPECT_ERREUR(charge.LirePoids(m_dossier / "colonnes.wgh"), "Format invalide!");

    EXPECT_EQ(charge.perceptron(), avant);
    EXPECT_EQ(poids(*charge.perceptron()), poidsAvant);
    EXPECT_EQ(cellules(charge.echelles().Translation2), translationAvant);

    ReseauNeurones vide;
    EXPECT_ERREUR(vide.LirePoids(m_dossier / "debut.wgh"), "Format invalide!");
    EXPECT_FALSE(vide.entraine()) << "a failed read is no network read";
}

TEST_F(ReseauNeuronesTest, EvaluateScalesInputsAndDescalesOutputs)
{
    // A hand-made network: one layer of two output neurons over three inputs.
    // Input 0 is scaled by 2 around 1; neuron 0 sees it with weight 1 and
    // answers 0.9, neuron 1 has no weight and answers 0.1.
    const double ln9 = std::log(9.0);
    char texte[600];
    std::snprintf(texte, sizeof texte,
                  "# hand-made weights\r\n"
                  "(3,3)\r\n 2 0 0\r\n 0 1 0\r\n 0 0 1\r\n"
                  "(2,2)\r\n 0.16 0\r\n 0 0.16\r\n"
                  "(3,1)\r\n 1\r\n 0\r\n 0\r\n"
                  "(2,1)\r\n -0.625\r\n -0.625\r\n"
                  "(1)\r\n(2)\r\n%.17g\r\n(3)\r\n1\r\n0\r\n0\r\n\r\n%.17g\r\n(3)\r\n0\r\n0\r\n0\r\n"
                  "\r\n\r\n",
                  1.0 - ln9, ln9);
    ecrireOctets(m_dossier / "main.wgh", texte);
    m_reseau.LirePoids(m_dossier / "main.wgh");

    Vecteur resultat;
    ASSERT_TRUE(m_reseau.Evaluer(1.5, 123.0, -7.0, resultat));
    ASSERT_EQ(resultat.taille(), 2);
    EXPECT_NEAR(resultat[0], 5.0, 1e-9);
    EXPECT_NEAR(resultat[1], 0.0, 1e-9);

    // Three inputs are all it takes; a network of another width is refused.
    ecrireOctets(m_dossier / "deux.wgh", "(2,2) 1 0 0 1 (1,1) 1 (2,1) 0 0 (1,1) 0\n"
                                         "(1) (1) 0 (2) 0 0\n");
    m_reseau.LirePoids(m_dossier / "deux.wgh");
    Vecteur garde(1);
    garde[0] = 7.0;
    EXPECT_ERREUR(m_reseau.Evaluer(1, 2, 3, garde), "Matrice incompatible!");
    EXPECT_EQ(garde[0], 7.0);
}

TEST_F(ReseauNeuronesTest, TheTrainersFilesAreWrittenSafely)
{
    // Links planted at the temporary names of each file are never followed.
    const std::string victime = m_dossier / "victime.txt";
    ecrireOctets(victime, "à garder");
    for (const std::string nom : {"test.ext", "r.wgh", "r.prm"}) {
        const kiv_test::PiegesTemporaires pieges(m_dossier / nom, victime);
        if (nom == "test.ext") {
            ASSERT_TRUE(entrainer());
        } else if (nom == "r.wgh") {
            ASSERT_TRUE(m_reseau.EcrirePoids(m_dossier / nom));
        } else {
            ASSERT_TRUE(m_reseau.EcrireParametres(m_dossier / nom));
        }
        EXPECT_TRUE(pieges.victimeIntacte()) << nom;
        EXPECT_GT(kiv_test::PiegesTemporaires::essais(), kiv_test::PiegesTemporaires::Nombre);
        EXPECT_FALSE(std::filesystem::is_symlink(m_dossier / nom)) << nom;
    }
    EXPECT_TRUE(scripted().messages().empty());
    EXPECT_EQ(lireOctets(m_dossier / "r.prm").rfind("Gain=0.5\r\n", 0), 0u);

    // A full disk keeps the previous weights and parameters and says why.
    const std::string poids = lireOctets(m_dossier / "r.wgh");
    EXPECT_EQ(kiv_test::dansUnFils([&] {
                  if (!kiv_test::limiterTailleFichiers(100)) {
                      return 10;
                  }
                  std::string raison;
                  if (m_reseau.EcrirePoids(m_dossier / "r.wgh", &raison)) {
                      return 11;
                  }
                  return raison == std::strerror(EFBIG) ? 0 : 12;
              }),
              0);
    EXPECT_EQ(lireOctets(m_dossier / "r.wgh"), poids);
    std::string raison;
    EXPECT_FALSE(m_reseau.EcrireParametres(m_dossier / "absent/r.prm", &raison));
    EXPECT_EQ(raison, std::strerror(ENOENT));

    // A dump that cannot be written is told, and the run goes on.
    m_reseau.modifierStructure();
    EXPECT_TRUE(m_reseau.EntrainerFichier(m_dossier / "appr.dat", m_dossier / "absent/test.ext"));
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Erreur d'écriture du fichier (" +
                                                 m_dossier / "absent/test.ext" + ")\n\n" +
                                                 std::strerror(ENOENT));
    EXPECT_EQ(scripted().messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_NE(m_reseau.perceptron(), nullptr);
}

TEST_F(ReseauNeuronesTest, AnEvaluationInKeptVectorsGivesTheMatrixFormulasBitForBit)
{
    // The frame's evaluation works in vectors kept from call to call; its
    // outputs are those of Echelle1 x (x - Translation1) through the
    // network, de-scaled, to the last bit, whatever the vectors held before.
    ASSERT_TRUE(entrainer());
    // A full scaling matrix, so that the order of the terms shows.
    MiseAEchelle e = m_reseau.echelles();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            e.Echelle1(i, j) += 0.1 * (i + 1) / (j + 3);
        }
    }
    std::unique_ptr<Perceptron> p = m_reseau.perceptron()->copie();
    Vecteur entree(5);
    Vecteur resultat(1);
    for (int k = 0; k < 200; ++k) {
        const double t1 = 0.1 + 0.0013 * k;
        const double t2 = 0.35 - 0.0011 * k;
        const double t3 = 0.2 + 0.0007 * (k % 37);
        Vecteur x(3);
        x[0] = t1;
        x[1] = t2;
        x[2] = t3;
        p->propager(e.Echelle1 * (x - e.Translation1));
        Vecteur attendu = p->sorties();
        for (int i = 0; i < attendu.taille(); ++i) {
            attendu[i] = attendu[i] / e.Echelle2(i, i) + e.Translation2[i];
        }
        evaluerReseau(*p, e, t1, t2, t3, entree, resultat);
        ASSERT_EQ(resultat.taille(), attendu.taille());
        for (int i = 0; i < attendu.taille(); ++i) {
            ASSERT_EQ(resultat[i], attendu[i]) << "frame " << k << ", output " << i;
        }
    }
}

TEST_F(ReseauNeuronesTest, APublishedCopyEvaluatesAsTheNetworkAndFollowsItsChanges)
{
    ReseauPublie copie;
    Vecteur v;
    const auto evaluer = [](auto& reseau) {
        Vecteur sortie;
        EXPECT_TRUE(reseau.Evaluer(0.16, 0.2, 0.25, sortie));
        return std::vector<double>{sortie[0], sortie[1]};
    };
    copie.suivre(m_reseau);
    EXPECT_FALSE(copie.Evaluer(0.16, 0.2, 0.25, v)) << "no network yet";

    // Trained: the copy gives the very same outputs.
    ASSERT_TRUE(entrainer());
    EXPECT_FALSE(copie.Evaluer(0.16, 0.2, 0.25, v)) << "not published yet";
    copie.suivre(m_reseau);
    const std::vector<double> apres = evaluer(m_reseau);
    EXPECT_EQ(evaluer(copie), apres);

    // Each change is published anew: a second run, a weights file read, a
    // network forgotten for a new training file.
    m_reseau.parametres.NeuroneCoucheCache = 6;
    m_reseau.modifierStructure();
    ASSERT_TRUE(entrainer());
    EXPECT_EQ(evaluer(copie), apres) << "the copy stays until it is published";
    copie.suivre(m_reseau);
    EXPECT_EQ(evaluer(copie), evaluer(m_reseau));
    EXPECT_NE(evaluer(copie), apres);

    const std::string chemin = m_dossier / "reseau.wgh";
    ASSERT_TRUE(m_reseau.EcrirePoids(chemin));
    ReseauNeurones lu;
    lu.LirePoids(chemin);
    copie.suivre(lu);
    EXPECT_EQ(evaluer(copie), evaluer(lu));

    lu.choisirFichierEntrainement();
    copie.suivre(lu);
    EXPECT_FALSE(copie.Evaluer(0.16, 0.2, 0.25, v));
}
