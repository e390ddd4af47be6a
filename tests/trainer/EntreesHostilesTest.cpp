// Files and fields that cannot make a usable network: each is refused with
// its message before anything is written, and the network in use, its
// scaling and the files on disk stay as they were.
#include "../core/ErreurAttendue.h"
#include "FichiersTemporaires.h"
#include "ReseauOutils.h"
#include "core/BudgetMemoire.h"
#include "core/scripted/ScriptedPlatform.h"
#include "trainer/ReseauNeurones.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <sys/stat.h>

using kiv_test::ecrireOctets;
using kiv_test::kEntrainement;
using kiv_test::lireOctets;
using kiv_test::poids;
using kiv_test::RepertoireTemporaire;

namespace {

class EntreesHostiles : public testing::Test {
protected:
    void SetUp() override
    {
        static_cast<ScriptedPlatform&>(platform()).clear();
        definirBudgetMemoire(std::size_t{64} << 20);
        ecrireOctets(m_dossier / "appr.dat", kEntrainement);
        m_reseau.parametres.CoucheCache = 3;
        m_reseau.parametres.NeuroneCoucheCache = 4;
        m_reseau.parametres.IterMax = 20;
        ASSERT_TRUE(entrainer());
        m_poids = poids(*m_reseau.perceptron());
        m_dump = lireOctets(dump());
        m_translation = m_reseau.echelles().Translation2[0];
    }
    void TearDown() override { definirBudgetMemoire(0); }

    bool entrainer() { return m_reseau.EntrainerFichier(m_dossier / "appr.dat", dump()); }
    std::string dump() const { return m_dossier / "test.ext"; }

    /** The trained network, its scaling and the dump are those of SetUp. */
    void rienNaChange(const char* cas)
    {
        ASSERT_NE(m_reseau.perceptron(), nullptr) << cas;
        EXPECT_EQ(poids(*m_reseau.perceptron()), m_poids) << cas;
        EXPECT_EQ(m_reseau.echelles().Translation2[0], m_translation) << cas;
        EXPECT_EQ(lireOctets(dump()), m_dump) << cas;
    }

