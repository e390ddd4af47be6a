// Start-up, the command line, the document template and the document's commands.
#include "console/KIVApp.h"
#include "ShellFixture.h"
#include "console/DocTemplate.h"
#include "console/KIVDoc.h"
#include "console/Menu128.h"
#include "support/PiegesTemporaires.h"
#include "world/GridEdits.h"
#include "world/TerrainMonde.h"
#include "world/WorldState.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

QStringList ligne(std::initializer_list<const char*> args)
{
    QStringList l{QStringLiteral("kiv")};
    for (const char* a : args) {
        l << QString::fromUtf8(a);
    }
    return l;
}

TEST(LigneCommandeTest, OptionsAndMistakes)
{
    LigneCommande vide = analyserLigneCommande(ligne({}));
    EXPECT_FALSE(vide.entraineur || vide.aide);
    EXPECT_TRUE(vide.poids.empty() && vide.erreur.empty());

    EXPECT_EQ(analyserLigneCommande(ligne({"--weights", "a b.wgh"})).poids, "a b.wgh");
    EXPECT_EQ(analyserLigneCommande(ligne({"--weights=x.wgh", "--trainer"})).poids, "x.wgh");
    EXPECT_TRUE(analyserLigneCommande(ligne({"--weights=x.wgh", "--trainer"})).entraineur);
    EXPECT_TRUE(analyserLigneCommande(ligne({"--help"})).aide);

    EXPECT_EQ(analyserLigneCommande(ligne({"--weights"})).erreur,
              "--weights attend un nom de fichier");
    EXPECT_EQ(analyserLigneCommande(ligne({"--weights="})).erreur,
              "--weights attend un nom de fichier");
    EXPECT_EQ(analyserLigneCommande(ligne({"--poids"})).erreur, "argument inconnu : --poids");

    // File names stay the system's bytes, UTF-8 or not; an unknown option is escaped.
    const LigneCommande octets = analyserLigneCommande(std::vector<std::string>{
        "kiv", "--weights", "r\xE9seau.wgh", "--replay", "j\xFF.kivlog", "\xE9t\xE9.kiv"});
    EXPECT_EQ(octets.poids, "r\xE9seau.wgh");
    EXPECT_EQ(octets.rejeu, "j\xFF.kivlog");
    EXPECT_EQ(octets.terrain, "\xE9t\xE9.kiv");
    EXPECT_EQ(analyserLigneCommande(std::vector<std::string>{"kiv", "--\x1b[2J"}).erreur,
              "argument inconnu : --\\x1B[2J");
}

class KIVAppTest : public ShellTest {
protected:
    void SetUp() override
    {
        scripted().clear();
        ResetWorld();
    }
};

TEST_F(KIVAppTest, HelpAndWrongLinesEndStartUp)
{
    std::ostringstream sortie;
    std::ostringstream erreurs;
    {
        CKIVApp app;
        EXPECT_FALSE(app.InitInstance(ligne({"--help"}), sortie, erreurs));
        EXPECT_EQ(app.codeSortie(), 0);
        EXPECT_EQ(app.mainFrame(), nullptr);
    }
    EXPECT_EQ(sortie.str(), UsageKiv);
    EXPECT_TRUE(erreurs.str().empty());

    CKIVApp app;
    EXPECT_FALSE(app.InitInstance(ligne({"-x"}), sortie, erreurs));
    EXPECT_EQ(app.codeSortie(), 2);
    EXPECT_EQ(erreurs.str(), std::string("kiv : argument inconnu : -x\n") + UsageKiv);
    EXPECT_EQ(app.mainFrame(), nullptr);
    EXPECT_TRUE(scripted().messages().empty());
}

TEST_F(KIVAppTest, StartUpShowsTheConsoleWithItsDocument)
{
    std::ostringstream sortie;
    CKIVApp app;
    ASSERT_TRUE(
        app.InitInstance(ligne({"--weights", KIV_DATA_DIR "/beacons.wgh"}), sortie, sortie));
    EXPECT_EQ(QCoreApplication::organizationName(),
              QStringLiteral("Local AppWizard-Generated Applications"));
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    CMainFrame* cadre = app.mainFrame();
    ASSERT_NE(cadre, nullptr);
    EXPECT_TRUE(cadre->isVisible());
    EXPECT_EQ(cadre->frameGeometry(), QRect(0, 0, 790, 580));
    EXPECT_EQ(cadre->document(), app.modele()->document());
    EXPECT_EQ(app.modele()->idRessources(), 128);
    // Weights from the command line: nothing asked.
    EXPECT_TRUE(scripted().messages().empty());
    EXPECT_TRUE(scripted().fileRequests().empty());
}

