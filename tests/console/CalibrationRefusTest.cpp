// The calibration window refuses mistakes: a point far from where the
// network puts the robot asks first (after the byte that closed it is
// handled); "Retirer" and "Vider" are recorded so that the log gives back
// the window's list; a set saved without an extension gets ".dat"; the
// network is refined from the window; the window opens beside the map; the
// file dialogs of the user's files start in the documents, never in the
// bundled data.
#include "ConsoleFixture.h"

#include "ListeJournal.h"
#include "console/CalibrationDlg.h"
#include "console/PlacementACote.h"
#include "console/ReglageCalibration.h"
#include "core/CatalogueReglages.h"
#include "core/DossierDonnees.h"
#include "core/ReglageNumerique.h"
#include "core/qt/DossiersFichiers.h"
#include "core/qt/QtPlatform.h"
#include "link/LienEnregistre.h"
#include "link/recorder/Enregistreur.h"
#include "link/recorder/LecteurSession.h"
#include "support/PseudoTerminal.h"
#include "support/RepertoireTemporaire.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/BeaconModel.h"
#include "world/view/MapView.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>

#include <filesystem>
#include <fstream>

namespace {

class CalibrationRefusTest : public ConsoleTest {
protected:
    void TearDown() override
    {
        QSettings().remove(QString::fromLatin1(reglages::EcartMaxCalibration.nom));
        ConsoleTest::TearDown();
    }

    /** Starts the console and opens the calibration window. */
    void ouvrir()
    {
        ASSERT_TRUE(attendre([this] {
            return view->mapView() && !liens.empty() && liens.back()->proprietaire != nullptr;
        }));
        ajouterMenuCalibration(*frame)->trigger();
        dlg = frame->findChild<CalibrationDlg*>();
        ASSERT_NE(dlg, nullptr);
        scripted().clear();
    }

    /** One frame of a robot standing at `p`, handed over as the link hands bytes. */
    void trame(balises::Position p, std::uint32_t phase)
    {
        RobotLinkOwner* robot = liens.back()->proprietaire;
        for (const std::int16_t h : balises::horodatages(p, phase)) {
            const auto mot = static_cast<std::uint16_t>(h);
            robot->OnRobotByte(mot & 0xFF, 1);
            robot->OnRobotByte(mot >> 8, 1);
        }
        robot->OnRobotByte(0, 1);
        robot->OnRobotByte(200, 1);
    }

    /** The operator types (x, y) and measures there while the robot stands at `vrai`. */
    void mesurer(int x, int y, balises::Position vrai)
    {
        dans<QSpinBox>("x")->setValue(x);
        dans<QSpinBox>("y")->setValue(y);
        dlg->mesurer();
        for (std::uint32_t k = 0; k < 20; ++k) {
            trame(vrai, 977 * k + 13);
        }
    }

    template <class T>
    T* dans(const char* nom) const
    {
        return dlg->findChild<T*>(QString::fromLatin1(nom));
    }
    QString etat() const { return dans<QLabel>("etat")->text(); }
    int points() const { return dans<QListWidget>("liste")->count(); }

    CalibrationDlg* dlg = nullptr;
};

} // namespace

