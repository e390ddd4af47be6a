// The console and a scripted robot at the two ends of a pseudo-terminal,
// through the real serial engine: every status byte gets its command byte,
// the position and the battery follow the frames, and a robot that goes
// away leaves the console working with the link reported down.
#include "ConsoleFixture.h"

#include "console/ReconnexionLien.h"
#include "console/VoletLien.h"
#include "core/CatalogueReglages.h"
#include "link/LienEnregistre.h"
#include "link/SerialPort.h"
#include "link/recorder/Enregistreur.h"
#include "link/recorder/LecteurJournal.h"
#include "support/PseudoTerminal.h"
#include "support/RepertoireTemporaire.h"
#include "world/BeaconModel.h"

#include <QLineEdit>
#include <QSettings>

#include <filesystem>

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

/** One sensor frame of a robot at `p` (cm) with the given status and battery bytes. */
std::string trame(balises::Position p, std::uint32_t phase, int etat, int batterie)
{
    std::string octets;
    for (const std::int16_t t : balises::horodatages(p, phase)) {
        const auto mot = static_cast<std::uint16_t>(t);
        octets += static_cast<char>(mot & 0xFF);
        octets += static_cast<char>(mot >> 8);
    }
    octets += static_cast<char>(etat);
    octets += static_cast<char>(batterie);
    return octets;
}

class ConsoleLinkTest : public ConsoleTest {
protected:
    void SetUp() override
    {
        qputenv("KIV_COM1", QByteArray::fromStdString(robot.nom()));
        demarrerAvec([] { return makeSerialPort(); });
        ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
    }
    void TearDown() override
    {
        ConsoleTest::TearDown();
        qunsetenv("KIV_COM1");
    }

    /** The robot sends a frame and waits for the console's answer to its status byte. */
    bool echanger(const std::string& octets)
    {
        const std::size_t avant = robot.recu.size();
        robot.envoyer(octets);
        return attendre([&] { return robot.recu.size() >= avant + 1; });
    }

    Pty robot;
};

} // namespace

TEST_F(ConsoleLinkTest, EveryStatusByteIsAnsweredAndTheTelemetryFollows)
{
    EXPECT_EQ(g_portOpen, 1);
    EXPECT_TRUE(scripted().messages().empty());

    // Stopped wheels: the neutral command, once per frame.
    for (std::uint32_t k = 0; k < 5; ++k) {
        ASSERT_TRUE(echanger(trame({300.0, 200.0}, 977 * k, 0x00, 200)));
    }
    EXPECT_EQ(robot.recu, std::string(5, '\x80'));
    // The estimate of the bundled network is within a few cm of the truth.
    EXPECT_NEAR(monde().robot.position().x, 300, 6);
    EXPECT_NEAR(monde().robot.position().y, 200, 6);
    // The position boxes follow the world's change with the map.
    const QString x = QString::asprintf("%i cm", monde().robot.position().x);
    EXPECT_TRUE(attendre([&] { return controle<QLineEdit>(ctrl::RobotX)->text() == x; }));
    // The battery byte follows the answered status byte.
    EXPECT_TRUE(
        attendre([this] { return controle<QProgressBar>(ctrl::Batterie)->value() == 200; }));

    // A turn order leaves with the next status byte, once.
    monde().ordres.modifier([](OrdresRobot& o) {
        o.virage = 3;
        o.virageEnAttente = true;
    });
    ASSERT_TRUE(echanger(trame({300.0, 200.0}, 12345, 0x00, 115)));
    ASSERT_TRUE(echanger(trame({300.0, 200.0}, 54321, 0x00, 115)));
    EXPECT_EQ(robot.recu.substr(5), std::string("\xB0\x80"));
    EXPECT_FALSE(monde().ordres.lire().virageEnAttente);
    EXPECT_TRUE(
        attendre([this] { return controle<QProgressBar>(ctrl::Batterie)->value() == 115; }));
    // Ten bytes a frame, one line each in the reception box.
    EXPECT_TRUE(attendre([this] { return reception()->nombreLignes() == 1 + 7 * 10; }));

    scripted().clear();
    cliquer(ctrl::EtatPort);
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Le port série est en fonction");
}

