// The operator's status-bar panes: the link pane goes to "lost" and back
// with a scripted link and an injected clock, noting both in the session's
// log; the battery reads in volts and warns once per crossing.
#include "ConsoleFixture.h"

#include "console/VoletBatterie.h"
#include "console/VoletLien.h"
#include "console/VoletsOperateur.h"
#include "link/LienEnregistre.h"
#include "link/recorder/Enregistreur.h"
#include "link/recorder/LecteurJournal.h"
#include "support/PseudoTerminal.h"
#include "support/RepertoireTemporaire.h"

#include <fstream>

namespace {

class VoletsOperateurTest : public ConsoleTest {
protected:
    /** One whole frame (ten bytes) through the link's owner. */
    void trame(int batterie = 200)
    {
        for (int k = 0; k < 9; ++k) {
            robot->OnRobotByte(k == 8 ? 0 : 0x40 + k, 1);
        }
        robot->OnRobotByte(batterie, 1);
    }

    RobotLinkOwner* robot = nullptr;
    kiv_test::RepertoireTemporaire dossier;
};

} // namespace

TEST_F(VoletsOperateurTest, TheLinkPaneGoesLostAndRecoversByItself)
{
    auto session = std::make_shared<journal::Enregistreur>(journal::ReglagesJournal{dossier / "j"});
    demarrerAvec([this, session] {
        auto lien = std::make_unique<FakeLink>(true, journal);
        liens.push_back(lien.get());
        return enregistrer(std::move(lien), session);
    });
    robot = liens.at(0)->proprietaire;
    std::int64_t t = 0;
    VoletLien volet(view, 2000, [&t] { return t; });
    const QColor normal = volet.palette().color(QPalette::WindowText);

    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("Lien : ouvert, en attente de données"));
    for (int k = 1; k <= 20; ++k) {
        t = std::int64_t{k} * 100;
        trame();
        volet.actualiser();
    }
    EXPECT_EQ(volet.text(), QStringLiteral("Lien : réception, 10.0 trames/s"));
    t = 3999;
    volet.actualiser();
    EXPECT_EQ(volet.sante().etat(), EtatSante::Reception);
    t = 4000;
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("Lien : perdu, aucune trame depuis 2 s"));
    EXPECT_EQ(volet.palette().color(QPalette::WindowText), QColor(Qt::red));
    t = 4100;
    trame();
    volet.actualiser();
    EXPECT_EQ(volet.sante().etat(), EtatSante::Reception);
    EXPECT_EQ(volet.palette().color(QPalette::WindowText), normal);
    liens[0]->vivant = false;
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("Lien : fermé"));
    // Closed is never lost, however long it lasts.
    t = 100000;
    volet.actualiser();
    EXPECT_EQ(volet.sante().etat(), EtatSante::Ferme);
    EXPECT_TRUE(scripted().messages().empty());

    std::ifstream fichier(session->chemin(), std::ios::binary);
    journal::LecteurJournal lecteur(fichier);
    ASSERT_TRUE(lecteur.lireEntete());
    std::vector<std::string> evenements;
    journal::Enregistrement e;
    while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
        if (e.genre == journal::Genre::Lien) {
            evenements.emplace_back(e.texte());
        }
    }
    ASSERT_EQ(evenements.size(), 3u);
    EXPECT_TRUE(evenements[0].starts_with("ouvert COM1 ")) << evenements[0];
    EXPECT_EQ(evenements[1], "perdu : aucune trame depuis 2000 ms");
    EXPECT_EQ(evenements[2], "rétabli");
}