TEST_F(CalibrationRefusTest, APointFarFromTheEstimateAsksOnceTheByteIsHandledAndIsKeptOnlyOnYes)
{
    demarrer(true);
    ouvrir();
    // Typed 370 while the robot stands at 18: the network puts it 352 cm away.
    mesurer(130, 370, {130, 18});
    EXPECT_TRUE(scripted().messages().empty()) << "no box while a received byte is handled";
    EXPECT_EQ(points(), 0);
    EXPECT_TRUE(etat().startsWith(QStringLiteral("Point à confirmer : x = 130 cm, y = 370 cm, à ")))
        << etat().toStdString();
    scripted().queueAnswer(MessageAnswer::No);
    QCoreApplication::processEvents();
    ASSERT_EQ(scripted().messages().size(), 1u);
    const ScriptedPlatform::ShownMessage question = scripted().messages()[0];
    EXPECT_EQ(question.caption, "Calibration");
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::Question);
    const std::string debut = "Le point mesuré en x = 130 cm, y = 370 cm est à ";
    EXPECT_EQ(question.text.substr(0, debut.size()), debut) << question.text;
    const std::string fin = " cm), plus que l'écart admis de 50 cm.\n\nLe robot se trouvait-il "
                            "bien en x = 130 cm, y = 370 cm ?\n« Oui » garde le point, « Non » "
                            "l'écarte.";
    ASSERT_GT(question.text.size(), fin.size());
    EXPECT_EQ(question.text.substr(question.text.size() - fin.size()), fin) << question.text;
    EXPECT_NE(question.text.find(" cm de la position que le réseau estime pour ses mesures (x = "),
              std::string::npos);
    // "Non": dropped, nothing recorded.
    EXPECT_EQ(points(), 0);
    EXPECT_TRUE(liens.back()->calibres.empty());
    EXPECT_TRUE(etat().startsWith(QStringLiteral("Point écarté : x = 130 cm, y = 370 cm, à ")));

    // "Oui": kept and recorded, as typed.
    mesurer(130, 370, {130, 18});
    scripted().queueAnswer(MessageAnswer::Yes);
    QCoreApplication::processEvents();
    EXPECT_EQ(scripted().messages().size(), 2u);
    ASSERT_EQ(points(), 1);
    ASSERT_EQ(liens.back()->calibres.size(), 1u);
    EXPECT_EQ(liens.back()->calibres[0].y, 370.0);

    // Where the network agrees, nothing is asked.
    mesurer(250, 250, {250, 250});
    QCoreApplication::processEvents();
    EXPECT_EQ(scripted().messages().size(), 2u);
    EXPECT_EQ(points(), 2);

    // A new measure started before the question shows drops the point: no question.
    mesurer(400, 100, {100, 400});
    dlg->mesurer();
    QCoreApplication::processEvents();
    EXPECT_EQ(scripted().messages().size(), 2u);
    EXPECT_EQ(points(), 2);
    dans<QPushButton>("mesurer")->click(); // cancels the measure under way

    // The distance comes from the settings store, read at each measure.
    QSettings().setValue(QString::fromLatin1(reglages::EcartMaxCalibration.nom), 400);
    mesurer(130, 370, {130, 18});
    QCoreApplication::processEvents();
    EXPECT_EQ(scripted().messages().size(), 2u);
    EXPECT_EQ(points(), 3);
    EXPECT_EQ(scripted().unanswered(), 0);
}

TEST(ReglageCalibration, TheDistanceIsReadWithItsRange)
{
    QSettings reglages;
    const QString cle = QString::fromLatin1(reglages::EcartMaxCalibration.nom);
    reglages.remove(cle);
    EXPECT_EQ(ecartMaxCalibrationCm(), 50.0);
    for (const auto& [valeur, attendu] :
         std::vector<std::pair<QVariant, double>>{{QVariant(120), 120.0},
                                                  {QVariant(QStringLiteral("12.5")), 12.5},
                                                  {QVariant(1.0), 1.0},
                                                  {QVariant(1000), 1000.0},
                                                  {QVariant(0.99), 50.0},
                                                  {QVariant(1000.5), 50.0},
                                                  {QVariant(-20), 50.0},
                                                  {QVariant(QStringLiteral("loin")), 50.0},
                                                  {QVariant(QStringLiteral("nan")), 50.0},
                                                  {QVariant(QStringLiteral("inf")), 50.0}}) {
        reglages.setValue(cle, valeur);
        EXPECT_EQ(ecartMaxCalibrationCm(), attendu) << valeur.toString().toStdString();
    }
    reglages.remove(cle);
    ::reglages::oublierAvertissements();
}

TEST_F(CalibrationRefusTest, RemovedAndEmptiedPointsAreRecordedSoThatTheLogGivesTheWindowsList)
{
    kiv_test::RepertoireTemporaire dossier;
    auto session =
        std::make_shared<journal::Enregistreur>(journal::ReglagesJournal{dossier / "journaux"});
    demarrerAvec([this, session] {
        auto lien = std::make_unique<FakeLink>(true, journal);
        liens.push_back(lien.get());
        return enregistrer(std::move(lien), session);
    });
    ouvrir();
    auto* liste = dans<QListWidget>("liste");
    const auto garder = [&](int x) {
        mesurer(x, 250, {static_cast<double>(x), 250});
        QCoreApplication::processEvents();
    };
    for (const int x : {100, 150, 200}) {
        garder(x);
    }
    ASSERT_EQ(points(), 3);
    // Nothing chosen: "Retirer" removes nothing and records nothing.
    liste->setCurrentRow(-1);
    dans<QPushButton>("retirer")->click();
    EXPECT_EQ(points(), 3);
    liste->setCurrentRow(1);
    dans<QPushButton>("retirer")->click();
    EXPECT_EQ(liste->item(1)->text().left(20), QStringLiteral("2. x = 200 cm, y = 2"));
    dans<QPushButton>("vider")->click();
    dans<QPushButton>("vider")->click(); // an empty list: nothing to record
    EXPECT_EQ(points(), 0);
    for (const int x : {300, 350, 400}) {
        garder(x);
    }
    liste->setCurrentRow(0);
    dans<QPushButton>("retirer")->click();
    ASSERT_EQ(points(), 2);
    frame.reset();

    // The log gives back the window's list: 350 and 400.
    std::ifstream entree(session->chemin(), std::ios::binary);
    journal::LecteurSession lecteur(entree, session->chemin());
    ASSERT_TRUE(lecteur.lireEntete());
    ListeJournal relue;
    journal::Enregistrement e;
    int editions = 0;
    while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
        relue.prendre(e);
        editions += e.genre == journal::Genre::ListeCalibration;
    }
    EXPECT_EQ(editions, 3);
    EXPECT_TRUE(relue.fidele());
    ASSERT_EQ(relue.liste().taille(), 2);
    EXPECT_EQ(relue.liste()[0].position.x, 350.0);
    EXPECT_EQ(relue.liste()[1].position.x, 400.0);
}