TEST_F(KIVAppTest, WithoutWeightsTheConsoleAsksForThem)
{
    std::ostringstream sortie;
    CKIVApp app;
    ASSERT_TRUE(app.InitInstance(ligne({}), sortie, sortie));
    const auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Choisissez un fichier de poids pour le réseau de neurones");
    EXPECT_EQ(scripted().fileRequests().size(), 1u);
}

TEST_F(KIVAppTest, WeightsNamedOnTheCommandLineThatCannotBeReadAreNamed)
{
    std::ostringstream sortie;
    {
        CKIVApp app;
        ASSERT_TRUE(app.InitInstance(ligne({"--weights", "absent.wgh"}), sortie, sortie));
        ASSERT_EQ(scripted().messages().size(), 1u);
        EXPECT_EQ(scripted().messages()[0].text,
                  "Erreur d'ouverture du fichier de poids (absent.wgh)");
        EXPECT_NE(app.mainFrame(), nullptr) << "the console runs on without a network";
    }
    scripted().clear();
    {
        std::ofstream("casse.wgh") << "(1,1)\n 1\n(1,1)\n z\n";
        CKIVApp app;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(app.InitInstance(ligne({"--weights", "casse.wgh"}), sortie, sortie));
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(scripted().messages().size(), 1u);
        EXPECT_EQ(scripted().messages()[0].text, "Format invalide!\nFichier : casse.wgh, ligne 4");
    }
}

TEST_F(KIVAppTest, TrainerModeMakesNoConsole)
{
    std::ostringstream sortie;
    CKIVApp app;
    EXPECT_TRUE(app.InitInstance(ligne({"--trainer"}), sortie, sortie));
    EXPECT_EQ(app.mainFrame(), nullptr);
    EXPECT_EQ(monde().drapeaux.miseEnPlaceAttendue, 1);
}

TEST(DocTemplateTest, TemplateStringFields)
{
    CSingleDocTemplate modele(128);
    EXPECT_EQ(modele.GetDocString(0), "KIV");
    EXPECT_EQ(modele.GetDocString(1), "");
    EXPECT_EQ(modele.GetDocString(2), "KIV");
    EXPECT_EQ(modele.GetDocString(5), "KIV.Document");
    EXPECT_EQ(modele.GetDocString(6), "KIV Document");
    EXPECT_EQ(modele.GetDocString(7), "");
}

