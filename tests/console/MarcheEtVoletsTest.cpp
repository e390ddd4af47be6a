// The run pane of a robot on the line, the heading probed again at each
// opening of the link, the key messages' menu item, the status panes of
// fixed width, the battery never reported, where the file dialogs start.
#include "ConsoleFixture.h"

#include "console/MessagesClavier.h"
#include "console/SuiviMarche.h"
#include "console/VoletBatterie.h"
#include "console/VoletJournal.h"
#include "console/VoletMarche.h"
#include "console/VoletTexte.h"
#include "console/VoletsOperateur.h"
#include "core/CatalogueReglages.h"
#include "core/qt/DossiersFichiers.h"
#include "link/RobotLink.h"
#include "link/recorder/Enregistreur.h"
#include "support/RepertoireTemporaire.h"

#include <QAction>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

TEST(SuiviMarcheTest, ARobotOnTheLineIsFollowedFromItsLinkAndTheWorld)
{
    SuiviMarche s;
    RegardMarche r;
    r.destinationPlacee = true;
    r.lien = EtatSante::Reception;
    EXPECT_EQ(s.observer(r), EtatMarche::Repos) << "a destination, not yet steered";
    r.pilote = true;
    EXPECT_EQ(s.observer(r), EtatMarche::EnRoute);
    r.pilote = false; // between two choices of the navigation
    EXPECT_EQ(s.observer(r), EtatMarche::EnRoute);

    // Lost on the way, and found again once frames come and it is steered.
    r.lien = EtatSante::Perdu;
    EXPECT_EQ(s.observer(r), EtatMarche::RobotPerdu);
    r.lien = EtatSante::Attente; // reopened, no frame yet
    EXPECT_EQ(s.observer(r), EtatMarche::RobotPerdu);
    r.lien = EtatSante::Reception;
    EXPECT_EQ(s.observer(r), EtatMarche::RobotPerdu);
    r.pilote = true;
    EXPECT_EQ(s.observer(r), EtatMarche::EnRoute);
    r.lien = EtatSante::Deconnecte;
    EXPECT_EQ(s.observer(r), EtatMarche::RobotPerdu);
    r.lien = EtatSante::Reception;

    r.sansChemin = true;
    EXPECT_EQ(s.observer(r), EtatMarche::PasDeChemin);
    r.sansChemin = false;
    EXPECT_EQ(s.observer(r), EtatMarche::EnRoute);
    r.surDestination = true;
    r.pilote = false;
    EXPECT_EQ(s.observer(r), EtatMarche::Arrive);
    r.lien = EtatSante::Perdu; // arrived is not lost
    EXPECT_EQ(s.observer(r), EtatMarche::Arrive);
    // The destination moves: on the way again.
    r.lien = EtatSante::Reception;
    r.surDestination = false;
    r.pilote = true;
    EXPECT_EQ(s.observer(r), EtatMarche::EnRoute);
    r.destinationPlacee = false; // a new field
    EXPECT_EQ(s.observer(r), EtatMarche::Repos);

    // Without frames nothing starts: no robot, or a port that never heard one.
    SuiviMarche seul;
    r.destinationPlacee = true;
    for (EtatSante lien : {EtatSante::Ferme, EtatSante::Attente, EtatSante::SansTrame}) {
        r.lien = lien;
        EXPECT_EQ(seul.observer(r), EtatMarche::Repos);
    }

    // "Go!!!" keeps its own states, whatever the link says while it runs.
    r.lien = EtatSante::Reception;
    r.simulations = 1;
    s.surGo(true);
    EXPECT_EQ(s.observer(r), EtatMarche::EnCours);
    r.surDestination = true;
    EXPECT_EQ(s.observer(r), EtatMarche::Arrive);
    s.surGo(false);
    r.destinationPlacee = false;
    EXPECT_EQ(s.observer(r), EtatMarche::SansDestination);
    s.surArret();
    EXPECT_EQ(s.etat(), EtatMarche::Arrete);

    // Held by the operator, nothing else is told; resumed, the run is told afresh.
    SuiviMarche h;
    RegardMarche m;
    m.destinationPlacee = true;
    m.lien = EtatSante::Reception;
    m.pilote = true;
    EXPECT_EQ(h.observer(m), EtatMarche::EnRoute);
    m.retenu = true;
    m.pilote = false;
    for (EtatSante lien : {EtatSante::Reception, EtatSante::Perdu}) {
        m.lien = lien;
        EXPECT_EQ(h.observer(m), EtatMarche::Arrete);
    }
    m.sansChemin = true;
    EXPECT_EQ(h.observer(m), EtatMarche::Arrete);
    m.retenu = false;
    m.sansChemin = false;
    m.lien = EtatSante::Reception;
    EXPECT_EQ(h.observer(m), EtatMarche::Repos) << "resumed, not yet steered";
    m.pilote = true;
    EXPECT_EQ(h.observer(m), EtatMarche::EnRoute);
    // A virtual run held by "Saisie" goes on after the resume.
    m.simulations = 1;
    m.retenu = true;
    EXPECT_EQ(h.observer(m), EtatMarche::Arrete);
    m.retenu = false;
    EXPECT_EQ(h.observer(m), EtatMarche::EnCours);
}

