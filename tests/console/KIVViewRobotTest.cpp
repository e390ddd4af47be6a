// The control view's side of the sensor frames: the reception box, the
// position shown, the command reply, the battery bar, the network's refusal.
#include "ConsoleFixture.h"

#include "console/CaractereRecu.h"
#include "console/VoletLien.h"
#include "console/VoletsOperateur.h"
#include "support/PseudoTerminal.h"
#include "world/BeaconModel.h"

#include "world/PositionFiltree.h"
#include "world/view/MapRenderer.h"
#include "world/view/MapView.h"

#include <QImage>
#include <QLabel>

#include <algorithm>
#include <fstream>

namespace {

class RobotTest : public ConsoleTest {
protected:
    void SetUp() override
    {
        demarrer(true);
        // The parser alone: no navigation pass may change the wheel codes
        // between a test's settings and the status byte.
        StopWorldThreads();
    }

    void octets(std::initializer_list<int> liste)
    {
        for (int o : liste) {
            view->OnRobotByte(o, 1);
        }
    }

    /** The eight timestamp bytes of a robot at p. */
    void horodatages(balises::Position p, std::uint32_t phase = 777)
    {
        for (std::int16_t t : balises::horodatages(p, phase)) {
            const auto u = static_cast<std::uint16_t>(t);
            octets({u & 0xFF, u >> 8});
        }
    }

    static Point robot() { return monde().robot.cellule(); }
};

} // namespace

TEST_F(RobotTest, FrameMovesTheRobotAndIsAnsweredOnce)
{
    horodatages({112.0, 162.0});
    EXPECT_EQ(robot(), (Point{4, 6}));
    const Point p = monde().robot.position();
    EXPECT_NEAR(p.x, 112, 3);
    EXPECT_NEAR(p.y, 162, 3);
    // The position boxes follow the world's change with the map.
    const QString x = QString::asprintf("%i cm", p.x);
    EXPECT_TRUE(attendre([&] { return controle<QLineEdit>(ctrl::RobotX)->text() == x; }));
    EXPECT_TRUE(transmission().isEmpty());

    monde().ordres.modifier([](OrdresRobot& o) {
        o.roueGauche = 2;
        o.roueDroite = 1;
        o.virage = 3;
        o.virageEnAttente = true;
    });
    octets({0x00});
    EXPECT_EQ(transmission(), QStringLiteral(" -74"));
    EXPECT_EQ(liens[0]->ecrit, std::string("\xB6"));
    EXPECT_EQ(monde().ordres.lire().virage, 0);
    EXPECT_FALSE(monde().ordres.lire().virageEnAttente);

    octets({115});
    EXPECT_EQ(controle<QProgressBar>(ctrl::Batterie)->value(), 115);
    // The next byte is timestamp byte 0 again.
    horodatages({400.0, 300.0});
    EXPECT_EQ(robot(), (Point{16, 12}));
    octets({0x00, 250});
    EXPECT_EQ(controle<QProgressBar>(ctrl::Batterie)->value(), 230);
}

TEST_F(RobotTest, EveryByteIsOneVisibleLineOfTheReceptionBox)
{
    // The Windows-1252 character of each byte; control bytes as their
    // pictures, the five undefined bytes as the replacement character.
    octets({'A', 0x80, 0xE9, 0x0A, 0x0D, 0x00, 0x7F, 0x1B, 0x81, 0x9D, 0x9F});
    EXPECT_EQ(reception()->texte(),
              QString::fromUtf8("\nA\n€\né\n␊\n␍\n␀\n␡\n␛\n\uFFFD\n\uFFFD\nŸ"));

    // Every byte value: one line of one character each, after the first empty line.
    reception()->effacer();
    for (int o = 0; o < 256; ++o) {
        octets({o});
    }
    const VueReception* vue = reception();
    ASSERT_EQ(vue->nombreLignes(), 257);
    for (int o = 0; o < 256; ++o) {
        const QString ligne = vue->ligne(o + 1);
        ASSERT_EQ(ligne.size(), 1) << o;
        EXPECT_EQ(ligne[0], caractereRecu(o)) << o;
        // The soft hyphen is a format character, the one byte Qt draws as nothing.
        EXPECT_TRUE(ligne[0].isPrint() || o == 0xAD) << o;
    }
}