TEST_F(VoletsOperateurTest, FramesCutShortAreToldWhileRecentAndAGoneDeviceIsLost)
{
    auto session = std::make_shared<journal::Enregistreur>(journal::ReglagesJournal{dossier / "j"});
    demarrerAvec([this, session] {
        auto lien = std::make_unique<FakeLink>(true, journal);
        liens.push_back(lien.get());
        return enregistrer(std::move(lien), session);
    });
    robot = liens.at(0)->proprietaire;
    std::int64_t t = 0;
    VoletLien volet(view, 2000, [&t] { return t; });
    volet.actualiser();
    // Bytes at their arrival times (us): five of a frame, 1.2 s of silence,
    // then a whole frame, whose start the console finds again.
    for (int k = 0; k < 5; ++k) {
        robot->OnRobotByteAt(0x40 + k, 1, 1'000'000);
    }
    for (int k = 0; k < 10; ++k) {
        robot->OnRobotByteAt(k == 8 ? 0 : 0x50 + k, 1, 2'200'000);
    }
    EXPECT_EQ(view->resynchronisations(), 1u);
    EXPECT_EQ(view->octetsEcartes(), 5u);
    EXPECT_EQ(view->tramesRecues(), 1u);
    t = 2200;
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("Lien : réception, 0.0 trames/s, 1 resynchronisation"));
    t = 12199;
    trame();
    volet.actualiser();
    EXPECT_TRUE(volet.text().endsWith(QStringLiteral(", 1 resynchronisation")));
    t = 12200;
    trame();
    volet.actualiser();
    EXPECT_FALSE(volet.text().contains(QStringLiteral("resynchronisation"))) << "ten seconds on";

    // The device goes away: lost, in red, its reason as tooltip; recorded at once.
    const std::string raison = "le périphérique /dev/ttyUSB0 ne répond plus (fin de ligne)";
    liens[0]->vivant = false;
    liens[0]->perte = raison;
    robot->OnLinkLost(raison);
    volet.actualiser();
    EXPECT_EQ(volet.text(), QStringLiteral("Lien : perdu, périphérique déconnecté"));
    EXPECT_EQ(volet.palette().color(QPalette::WindowText), QColor(Qt::red));
    // The console waits for the device to come back and says so.
    EXPECT_EQ(volet.toolTip().toStdString(),
              raison + "\nReconnexion automatique dès que le périphérique revient.");
    EXPECT_TRUE(scripted().messages().empty());

    std::ifstream fichier(session->chemin(), std::ios::binary);
    journal::LecteurJournal lecteur(fichier);
    ASSERT_TRUE(lecteur.lireEntete());
    std::vector<std::string> evenements;
    journal::Enregistrement e;
    while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
        if (e.genre == journal::Genre::Lien) {
            evenements.emplace_back(e.texte());
        }
    }
    ASSERT_EQ(evenements.size(), 3u);
    EXPECT_EQ(evenements[1], "resynchro 5 octets écartés après 1200 ms de silence");
    EXPECT_EQ(evenements[2], "perdu : " + raison);
}

TEST_F(VoletsOperateurTest, BytesLostToAnOverrunCountAsHandledAndAreToldWhileRecent)
{
    auto session = std::make_shared<journal::Enregistreur>(journal::ReglagesJournal{dossier / "j"});
    demarrerAvec([this, session] {
        auto lien = std::make_unique<FakeLink>(true, journal);
        liens.push_back(lien.get());
        return enregistrer(std::move(lien), session);
    });
    robot = liens.at(0)->proprietaire;
    const auto traites = view->compteurOctetsTraites();
    const std::uint64_t avant = traites->load();
    std::int64_t t = 0;
    VoletLien volet(view, 2000, [&t] { return t; });
    volet.actualiser();

    robot->surDebordement(1);
    EXPECT_EQ(traites->load(), avant + 1);
    t = 100;
    volet.actualiser();
    EXPECT_EQ(volet.text(),
              QStringLiteral("Lien : ouvert, en attente de données, 1 octet perdu (débordement)"));
    // Frames go on, and a frame cut short: the overrun is told first.
    for (int k = 0; k < 5; ++k) {
        robot->OnRobotByteAt(0x40 + k, 1, 1'000'000);
    }
    for (int k = 0; k < 10; ++k) {
        robot->OnRobotByteAt(k == 8 ? 0 : 0x50 + k, 1, 2'200'000);
    }
    robot->surDebordement(4095);
    EXPECT_EQ(traites->load(), avant + 1 + 15 + 4095);
    EXPECT_EQ(view->octetsPerdus(), 4096u);
    t = 200;
    volet.actualiser();
    EXPECT_TRUE(volet.text().startsWith(QStringLiteral("Lien : réception, ")));
    EXPECT_TRUE(volet.text().endsWith(
        QStringLiteral(" trames/s, 4096 octets perdus (débordement), 1 resynchronisation")))
        << volet.text().toStdString();
    t = 10100;
    trame();
    volet.actualiser();
    EXPECT_TRUE(volet.text().contains(QStringLiteral(", 4095 octets perdus (débordement)")));
    t = 10200;
    trame();
    volet.actualiser();
    EXPECT_FALSE(volet.text().contains(QStringLiteral("débordement"))) << "ten seconds on";

    // The log: the first note at once, the rest within a second; all told.
    std::uint64_t notes = 0;
    ASSERT_TRUE(attendre([&] {
        std::ifstream fichier(session->chemin(), std::ios::binary);
        journal::LecteurJournal lecteur(fichier);
        notes = 0;
        journal::Enregistrement e;
        if (!lecteur.lireEntete()) {
            return false;
        }
        while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
            if (e.genre == journal::Genre::Lien && e.texte() == "débordement 1 octet perdu") {
                notes |= 1;
            } else if (e.genre == journal::Genre::Lien &&
                       e.texte() == "débordement 4095 octets perdus") {
                notes |= 2;
            }
        }
        return notes == 3;
    }));
}