    RepertoireTemporaire m_dossier;
    ReseauNeurones m_reseau;
    std::vector<double> m_poids;
    std::string m_dump;
    double m_translation = 0.0;
};

TEST_F(EntreesHostiles, EmptySetsAndEmptyLayersAreRefused)
{
    ecrireOctets(m_dossier / "appr.dat", "(0)\r\n");
    EXPECT_ERREUR(entrainer(), "Ensemble d'entrainement vide!");
    rienNaChange("empty set");

    ecrireOctets(m_dossier / "appr.dat", kEntrainement);
    m_reseau.modifierStructure();
    m_reseau.parametres.NeuroneSortie = 0;
    EXPECT_ERREUR(entrainer(), "Couche sans neurone!");
    rienNaChange("no output neuron");
    m_reseau.parametres.NeuroneSortie = 2;
    m_reseau.parametres.NeuroneCoucheCache = 0;
    EXPECT_ERREUR(entrainer(), "Couche sans neurone!");
    rienNaChange("empty hidden layer");

    // Weights files with an empty middle or output layer.
    const std::string debut = "(3,3) 1 0 0 0 1 0 0 0 1\n(1,1) 1\n(3,1) 0 0 0\n(1,1) 0\n";
    const std::string neurone = "(1)\n0.5\n(3)\n0.1\n0.2\n0.3\n";
    for (const std::string& couches :
         {"(2)\n" + neurone + "(0)\n", "(3)\n" + neurone + "(0)\n(1)\n0\n(0)\n"}) {
        ecrireOctets(m_dossier / "vide.wgh", debut + couches);
        EXPECT_ERREUR(m_reseau.LirePoids(m_dossier / "vide.wgh"), "Couche sans neurone!");
    }
    rienNaChange("weights file");
}

TEST_F(EntreesHostiles, FieldsThatAreNotNumbersAreRefused)
{
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    struct Cas {
        double ParametresReseau::*champ;
        double valeur;
        const char* message;
    };
    for (const Cas& cas :
         {Cas{&ParametresReseau::MinOutput, nan, "MinOutput invalide!"},
          Cas{&ParametresReseau::MaxOutput, inf, "MaxOutput invalide!"},
          Cas{&ParametresReseau::Epsilon, -inf, "Epsilon invalide!"},
          Cas{&ParametresReseau::ErreurMax, inf, "Erreur quadratique maximum invalide!"},
          Cas{&ParametresReseau::Tolerance, inf, "Tolerance invalide!"}}) {
        ParametresReseau garde = m_reseau.parametres;
        m_reseau.parametres.*cas.champ = cas.valeur;
        EXPECT_ERREUR(entrainer(), cas.message);
        m_reseau.parametres = garde;
        EXPECT_EQ(poids(*m_reseau.perceptron()), m_poids) << cas.message;
    }
    // The three output fields are checked before the dump is written.
    m_reseau.parametres.MinOutput = nan;
    EXPECT_ERREUR(entrainer(), "MinOutput invalide!");
    rienNaChange("MinOutput");
}

TEST_F(EntreesHostiles, DivergentTrainingGivesTheNetworkBack)
{
    ecrireOctets(m_dossier / "appr.dat", "(2)\n(3,1) 0.1 0.2 0.3\n(2,1) 1e308 1\n"
                                         "(3,1) 0.3 0.1 0.2\n(2,1) 0 -1e308\n");
    EXPECT_ERREUR(entrainer(), "Entrainement divergent: poids non finis!");
    ASSERT_NE(m_reseau.perceptron(), nullptr);
    EXPECT_EQ(poids(*m_reseau.perceptron()), m_poids);
    EXPECT_EQ(m_reseau.echelles().Translation2[0], m_translation);

    // A network built for the run goes; the one before it comes back.
    const Perceptron* avant = m_reseau.perceptron();
    m_reseau.modifierStructure();
    EXPECT_ERREUR(entrainer(), "Entrainement divergent: poids non finis!");
    EXPECT_EQ(m_reseau.perceptron(), avant);
    EXPECT_TRUE(m_reseau.structureModifiee());
    EXPECT_TRUE(m_reseau.EcrirePoids(m_dossier / "apres.wgh"));
    ReseauNeurones relu;
    relu.LirePoids(m_dossier / "apres.wgh");
}

TEST_F(EntreesHostiles, SizesBeyondTheInputOrTheBudgetCostNothing)
{
    // Twelve bytes announcing 100,000,000 examples.
    ecrireOctets(m_dossier / "appr.dat", "(100000000)\n");
    EXPECT_ERREUR(entrainer(), "Format invalide!");
    // Networks of hundreds of gigabytes, or of a million layers.
    ecrireOctets(m_dossier / "appr.dat", kEntrainement);
    m_reseau.modifierStructure();
    m_reseau.parametres.CoucheCache = 4;
    m_reseau.parametres.NeuroneCoucheCache = 100000;
    EXPECT_ERREUR(entrainer(), "Erreur d'allocation de memoire!");
    m_reseau.parametres.NeuroneCoucheCache = 5;
    m_reseau.parametres.CoucheCache = 1000000;
    EXPECT_ERREUR(entrainer(), "Erreur d'allocation de memoire!");
    m_reseau.parametres.CoucheCache = 3;
    // 10,000 inputs per example for a network of 3: no scaling of that size.
    std::string large = "(1)\n(10000,1)";
    for (int k = 0; k < 10000; ++k) {
        large += " 1";
    }
    ecrireOctets(m_dossier / "appr.dat", large + "\n(2,1) 1 2\n");
    EXPECT_ERREUR(entrainer(), "Vecteur d'entree invalide!");
    // A weights file announcing a huge block.
    ecrireOctets(m_dossier / "grand.wgh", "(10000000,100)\n1 2\n");
    EXPECT_ERREUR(m_reseau.LirePoids(m_dossier / "grand.wgh"), "Format invalide!");
    rienNaChange("sizes");
}

TEST_F(EntreesHostiles, ErrorsNameTheFileAndLineAndAByteOrderMarkIsSkipped)
{
    const std::string chemin = m_dossier / "reseau.wgh";
    ASSERT_TRUE(m_reseau.EcrirePoids(chemin));
    const std::string octets = lireOctets(chemin);

    ecrireOctets(m_dossier / "bom.wgh", "\xEF\xBB\xBF" + octets);
    ReseauNeurones relu;
    relu.LirePoids(m_dossier / "bom.wgh");
    EXPECT_EQ(kiv_test::couches(*relu.perceptron()), kiv_test::couches(*m_reseau.perceptron()));
    ecrireOctets(m_dossier / "appr.dat", "\xEF\xBB\xBF" + std::string(kEntrainement));
    EXPECT_TRUE(entrainer());

    // The fifth line's value spoiled.
    std::string abime = octets;
    std::size_t fin = 0;
    for (int l = 0; l < 4; ++l) {
        fin = abime.find('\n', fin) + 1;
    }
    abime[fin + 1] = 'x';
    abime[fin + 2] = 'x';
    ecrireOctets(m_dossier / "abime.wgh", abime);
    testing::internal::CaptureStderr();
    try {
        relu.LirePoids(m_dossier / "abime.wgh");
        ADD_FAILURE() << "read";
    } catch (const ErreurFichier& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Format invalide!\nFichier : " + (m_dossier / "abime.wgh") + ", ligne 5");
    }
    try {
        relu.LirePoidsNommes(m_dossier / "absent.wgh");
        ADD_FAILURE() << "read";
    } catch (const ErreurOuverture& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Erreur d'ouverture du fichier de poids (" + (m_dossier / "absent.wgh") + ")");
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(EntreesHostiles, AFifoAFolderOrADeviceIsAFileThatCannotBeOpened)
{
    // A FIFO nobody writes to would hold the reader (and the trainer
    // window's thread) in open() for good; a device would feed it forever.
    ASSERT_EQ(::mkfifo((m_dossier / "tube").c_str(), 0600), 0);
    std::filesystem::create_directory(m_dossier / "dossier");
    auto& scripted = static_cast<ScriptedPlatform&>(platform());
    for (const std::string& chemin :
         {m_dossier / "tube", m_dossier / "dossier", std::string("/dev/zero")}) {
        SCOPED_TRACE(chemin);
        scripted.clear();
        try {
            m_reseau.LirePoidsNommes(chemin);
            ADD_FAILURE() << "read";
        } catch (const ErreurOuverture& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Erreur d'ouverture du fichier de poids (" + chemin + ")");
        }
        EXPECT_FALSE(m_reseau.LireParametres(chemin));
        EXPECT_FALSE(m_reseau.EntrainerFichier(chemin, dump()));
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_EQ(scripted.messages()[0].text,
                  "Erreur d'ouverture du fichier d'entrainement (" + chemin + ")");
    }
}

} // namespace