TEST_F(RobotTest, OpeningTheLinkAgainRestartsTheFrame)
{
    octets({1, 2, 3});
    ASSERT_EQ(view->OpenRobotPort(), 0);
    horodatages({400.0, 300.0});
    EXPECT_EQ(robot(), (Point{16, 12}));
    octets({0x00});
    EXPECT_EQ(transmission(), QStringLiteral(" -128"));
}

TEST_F(ConsoleTest, ANetworkThatRefusesTheRobotsInputsIsReportedOnce)
{
    // Two inputs instead of three: every estimate fails.
    const std::string chemin = testing::TempDir() + "/deux_entrees.wgh";
    {
        std::ofstream f(chemin);
        f << "(2,2) 1 0 0 1\n(2,2) 1 0 0 1\n(2,1) 0 0\n(2,1) 0 0\n"
             "(1)\n(2)\n0\n(2) 0 0\n0\n(2) 0 0\n";
    }
    demarrer(true, chemin);
    StopWorldThreads();
    scripted().clear();
    for (int trame = 0; trame < 3; ++trame) {
        for (std::int16_t t : balises::horodatages({200.0, 200.0}, 99)) {
            const auto u = static_cast<std::uint16_t>(t);
            view->OnRobotByte(u & 0xFF, 1);
            view->OnRobotByte(u >> 8, 1);
        }
        view->OnRobotByte(0, 1);
        view->OnRobotByte(100, 1);
    }
    // Told after the bytes' handling, never inside it.
    EXPECT_TRUE(scripted().messages().empty());
    ASSERT_TRUE(attendre([] { return !scripted().messages().empty(); }));
    QCoreApplication::processEvents();
    const auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Matrice incompatible!");
    // The frames are still answered.
    EXPECT_EQ(transmission().count(QLatin1Char('-')), 3);
}

namespace {

/** The same view with the position filter on, as the console starts. */
class RobotFiltreTest : public RobotTest {
protected:
    void SetUp() override
    {
        filtre = true;
        RobotTest::SetUp();
    }
};

} // namespace

TEST_F(RobotFiltreTest, TheRawEstimateIsShownFaintlyAndAnImpossibleJumpRefusedCountedAndTold)
{
    for (int k = 0; k < 10; ++k) {
        horodatages({112.0, 162.0});
        octets({0x00, 200});
    }
    EXPECT_EQ(robot(), (Point{4, 6}));
    const Point brut = monde().suivi.brut.get();
    EXPECT_NEAR(brut.x, 112, 3);
    EXPECT_NEAR(brut.y, 162, 3);
    // The faint ring round the raw estimate, over the robot's picture.
    const QImage carte = view->mapView()->renderImage();
    EXPECT_EQ(carte.pixelColor(brut.x - RayonBrut, brut.y), QColor(160, 160, 160));

    // Four metres in one frame: the robot stays, the refusal is counted.
    horodatages({400.0, 300.0});
    octets({0x00, 200});
    EXPECT_EQ(robot(), (Point{4, 6}));
    EXPECT_EQ(monde().suivi.refus, 1);
    ajouterVoletsOperateur(*frame);
    // VoletLien has no meta-object of its own: found by name.
    auto* lien = static_cast<VoletLien*>(frame->findChild<QLabel*>(QStringLiteral("voletLien")));
    ASSERT_NE(lien, nullptr);
    lien->actualiser();
    EXPECT_TRUE(lien->toolTip().contains(
        QStringLiteral("Estimations de position refusées par le filtre : 1")))
        << lien->toolTip().toStdString();
    EXPECT_EQ(liens[0]->evenementsLien,
              std::vector<std::string>{"filtre : 1 estimation(s) refusée(s)"});
    // Told once: a look with nothing new adds nothing to the log.
    lien->actualiser();
    EXPECT_EQ(liens[0]->evenementsLien.size(), 1u);
}