TEST_F(CalibrationRefusTest, ASetSavedWithoutAnExtensionGetsDat)
{
    demarrer(true);
    ouvrir();
    mesurer(250, 250, {250, 250});
    kiv_test::RepertoireTemporaire dossier;
    scripted().queueFile(dossier / "points");
    ASSERT_TRUE(dlg->enregistrer());
    EXPECT_TRUE(std::filesystem::exists(dossier / "points.dat"));
    EXPECT_FALSE(std::filesystem::exists(dossier / "points"));
    EXPECT_EQ(etat(), QStringLiteral("1 point enregistré dans « %1 ».")
                          .arg(QString::fromStdString(dossier / "points.dat")));
    // A name with its own extension is kept as typed.
    scripted().queueFile(dossier / "points.txt");
    ASSERT_TRUE(dlg->enregistrer());
    EXPECT_TRUE(std::filesystem::exists(dossier / "points.txt"));
    ASSERT_EQ(scripted().fileRequests().size(), 2u);
    EXPECT_EQ(scripted().fileRequests()[0].kind, FileDialogKind::Save);
}

TEST_F(CalibrationRefusTest, RefiningFromTheWindowReplacesTheNetworkOnlyWhenTheRunGoesThrough)
{
    demarrer(true);
    ouvrir();
    ReseauNeurones& reseau = view->reseaux().reseau();

    // No point: told, nothing runs.
    EXPECT_FALSE(dlg->affiner());
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Aucun point gardé : rien pour affiner le réseau.");

    mesurer(250, 250, {250, 250});
    mesurer(100, 400, {100, 400});
    ASSERT_EQ(points(), 2);
    dans<QSpinBox>("passes")->setValue(40);
    const Perceptron* avant = reseau.perceptron();
    const std::uint64_t version = reseau.version();

    // Cancelled: the network stays the very same.
    scripted().clear();
    scripted().pressCancelAtPoll(5);
    scripted().queueAnswer(MessageAnswer::Yes);
    EXPECT_FALSE(dlg->affiner());
    EXPECT_EQ(reseau.perceptron(), avant);
    EXPECT_EQ(reseau.version(), version);
    EXPECT_EQ(etat(), QStringLiteral("Affinage annulé après 5 passes : le réseau reste celui "
                                     "d'avant."));
    EXPECT_TRUE(dans<QPushButton>("affiner")->isEnabled());

    // Through: the refined network is in place, and the progress box showed the 40 passes.
    scripted().clear();
    ASSERT_TRUE(dlg->affiner());
    EXPECT_NE(reseau.perceptron(), avant);
    EXPECT_GT(reseau.version(), version);
    ASSERT_FALSE(scripted().progressBoxes().empty());
    EXPECT_EQ(scripted().progressBoxes().back().upper, 40);
    EXPECT_TRUE(etat().startsWith(
        QStringLiteral("Réseau affiné sur 2 points en 40 passes : écart sur ces points ")))
        << etat().toStdString();
    EXPECT_TRUE(scripted().messages().empty());
}

TEST(PlacementACote, BesideTheWindowWhenThereIsRoomElseBesideTheMapNeverOverIt)
{
    const QRect ecran(0, 0, 1920, 1080);
    const QRect fenetre(100, 50, 900, 700);
    const QRect carte(110, 120, 501, 501);
    const QSize taille(400, 600);
    const QSize tailleMin(300, 400);
    // Right of the main window.
    EXPECT_EQ(placeACote(fenetre, carte, taille, tailleMin, ecran), QRect(1004, 50, 400, 600));
    // No room on the right: on the left.
    EXPECT_EQ(
        placeACote(QRect(700, 50, 900, 700), QRect(710, 120, 501, 501), taille, tailleMin, ecran),
        QRect(296, 50, 400, 600));
    // A screen the main window fills: over its form, beside the map, on the screen.
    const QRect petit(0, 0, 1024, 768);
    const QRect p =
        placeACote(QRect(0, 0, 1024, 740), QRect(10, 70, 501, 501), taille, tailleMin, petit);
    EXPECT_EQ(p, QRect(515, 70, 400, 600));
    // Less room than its width: narrowed, down to its least width.
    const QRect etroit(0, 0, 800, 800);
    const QRect r = placeACote(QRect(0, 0, 790, 580), QRect(6, 54, 501, 501), QSize(365, 663),
                               QSize(280, 400), etroit);
    EXPECT_EQ(r, QRect(511, 54, 289, 663));
    // No room anywhere: the place that hides the least of the map, on the screen.
    const QRect minuscule(0, 0, 600, 600);
    const QRect grande(50, 50, 500, 500);
    const QRect q = placeACote(minuscule, grande, QSize(300, 300), QSize(300, 300), minuscule);
    EXPECT_TRUE(minuscule.contains(q));
    EXPECT_EQ(q.size(), QSize(300, 300));
    const QRect cache = q.intersected(grande);
    EXPECT_EQ(cache.width() * cache.height(), 250 * 250);
}