TEST_F(ConsoleLinkTest, TheLinksThreadAnswersWhileTheInterfaceIsBusyAndTheLogKeepsTheOrder)
{
    kiv_test::RepertoireTemporaire dossier;
    auto session =
        std::make_shared<journal::Enregistreur>(journal::ReglagesJournal{dossier / "journaux"});
    demarrerAvec([session] { return enregistrer(makeSerialPort(), session); });
    ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
    const auto traites = view->compteurOctetsTraites();
    const std::uint64_t avant = traites->load();

    // This thread runs no event loop while the robot waits: the reply to the
    // status byte comes from the link's own thread.
    const std::string octets = trame({300.0, 200.0}, 7, 0x00, 200);
    robot.envoyer(octets.substr(0, 9));
    ASSERT_TRUE(robot.recuSansBoucle(1));
    EXPECT_EQ(robot.recu, "\x80");
    robot.envoyer(octets.substr(9));

    // The view then shows the frame: the command, the battery, the position.
    ASSERT_TRUE(attendre([&] { return traites->load() == avant + 10; }));
    view->viderTrafic();
    EXPECT_TRUE(transmission().endsWith(QStringLiteral(" -128")));
    EXPECT_EQ(controle<QProgressBar>(ctrl::Batterie)->value(), 200);
    EXPECT_NEAR(monde().robot.position().x, 300, 6);

    // The log: the nine bytes up to the status byte, the reply, the battery byte.
    frame.reset();
    std::ifstream fichier(session->chemin(), std::ios::binary);
    journal::LecteurJournal lecteur(fichier);
    ASSERT_TRUE(lecteur.lireEntete()) << lecteur.erreur();
    std::string ordre;
    journal::Enregistrement e;
    while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
        if (e.genre == journal::Genre::Recu || e.genre == journal::Genre::Emis) {
            ordre += std::string(e.charge.size(), e.genre == journal::Genre::Recu ? 'r' : 'e');
        }
    }
    EXPECT_EQ(ordre, "rrrrrrrrrer");
}

TEST_F(ConsoleLinkTest, AFloodFasterThanTheInterfaceIsAnsweredCountedShownAndLogged)
{
    kiv_test::RepertoireTemporaire dossier;
    auto session =
        std::make_shared<journal::Enregistreur>(journal::ReglagesJournal{dossier / "journaux"});
    // A small cap on what waits for the interface, so the test floods it quickly.
    demarrerAvec([session] {
        auto port = std::make_unique<SerialPort>();
        port->reglerCapaciteRemise(1000);
        return enregistrer(std::move(port), session);
    });
    ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
    const auto traites = view->compteurOctetsTraites();
    const std::uint64_t avant = traites->load();

    // 300 frames back to back while this thread runs no event loop: the
    // link's thread answers every status byte.
    std::string flot;
    for (std::uint32_t k = 0; k < 300; ++k) {
        flot += trame({300.0, 200.0}, 31 * k, 0x00, k == 299 ? 77 : 200);
    }
    robot.envoyer(flot);
    ASSERT_TRUE(robot.recuSansBoucle(300));
    EXPECT_EQ(robot.recu, std::string(300, '\x80'));

    // The interface then shows the newest bytes; the others count as
    // handled (their reply has left) and as lost to the display.
    ASSERT_TRUE(attendre([&] { return traites->load() == avant + flot.size(); }));
    const std::uint64_t perdus = view->octetsPerdus();
    EXPECT_GE(perdus, 1000u);
    EXPECT_LE(perdus, 2000u);
    // Each byte shown with its own outcome: the last frame's battery.
    EXPECT_TRUE(attendre([this] { return controle<QProgressBar>(ctrl::Batterie)->value() == 77; }));
    VoletLien volet(view, 2000);
    volet.actualiser();
    EXPECT_TRUE(
        volet.text().endsWith(QStringLiteral(", %1 octets perdus (débordement)").arg(perdus)))
        << volet.text().toStdString();

    // A clean frame after the flood is answered and shown in step.
    ASSERT_TRUE(echanger(trame({300.0, 200.0}, 4242, 0x00, 55)));
    EXPECT_TRUE(attendre([this] { return controle<QProgressBar>(ctrl::Batterie)->value() == 55; }));

    // The log: at most a note a second, the bytes lost all told.
    frame.reset();
    std::ifstream fichier(session->chemin(), std::ios::binary);
    journal::LecteurJournal lecteur(fichier);
    ASSERT_TRUE(lecteur.lireEntete()) << lecteur.erreur();
    std::uint64_t notes = 0;
    std::uint64_t notesPerdus = 0;
    journal::Enregistrement e;
    while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
        if (e.genre == journal::Genre::Lien && e.texte().starts_with("débordement ")) {
            ++notes;
            const std::string texte(e.texte());
            notesPerdus += std::strtoull(texte.c_str() + std::strlen("débordement "), nullptr, 10);
            EXPECT_TRUE(texte.ends_with(" octets perdus")) << texte;
        }
    }
    EXPECT_GE(notes, 1u);
    EXPECT_LE(notes, 2u);
    EXPECT_EQ(notesPerdus, perdus);
}

