// Closing the console with a modified field asks first (save, drop, stay);
// a field named on the command line opens once the console is set up.
#include "ShellFixture.h"
#include "console/DocTemplate.h"
#include "console/KIVApp.h"
#include "console/KIVDoc.h"
#include "console/Menu128.h"
#include "world/GridEdits.h"
#include "world/TerrainMonde.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <utility>

#include <sys/stat.h>

namespace {

QStringList ligne(std::initializer_list<std::string> args)
{
    QStringList l{QStringLiteral("kiv")};
    for (const std::string& a : args) {
        l << QString::fromStdString(a);
    }
    return l;
}

class FermetureTest : public ShellTest {
protected:
    void SetUp() override
    {
        scripted().clear();
        ResetWorld();
        cadre = modele.OpenNewDocument(optionsBalises());
        ASSERT_NE(cadre, nullptr);
        cadre->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(cadre));
        QCoreApplication::processEvents();
        scripted().clear();
    }

    CSingleDocTemplate modele{128};
    CMainFrame* cadre = nullptr;
    QTemporaryDir dossier;
};

} // namespace

TEST_F(FermetureTest, AModifiedFieldIsNeverDroppedOnQuit)
{
    // Unmodified: closes without a word.
    EXPECT_TRUE(cadre->accepterFermeture());
    EXPECT_TRUE(scripted().messages().empty());

    PlaceObstacle(5, 7);
    // "Annuler" (and Escape): the console stays open, the field as it is.
    scripted().queueAnswer(MessageAnswer::Cancel);
    cadre->action(cmd::Quitter)->trigger(); // "Quitter"
    ASSERT_EQ(scripted().messages().size(), 1u);
    const auto question = scripted().messages()[0];
    EXPECT_EQ(question.text,
              "Le terrain « Sans titre » a été modifié.\nEnregistrer les modifications avant de "
              "quitter ?");
    EXPECT_EQ(question.caption, "KIV-ZUL");
    EXPECT_EQ(question.buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_TRUE(cadre->isVisible());
    EXPECT_TRUE(modele.document()->IsModified());

    // "Oui" and the save dialog cancelled: nothing saved, still open.
    scripted().clear();
    scripted().queueAnswer(MessageAnswer::Yes);
    EXPECT_FALSE(cadre->close());
    EXPECT_EQ(scripted().fileRequests().size(), 1u);
    EXPECT_TRUE(cadre->isVisible());

    // "Oui" and a name: saved, then closed.
    const std::string chemin = dossier.filePath(QStringLiteral("champ.kiv")).toStdString();
    scripted().queueAnswer(MessageAnswer::Yes);
    scripted().queueFile(chemin);
    EXPECT_TRUE(cadre->close());
    EXPECT_FALSE(cadre->isVisible());
    std::ifstream fichier(chemin, std::ios::binary);
    std::string erreur;
    const auto lu = lireTerrain(fichier, erreur);
    ASSERT_TRUE(lu) << erreur;
    EXPECT_EQ(*lu, terrainDuMonde());

    // Modified again, "Non": closes and drops the change.
    cadre->show();
    PlaceObstacle(9, 9);
    scripted().clear();
    scripted().queueAnswer(MessageAnswer::No);
    EXPECT_TRUE(cadre->close());
    EXPECT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text,
              "Le terrain « champ.kiv » a été modifié.\nEnregistrer les modifications avant de "
              "quitter ?");
    EXPECT_EQ(scripted().unanswered(), 0);
}

TEST(LigneCommandeTerrainTest, OneFieldMayFollowTheOptions)
{
    const auto lu = [](std::initializer_list<std::string> a) {
        return analyserLigneCommande(ligne(a));
    };
    EXPECT_EQ(lu({"--bundled", "essai.kiv"}).terrain, "essai.kiv");
    EXPECT_TRUE(lu({"essai.kiv", "--bundled"}).erreur.empty());
    EXPECT_EQ(lu({"--", "-bizarre.kiv"}).terrain, "-bizarre.kiv");
    EXPECT_EQ(lu({"a.kiv", "b.kiv"}).erreur, "un seul terrain à ouvrir");
    EXPECT_EQ(lu({"-x"}).erreur, "argument inconnu : -x");
    EXPECT_TRUE(lu({}).terrain.empty());
}