TEST_F(VoletsOperateurTest, TheBatteryReadsInVoltsAndWarnsOncePerCrossing)
{
    demarrer(true);
    QProgressBar* barre = controle<QProgressBar>(ctrl::Batterie);
    VoletBatterie volet(barre, 20);
    ASSERT_NE(volet.voltsLabel(), nullptr);
    EXPECT_EQ(volet.voltsLabel()->parentWidget(), barre->parentWidget());

    const auto nombreBips = [] { return scripted().beeps().size(); };
    // Never reported: no level, not 0 V; the bar's empty start is no report.
    EXPECT_EQ(volet.voltsLabel()->text(), QStringLiteral("—"));
    barre->setValue(230);
    EXPECT_EQ(volet.voltsLabel()->text(), QStringLiteral("—"));
    volet.signale();
    EXPECT_EQ(volet.voltsLabel()->text(), QStringLiteral("9.00 V"));
    barre->setValue(115);
    EXPECT_EQ(volet.voltsLabel()->text(), QStringLiteral("4.50 V"));
    barre->setValue(46); // 20 % of 230: not yet below
    EXPECT_EQ(nombreBips(), 0u);
    EXPECT_TRUE(volet.text().isEmpty());

    barre->setValue(45);
    EXPECT_EQ(nombreBips(), 1u);
    EXPECT_EQ(volet.text(), QStringLiteral("Batterie faible : 1.76 V"));
    EXPECT_EQ(volet.palette().color(QPalette::WindowText), QColor(Qt::red));
    barre->setValue(40);
    barre->setValue(47); // wavering on the threshold is no new crossing
    barre->setValue(44);
    EXPECT_EQ(nombreBips(), 1u);
    barre->setValue(49);
    EXPECT_TRUE(volet.text().isEmpty());
    barre->setValue(10);
    EXPECT_EQ(nombreBips(), 2u);
    EXPECT_TRUE(scripted().messages().empty());

    // Another threshold in the settings' range; out of range keeps 20 %.
    EXPECT_EQ(AlerteBatterie(50).seuil(), 115);
    EXPECT_EQ(AlerteBatterie(0).seuil(), 46);
}

TEST_F(VoletsOperateurTest, ThePositionAndWheelBoxesSayTheyAreStaleFromALossUntilFramesReturn)
{
    demarrer(true);
    ajouterVoletsOperateur(*frame);
    // VoletLien has no meta-object of its own: found by name.
    auto* lien = static_cast<VoletLien*>(frame->findChild<QLabel*>(QStringLiteral("voletLien")));
    ASSERT_NE(lien, nullptr);
    robot = liens.at(0)->proprietaire;
    auto* x = controle<QLineEdit>(ctrl::RobotX);
    const QColor normal = x->palette().color(QPalette::Text);
    lien->actualiser();
    trame();
    lien->actualiser();
    ASSERT_EQ(lien->sante().etat(), EtatSante::Reception);
    EXPECT_FALSE(view->perimees());

    // The device goes: every box that came with the frames says so.
    liens[0]->vivant = false;
    liens[0]->perte = "le périphérique /dev/ttyUSB0 ne répond plus (fin de ligne)";
    robot->OnLinkLost(liens[0]->perte);
    lien->actualiser();
    ASSERT_EQ(lien->sante().etat(), EtatSante::Deconnecte);
    EXPECT_TRUE(view->perimees());
    // Red where it stands, in the mission bar.
    const QImage image = lien->grab().toImage();
    int rouges = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            rouges += c.red() > 150 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(rouges, 50);
    for (int id : {1005, 1006, 1008, 1017}) {
        const auto* boite = controle<QLineEdit>(id);
        EXPECT_EQ(boite->palette().color(QPalette::Text), QColor(Qt::gray)) << id;
        EXPECT_TRUE(boite->font().italic()) << id;
        EXPECT_FALSE(boite->toolTip().isEmpty()) << id;
    }
    // Opened again, no frame yet: still stale; the first frame clears it.
    ASSERT_EQ(view->OpenRobotPort(), 0);
    robot = liens.back()->proprietaire;
    lien->actualiser();
    EXPECT_TRUE(view->perimees());
    trame();
    lien->actualiser();
    EXPECT_FALSE(view->perimees());
    EXPECT_EQ(x->palette().color(QPalette::Text), normal);
    EXPECT_FALSE(x->font().italic());
    EXPECT_TRUE(x->toolTip().isEmpty());
}