/** The file's bytes. */
std::string contenu(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST_F(KIVAppTest, DocumentSavesOpensAndAsksBeforeDroppingTheField)
{
    QTemporaryDir dossier;
    const std::string chemin = dossier.filePath(QStringLiteral("essai")).toStdString();
    CSingleDocTemplate modele(128);
    CMainFrame* cadre = modele.OpenNewDocument(optionsBalises());
    ASSERT_NE(cadre, nullptr);
    cadre->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(cadre));
    QCoreApplication::processEvents(); // the first activation makes the field
    CKIVDoc* doc = modele.document();
    EXPECT_EQ(cadre->windowTitle(), QStringLiteral("KIV-ZUL - Sans titre"));
    EXPECT_FALSE(doc->IsModified());

    // A field: a wall, the robot, a destination, the bandit, grid lines.
    PlaceObstacle(5, 7);
    SetRobotPosition(60, 260);
    SetDestination(400, 60);
    monde().bandit.ecrire({{300, 300}, true});
    cadre->action(cmd::Quadrillage)->trigger();
    EXPECT_TRUE(doc->IsModified());
    const Terrain champ = terrainDuMonde();

    // Save As: the name gets ".kiv"; the file holds the field.
    scripted().clear();
    scripted().queueFile(chemin);
    cadre->action(cmd::FichierEnregistrerSous)->trigger();
    ASSERT_EQ(scripted().fileRequests().size(), 1u);
    EXPECT_EQ(scripted().fileRequests()[0].filter, "Terrain KIV-ZUL (*.kiv)|*.kiv||");
    EXPECT_EQ(doc->GetPathName(), chemin + ".kiv");
    EXPECT_EQ(cadre->windowTitle(), QStringLiteral("KIV-ZUL - essai.kiv"));
    EXPECT_FALSE(doc->IsModified());
    const std::string octets = contenu(chemin + ".kiv");
    EXPECT_EQ(octets.substr(0, 19), "KIV-ZUL terrain 1\r\n");
    // (The map snaps the destination to its cell's centre.)
    EXPECT_NE(octets.find("\r\nRobot 60 260\r\nDestination 412 62\r\nBandit 300 300 1\r\n"
                          "Quadrillage 1\r\n"),
              std::string::npos)
        << octets;

    // New on a modified field asks; "Non" keeps everything.
    PlaceObstacle(15, 15);
    scripted().queueAnswer(MessageAnswer::No);
    cadre->action(cmd::FichierNouveau)->trigger();
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text,
              "Le terrain « essai.kiv » a été modifié.\nAbandonner les modifications ?");
    EXPECT_EQ(scripted().messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(monde().grille[15][15], 1);
    // "Oui": an empty field, no name, no grid lines.
    scripted().queueAnswer(MessageAnswer::Yes);
    cadre->action(cmd::FichierNouveau)->trigger();
    EXPECT_EQ(terrainDuMonde(), terrainInitial());
    EXPECT_EQ(cadre->windowTitle(), QStringLiteral("KIV-ZUL - Sans titre"));
    EXPECT_FALSE(cadre->action(cmd::Quadrillage)->isChecked());

    // Open brings the saved field back, check mark included, without asking.
    scripted().clear();
    scripted().queueFile(chemin + ".kiv");
    cadre->action(cmd::FichierOuvrir)->trigger();
    EXPECT_TRUE(scripted().messages().empty());
    EXPECT_EQ(terrainDuMonde(), champ);
    EXPECT_TRUE(cadre->action(cmd::Quadrillage)->isChecked());
    EXPECT_EQ(cadre->windowTitle(), QStringLiteral("KIV-ZUL - essai.kiv"));

    // A malformed file is refused with its line; the field and name stay.
    const std::string mauvais = dossier.filePath(QStringLiteral("mauvais.kiv")).toStdString();
    std::ofstream(mauvais, std::ios::binary) << "KIV-ZUL terrain 1\r\n0000\r\n";
    scripted().queueFile(mauvais);
    cadre->action(cmd::FichierOuvrir)->trigger();
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text,
              "Le fichier « " + mauvais +
                  " » n'est pas un terrain valide.\n\nligne 2 : rangée de la grille incomplète "
                  "(20 chiffres de 0 à 3 attendus)");
    EXPECT_EQ(terrainDuMonde(), champ);
    EXPECT_EQ(doc->GetPathName(), chemin + ".kiv");

    // A save that cannot be written says so and leaves the file as it was.
    const std::string ailleurs = dossier.filePath(QStringLiteral("absent/x.kiv")).toStdString();
    scripted().clear();
    scripted().queueFile(ailleurs);
    cadre->action(cmd::FichierEnregistrerSous)->trigger();
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Impossible d'enregistrer le terrain dans « " +
                                                 ailleurs + " ».\n\n" + std::strerror(ENOENT));
    EXPECT_EQ(doc->GetPathName(), chemin + ".kiv");
    EXPECT_EQ(contenu(chemin + ".kiv"), octets);

    // Links planted at the temporary names of "Enregistrer sous" are never
    // followed: the victim keeps its bytes, the field becomes no link.
    const std::string victime = dossier.filePath(QStringLiteral("victime.txt")).toStdString();
    std::ofstream(victime) << "à garder";
    const std::string autre = dossier.filePath(QStringLiteral("autre.kiv")).toStdString();
    {
        const kiv_test::PiegesTemporaires pieges(autre, victime);
        scripted().clear();
        scripted().queueFile(autre);
        cadre->action(cmd::FichierEnregistrerSous)->trigger();
        EXPECT_TRUE(scripted().messages().empty());
        EXPECT_TRUE(pieges.victimeIntacte());
    }
    EXPECT_FALSE(std::filesystem::is_symlink(autre));
    EXPECT_EQ(contenu(autre), octets);
}

TEST_F(ShellTest, FrameWithoutDocumentHasNoFileCommands)
{
    for (int id : {cmd::FichierNouveau, cmd::FichierOuvrir, cmd::FichierEnregistrer,
                   cmd::FichierEnregistrerSous}) {
        EXPECT_FALSE(action(id)->isEnabled()) << id;
    }
}

} // namespace
