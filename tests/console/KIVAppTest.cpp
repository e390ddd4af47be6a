// Start-up, the command line, the document template and the document's commands.
#include "console/KIVApp.h"
#include "ShellFixture.h"
#include "console/DocTemplate.h"
#include "console/KIVDoc.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
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
    EXPECT_FALSE(app.InitInstance(ligne({"fichier.kiv"}), sortie, erreurs));
    EXPECT_EQ(app.codeSortie(), 2);
    EXPECT_EQ(erreurs.str(), std::string("kiv : argument inconnu : fichier.kiv\n") + UsageKiv);
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
    EXPECT_EQ(g_setupPending, 1);
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

/** What the console shows: the boxes, the traffic, the world. */
std::vector<QString> etatConsole(CKIVView* view)
{
    std::vector<QString> etat;
    for (int id : {1005, 1006, 1009, 1012, 1008, 1017}) {
        etat.push_back(view->findChild<QLineEdit*>(QStringLiteral("id%1").arg(id))->text());
    }
    view->viderTrafic();
    for (int id : {1004, 1011}) {
        etat.push_back(
            view->findChild<QPlainTextEdit*>(QStringLiteral("id%1").arg(id))->toPlainText());
    }
    etat.push_back(QStringLiteral("%1 %2 %3")
                       .arg(g_robotPos.x.load())
                       .arg(g_destPos.x.load())
                       .arg(g_gridLines.load()));
    return etat;
}

TEST_F(KIVAppTest, DocumentCommandsReadWriteAndChangeNothing)
{
    QTemporaryDir dossier;
    const std::string chemin = dossier.filePath(QStringLiteral("essai.kiv")).toStdString();
    CSingleDocTemplate modele(128);
    CMainFrame* cadre = modele.OpenNewDocument(optionsBalises());
    ASSERT_NE(cadre, nullptr);
    cadre->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(cadre));
    CKIVDoc* doc = modele.document();
    EXPECT_EQ(doc->GetTitle(), "Sans titre");
    const auto avant = etatConsole(cadre->view());
    scripted().clear();

    // Save of a new document asks for a name; cancelled, nothing changes.
    cadre->action(57603)->trigger();
    ASSERT_EQ(scripted().fileRequests().size(), 1u);
    EXPECT_EQ(scripted().fileRequests()[0].kind, FileDialogKind::Save);
    EXPECT_EQ(scripted().fileRequests()[0].filter, "Tous les fichiers (*.*)|*.*||");
    EXPECT_TRUE(doc->GetPathName().empty());

    // Save As: the document takes the name, no file is written.
    scripted().queueFile(chemin);
    cadre->action(57604)->trigger();
    EXPECT_EQ(doc->GetPathName(), chemin);
    EXPECT_EQ(doc->GetTitle(), "essai.kiv");
    EXPECT_FALSE(std::filesystem::exists(chemin));
    // Save again: no dialog, still no file.
    cadre->action(57603)->trigger();
    EXPECT_EQ(scripted().fileRequests().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(chemin));

    // Open reads nothing; New forgets the name.
    scripted().queueFile(KIV_DATA_DIR "/beacons.dat");
    cadre->action(57601)->trigger();
    ASSERT_EQ(scripted().fileRequests().size(), 3u);
    EXPECT_EQ(scripted().fileRequests()[2].kind, FileDialogKind::Open);
    EXPECT_EQ(doc->GetTitle(), "beacons.dat");
    cadre->action(57600)->trigger();
    EXPECT_EQ(doc->GetTitle(), "Sans titre");
    EXPECT_FALSE(doc->IsModified());

    EXPECT_EQ(etatConsole(cadre->view()), avant);
    EXPECT_TRUE(scripted().messages().empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dossier.path().toStdString()),
                            std::filesystem::directory_iterator{}),
              0);

    // A second New keeps the one frame.
    EXPECT_EQ(modele.OpenNewDocument(optionsBalises()), cadre);
}

TEST_F(ShellTest, FrameWithoutDocumentHasNoFileCommands)
{
    for (int id : {57600, 57601, 57603, 57604}) {
        EXPECT_FALSE(action(id)->isEnabled()) << id;
    }
}

} // namespace