TEST(DemarrageTest, AFieldNamedAtStartOpensWithItsDestination)
{
    auto& scripted = static_cast<ScriptedPlatform&>(platform());
    scripted.clear();
    QTemporaryDir dossier;
    // A field saved with a wall and a destination.
    ResetWorld();
    InitWorld();
    PlaceObstacle(5, 7);
    SetDestination(412, 62); // a cell's centre, where the map puts it
    const Terrain champ = terrainDuMonde();
    ASSERT_NE(champ, terrainInitial());
    const std::string chemin = dossier.filePath(QStringLiteral("depart.kiv")).toStdString();
    {
        std::ofstream f(chemin, std::ios::binary);
        ecrireTerrain(f, champ);
    }
    ResetWorld();

    std::ostringstream sortie;
    {
        CKIVApp app;
        ASSERT_TRUE(app.InitInstance(ligne({"--weights", KIV_DATA_DIR "/beacons.wgh", chemin}),
                                     sortie, sortie));
        // The set-up, then the field.
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return app.mainFrame()->windowTitle() == QStringLiteral("KIV-ZUL - depart.kiv");
        }));
        EXPECT_EQ(terrainDuMonde(), champ);
        EXPECT_TRUE(monde().destination.lire().placee) << "the destination steers a robot at once";
        EXPECT_EQ(app.mainFrame()->windowTitle(), QStringLiteral("KIV-ZUL - depart.kiv"));
        EXPECT_FALSE(app.modele()->document()->IsModified());
        // Nothing but the port's own word (no robot here).
        for (const auto& m : scripted.messages()) {
            EXPECT_EQ(m.caption, "Attention") << m.text;
        }
    }
    ResetWorld();

    // A file that cannot be read: the usual message, an empty field.
    const std::string absent = dossier.filePath(QStringLiteral("absent.kiv")).toStdString();
    scripted.clear();
    CKIVApp app;
    ASSERT_TRUE(app.InitInstance(ligne({"--weights", KIV_DATA_DIR "/beacons.wgh", absent}), sortie,
                                 sortie));
    const std::string attendu = "Impossible d'ouvrir le fichier « " + absent + " ».";
    const auto dits = [&] {
        const auto vus = scripted.messages();
        return std::count_if(vus.begin(), vus.end(),
                             [&](const auto& m) { return m.text == attendu; });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return dits() > 0; }));
    EXPECT_EQ(dits(), 1);
    EXPECT_EQ(terrainDuMonde(), terrainInitial());
    EXPECT_EQ(app.mainFrame()->windowTitle(), QStringLiteral("KIV-ZUL - Sans titre"));
    ResetWorld();
}

TEST(OuvertureTerrainTest, AFifoOrAFolderIsRefusedAtOnceAndTheFieldStays)
{
    // A FIFO nobody writes to held the console in open() for good: no
    // window, no signal served. It is now a file that cannot be opened.
    auto& scripted = static_cast<ScriptedPlatform&>(platform());
    ResetWorld();
    QTemporaryDir dossier;
    const std::string tube = dossier.filePath(QStringLiteral("tube.kiv")).toStdString();
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    const std::string sousDossier = dossier.filePath(QStringLiteral("dossier.kiv")).toStdString();
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(sousDossier)));
    CKIVDoc document;
    const Terrain avant = terrainDuMonde();
    for (const auto& [chemin, raison] :
         {std::pair{tube, "c'est un tube (FIFO)"}, std::pair{sousDossier, "c'est un dossier"}}) {
        scripted.clear();
        EXPECT_FALSE(document.OnOpenDocument(chemin));
        ASSERT_EQ(scripted.messages().size(), 1u);
        EXPECT_EQ(scripted.messages()[0].text,
                  "Impossible d'ouvrir le fichier « " + chemin + " ».\n\n" + raison);
        EXPECT_EQ(terrainDuMonde(), avant);
    }
    scripted.clear();
    ResetWorld();
}