TEST_F(ConsoleLinkTest, ARobotThatGoesAwayLeavesTheConsoleWorking)
{
    ASSERT_TRUE(echanger(trame({100.0, 400.0}, 1, 0x00, 230)));
    scripted().clear();
    robot.fermerRobot();
    ASSERT_TRUE(attendre([this] { return !view->lien()->threadAlive(); }));
    ASSERT_TRUE(attendre([] { return !scripted().messages().empty(); }));
    viderFile();
    const auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Application Error");
    EXPECT_NE(messages[0].text.find(robot.nom()), std::string::npos);

    scripted().clear();
    cliquer(ctrl::EtatPort);
    ASSERT_EQ(scripted().messages().size(), 1u);
    EXPECT_EQ(scripted().messages()[0].text, "Le port série n'est pas en fonction");
    // Commands still go to the transmission box.
    cliquer(ctrl::Saisie);
    EXPECT_TRUE(transmission().endsWith(QStringLiteral(" -128")));
}

TEST_F(ConsoleLinkTest, ABoxOpenOverTheConsoleNeverHoldsTheLinkUp)
{
    // A network that refuses the robot's three inputs: the first frame
    // raises a box. While it is open (its own event loop runs), 20 frames
    // arrive and each gets its reply.
    const std::string chemin = testing::TempDir() + "/deux_entrees_lien.wgh";
    {
        std::ofstream f(chemin);
        f << "(2,2) 1 0 0 1\n(2,2) 1 0 0 1\n(2,1) 0 0\n(2,1) 0 0\n"
             "(1)\n(2)\n0\n(2) 0 0\n0\n(2) 0 0\n";
    }
    demarrerAvec([] { return makeSerialPort(); }, chemin);
    ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
    int repondues = -1;
    scripted().setWhileBoxOpen([&](const ScriptedPlatform::ShownMessage& m) {
        if (m.text != "Matrice incompatible!") {
            return;
        }
        // The box follows the first frame's reply; the robot may not have
        // read that byte yet.
        if (!attendre([&] { return !robot.recu.empty(); })) {
            return;
        }
        repondues = 0;
        for (std::uint32_t k = 0; k < 20; ++k) {
            repondues += echanger(trame({300.0, 200.0}, 31 * k, 0x00, 200)) ? 1 : 0;
        }
    });
    ASSERT_TRUE(echanger(trame({300.0, 200.0}, 7, 0x00, 200)));
    ASSERT_TRUE(attendre([&] { return repondues >= 0; }));
    EXPECT_EQ(repondues, 20);
    EXPECT_TRUE(attendre([&] { return robot.recu.size() >= 21; }));
    EXPECT_EQ(robot.recu, std::string(21, '\x80'));
    ASSERT_EQ(scripted().messages().size(), 1u) << "told once";
}