namespace {

class MarcheTest : public ConsoleTest {};

} // namespace

TEST_F(MarcheTest, TheRunPaneTellsARealRunInFrench)
{
    demarrer(true);
    EtatSante lien = EtatSante::Reception;
    VoletMarche volet;
    volet.setSanteLien([&lien] { return lien; });
    volet.resize(volet.sizeHint());
    StopWorldThreads(); // the test plays the navigation

    SetRobotPosition(60, 60);
    SetDestination(400, 400);
    SetWheels(2, 2);
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("En route"));
    lien = EtatSante::Perdu;
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("Robot perdu"));
    lien = EtatSante::Reception;
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("En route"));
    monde().drapeaux.sansCheminAffiche = 1;
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("En attente d'un chemin"));
    monde().drapeaux.sansCheminAffiche = 0;
    SetWheels(0, 0);
    const Point but = monde().destination.lire().marque;
    SetRobotPosition(but.x, but.y);
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("Arrivé"));

    // Every text fits the pane's fixed width.
    for (const char* texte :
         {VoletMarche::TexteEnCours, VoletMarche::TexteArrive, VoletMarche::TexteArrete,
          VoletMarche::TexteEnRoute, VoletMarche::TextePasDeChemin, VoletMarche::TexteRobotPerdu,
          VoletMarche::TexteSansDestination}) {
        volet.setText(QString::fromUtf8(texte));
        EXPECT_EQ(volet.sizeHint().width(), volet.largeurFixe()) << texte;
        volet.resize(volet.sizeHint());
        EXPECT_EQ(volet.texteAffiche(), volet.text()) << texte;
    }
    volet.clear();
    EXPECT_EQ(volet.sizeHint().width(), 0) << "an empty pane takes no room";
}

TEST_F(MarcheTest, EachOpeningOfTheLinkProbesTheHeadingAgain)
{
    demarrer(true);
    fixerCap(3);
    EXPECT_EQ(view->OpenRobotPort(), 0);
    EXPECT_EQ(capRobot(), 0);

    demarrer(false);
    fixerCap(3);
    EXPECT_EQ(view->OpenRobotPort(), 1);
    EXPECT_EQ(capRobot(), 3) << "no new robot: the heading stays";
}

TEST_F(MarcheTest, KeyMessagesCanBeTurnedOffAndThatIsRemembered)
{
    demarrer(true);
    QSettings().remove(QString::fromLatin1(reglages::MessagesClavier.nom));
    QAction* messages = ajouterMenuClavier(*frame);
    ASSERT_NE(messages, nullptr);
    EXPECT_TRUE(messages->isChecked());
    view->setFocus();
    scripted().clear();
    QTest::keyClick(frame->windowHandle(), Qt::Key_4);
    EXPECT_EQ(scripted().messages().size(), 3u) << "the frame's, the view's, the character's";

    messages->setChecked(false);
    scripted().clear();
    QTest::keyClick(frame->windowHandle(), Qt::Key_4);
    QTest::keyClick(frame->windowHandle(), Qt::Key_F2);
    EXPECT_TRUE(scripted().messages().empty());
    EXPECT_FALSE(QSettings().value(QString::fromLatin1(reglages::MessagesClavier.nom)).toBool());

    // The next start reads it back.
    demarrer(true);
    QAction* relu = ajouterMenuClavier(*frame);
    EXPECT_FALSE(relu->isChecked());
    relu->setChecked(true);
    EXPECT_TRUE(QSettings().value(QString::fromLatin1(reglages::MessagesClavier.nom)).toBool());
}