TEST_F(CalibrationRefusTest, TheWindowOpensBesideTheMap)
{
    demarrer(true);
    ASSERT_TRUE(attendre([this] { return view->mapView() && !liens.empty(); }));
    // The test's screen is 800 pixels wide: the main window is moved so that
    // there is room beside its map, as on an operator's screen.
    frame->move(-250, 0);
    const auto carte = [this] {
        return QRect(view->mapView()->mapToGlobal(QPoint(0, 0)), view->mapView()->size());
    };
    ajouterMenuCalibration(*frame)->trigger();
    dlg = frame->findChild<CalibrationDlg*>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(dlg->frameGeometry().intersects(carte()));
    EXPECT_TRUE(frame->screen()->availableGeometry().contains(dlg->frameGeometry()));
    // Closed, the main window moved, opened again: beside the map again.
    dlg->close();
    frame->move(-200, 30);
    ajouterMenuCalibration(*frame)->trigger();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->frameGeometry().intersects(carte()));
}

TEST(DossiersFichiers, SavesNeverStartInTheBundledDataAndGetTheirKindsExtension)
{
    const std::string poids = "Fichier de poids (*.wgh)|*.wgh||";
    const std::string ensemble = "Fichier d'entrainement (*.dat)|*.dat||";
    const QString fournies =
        QFileInfo(QString::fromStdString(donnees::chemin("beacons.wgh"))).absolutePath();
    ASSERT_TRUE(QFileInfo(fournies).isDir());
    QSettings().remove(QStringLiteral("Dossiers"));
    // The first time: the bundled network's folder to open it, the documents to save.
    EXPECT_EQ(dossiers::depart(poids, FileDialogKind::Open), fournies);
    EXPECT_EQ(dossiers::depart(ensemble, FileDialogKind::Save), dossiers::documents());
    // The bundled folder remembered (a set opened there): still not for a save.
    dossiers::retenir(ensemble, fournies + QStringLiteral("/beacons.dat"));
    EXPECT_EQ(dossiers::depart(ensemble, FileDialogKind::Open), fournies);
    EXPECT_EQ(dossiers::depart(ensemble, FileDialogKind::Save), dossiers::documents());
    dossiers::retenir(ensemble, fournies + QStringLiteral("/robot/x.dat"));
    EXPECT_EQ(dossiers::depart(ensemble, FileDialogKind::Save), dossiers::documents())
        << "a folder inside the bundled data is bundled data too";
    EXPECT_TRUE(dossiers::dansDonneesFournies(fournies));
    EXPECT_FALSE(dossiers::dansDonneesFournies(fournies + QStringLiteral("-autre")));
    // A folder of the user's own is remembered for saves too.
    kiv_test::RepertoireTemporaire dossier;
    const QString sien = QString::fromStdString(dossier / "");
    dossiers::retenir(ensemble, sien + QStringLiteral("points.dat"));
    EXPECT_EQ(dossiers::depart(ensemble, FileDialogKind::Save),
              QFileInfo(sien + QStringLiteral("points.dat")).absolutePath());
    const QString documents = dossiers::documents();
    EXPECT_TRUE(QFileInfo(documents).isDir());

    // The Qt dialog: starts there, and adds ".dat" to a name typed without one.
    QtPlatform qt;
    QString depart;
    QString suffixe;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (d == nullptr) {
            return;
        }
        depart = d->directory().absolutePath();
        suffixe = d->defaultSuffix();
        d->selectFile(QStringLiteral("points"));
        static_cast<QDialog*>(d)->accept();
    });
    const auto choisi = qt.chooseFile(FileDialogKind::Save, ensemble);
    EXPECT_EQ(depart, QFileInfo(sien + QStringLiteral("points.dat")).absolutePath());
    EXPECT_EQ(suffixe, QStringLiteral("dat"));
    ASSERT_TRUE(choisi.has_value());
    EXPECT_EQ(*choisi, dossier / "points.dat");
    QSettings().remove(QStringLiteral("Dossiers"));
}