namespace {

/**
 * The console on a stable name of the robot's device (a link, as `make run`
 * and /dev/serial/by-id give), so that a robot restarted on a new
 * pseudo-terminal is the same device to it.
 */
class ReconnexionTest : public ConsoleTest {
protected:
    void SetUp() override
    {
        robot = std::make_unique<Pty>();
        pointer();
        qputenv("KIV_COM1", QByteArray::fromStdString(lienStable));
        demarrerAvec([] { return makeSerialPort(); });
        ASSERT_TRUE(attendre([this] { return view->lien() && view->lien()->threadAlive(); }));
        view->reconnexion().setPeriodeMs(20);
    }
    void TearDown() override
    {
        ConsoleTest::TearDown();
        qunsetenv("KIV_COM1");
        QSettings().remove(QString::fromLatin1(reglages::Reconnexion.nom));
    }
    /** The stable name leads to the current robot's device. */
    void pointer()
    {
        std::filesystem::remove(lienStable);
        std::filesystem::create_symlink(robot->nom(), lienStable);
    }
    /** The robot goes, and the console has seen its device go. */
    void perdre()
    {
        robot->fermerRobot();
        robot.reset();
        ASSERT_TRUE(attendre([this] { return !view->lien()->threadAlive(); }));
        ASSERT_TRUE(attendre([] { return !scripted().messages().empty(); }));
        EXPECT_EQ(scripted().messages()[0].caption, "Application Error") << "the box stays";
    }

    kiv_test::RepertoireTemporaire dossier;
    const std::string lienStable = dossier / "robot";
    std::unique_ptr<Pty> robot;
};

} // namespace

TEST_F(ReconnexionTest, ADeviceThatComesBackIsOpenedAgainByItselfAndAHeldRobotStaysHeld)
{
    robot->envoyer(trame({300.0, 200.0}, 1, 0x00, 200));
    ASSERT_TRUE(attendre([this] { return robot->recu.size() == 1; }));
    cliquer(ctrl::Saisie); // "Saisie": held
    perdre();
    ASSERT_TRUE(view->reconnexion().enAttente());

    // A robot restarted on another pseudo-terminal, under the same name.
    robot = std::make_unique<Pty>();
    pointer();
    ASSERT_TRUE(attendre([this] { return view->lien()->threadAlive(); }));
    EXPECT_EQ(view->reconnexion().reconnexions(), 1);
    EXPECT_FALSE(view->reconnexion().enAttente());
    EXPECT_EQ(g_portOpen, 1);
    EXPECT_EQ(capRobot(), 0) << "another robot may be there: its heading is probed again";
    EXPECT_TRUE(operateurTient()) << "a held robot stays held";
    SetWheels(3, 3);
    robot->envoyer(trame({300.0, 200.0}, 2, 0x00, 200));
    ASSERT_TRUE(attendre([this] { return robot->recu.size() == 1; }));
    EXPECT_EQ(robot->recu, "\x80");
    // The link pane says so for a while.
    VoletLien volet(view, 2000);
    volet.actualiser();
    EXPECT_TRUE(volet.text().endsWith(QStringLiteral(", reconnecté")))
        << volet.text().toStdString();
}

TEST_F(ReconnexionTest, TurnedOffTheOperatorReopensTheLinkHimself)
{
    QSettings().setValue(QString::fromLatin1(reglages::Reconnexion.nom), false);
    perdre();
    EXPECT_FALSE(view->reconnexion().enAttente());
    robot = std::make_unique<Pty>();
    pointer();
    EXPECT_EQ(view->OpenRobotPort(), 0);
}