TEST_F(MarcheTest, ABatteryNeverReportedIsNoLevelAndAnOpenSilentPortIsNotLost)
{
    demarrer(true);
    ajouterVoletsOperateur(*frame);
    auto* volet =
        static_cast<VoletBatterie*>(frame->findChild<QLabel*>(QStringLiteral("voletBatterie")));
    ASSERT_NE(volet, nullptr);
    EXPECT_EQ(volet->voltsLabel()->text(), QStringLiteral("—"));
    // A level of 0 reported is a level.
    RobotLinkOwner* robot = liens.at(0)->proprietaire;
    for (int k = 0; k < 9; ++k) {
        robot->OnRobotByte(k == 8 ? 0 : 0x40 + k, 1);
    }
    robot->OnRobotByte(0, 1);
    EXPECT_EQ(volet->voltsLabel()->text(), QStringLiteral("0.00 V"));

    SanteLien sante(2000);
    sante.observer(0, true, 0);
    EXPECT_EQ(sante.texte(), "Lien : ouvert, en attente de données");
    EXPECT_EQ(sante.observer(2000, true, 0), EtatSante::SansTrame);
    EXPECT_EQ(sante.texte(), "Lien : ouvert, aucune trame reçue");
    EXPECT_EQ(sante.observer(2100, true, 1), EtatSante::Reception);
    EXPECT_EQ(sante.observer(4100, true, 1), EtatSante::Perdu) << "frames came, then none";
}

TEST(DossiersFichiersTest, EachKindOfFileStartsWhereItWasLastChosen)
{
    QTemporaryDir a;
    QTemporaryDir b;
    const std::string terrains = "Terrain KIV-ZUL (*.kiv)|*.kiv||";
    const std::string poids = "Fichier de poids (*.wgh)|*.wgh||";
    EXPECT_EQ(dossiers::genre(terrains), "kiv");
    EXPECT_EQ(dossiers::genre("Tous (*.*)|*.*||"), "");
    EXPECT_EQ(dossiers::genre("Sans motif"), "");
    QSettings().remove(QStringLiteral("Dossiers"));

    EXPECT_EQ(dossiers::depart(terrains), dossiers::documents());
    dossiers::retenir(terrains, a.filePath(QStringLiteral("champ.kiv")));
    dossiers::retenir(poids, b.filePath(QStringLiteral("reseau.wgh")));
    EXPECT_EQ(dossiers::depart(terrains), a.path());
    EXPECT_EQ(dossiers::depart(poids), b.path());
    // A folder gone is no start.
    const QString parti = b.path();
    b.remove();
    EXPECT_NE(dossiers::depart(poids), parti);
    QSettings().remove(QStringLiteral("Dossiers"));
}

TEST_F(MarcheTest, AtTheDefaultSizeTheOperatorsPanesReadWholeWithoutHovering)
{
    demarrer(true);
    // As the program installs them.
    kiv_test::RepertoireTemporaire dossier;
    ajouterVoletsOperateur(*frame);
    ajouterVoletJournal(*frame, std::make_shared<journal::Enregistreur>(
                                    journal::ReglagesJournal{dossier / "journaux"}));
    StopWorldThreads(); // the texts are set by hand
    struct Volet {
        const char* nom;
        const char* texte;
    };
    // The longest texts each pane shows, all at once.
    const Volet volets[] = {
        {"voletMarche", VoletMarche::TexteArrete},
        {"voletReseau", "Réseau : beacons.wgh"},
        {"voletBatterie", "Batterie faible : 1.76 V"},
        {"voletLien", "Lien : réception, 10.0 trames/s, 2 resynchronisations"},
        {"voletJournal", "Journal arrêté"},
    };
    for (const Volet& v : volets) {
        auto* volet = frame->findChild<VoletTexte*>(QString::fromLatin1(v.nom));
        ASSERT_NE(volet, nullptr) << v.nom;
        volet->setText(QString::fromUtf8(v.texte));
    }
    for (int tour = 0; tour < 3; ++tour) {
        QCoreApplication::processEvents();
    }
    for (const Volet& v : volets) {
        const auto* volet = frame->findChild<VoletTexte*>(QString::fromLatin1(v.nom));
        EXPECT_EQ(volet->texteAffiche(), volet->text()) << v.nom << " is cut";
    }
}
