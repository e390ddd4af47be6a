// The sensor-frame parser: position from the timestamps, bumpers, the
// command byte answering the status byte, the battery.
#include "ConsoleFixture.h"

#include "world/BeaconModel.h"

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

    static Point robot()
    {
        VerrouMonde verrou(g_robotLock);
        return g_robotCell;
    }
};

} // namespace

TEST_F(RobotTest, FrameMovesTheRobotAndIsAnsweredOnce)
{
    horodatages({112.0, 162.0});
    EXPECT_EQ(robot(), (Point{4, 6}));
    const Point p = g_robotPos.get();
    EXPECT_NEAR(p.x, 112, 3);
    EXPECT_NEAR(p.y, 162, 3);
    EXPECT_EQ(controle<QLineEdit>(1005)->text(), QString::asprintf("%i cm", p.x));
    EXPECT_TRUE(transmission().isEmpty());

    {
        VerrouMonde verrou(g_wheelLock);
        g_wheelLeft = 2;
        g_wheelRight = 1;
    }
    g_turnCode = 3;
    g_turnPending = 1;
    octets({0x00});
    EXPECT_EQ(transmission(), QStringLiteral(" -74"));
    EXPECT_EQ(liens[0]->ecrit, std::string("\xB6"));
    EXPECT_EQ(g_turnCode, 0);
    EXPECT_EQ(g_turnPending, 0);

    octets({115});
    EXPECT_EQ(controle<QProgressBar>(1019)->value(), 115);
    // The next byte is timestamp byte 0 again.
    horodatages({400.0, 300.0});
    EXPECT_EQ(robot(), (Point{16, 12}));
    octets({0x00, 250});
    EXPECT_EQ(controle<QProgressBar>(1019)->value(), 230);
}

TEST_F(RobotTest, SmallMovesKeepThePosition)
{
    horodatages({100.0, 150.0});
    octets({0, 0});
    const Point avant = g_robotPos.get();
    horodatages({110.0, 160.0}); // about 14 cm away: within a cell's radius
    EXPECT_EQ(g_robotPos.get(), avant);
    octets({0, 0});
    horodatages({130.0, 150.0});
    EXPECT_NE(g_robotPos.get(), avant);
}

TEST_F(RobotTest, StatusBitsReachTheBumpers)
{
    horodatages({212.0, 212.0}); // cell (8, 8)
    g_heading = 3;
    octets({0x04}); // no bumper bit: nothing
    EXPECT_EQ(g_grid[9][10], 0);
    octets({0});
    horodatages({212.0, 212.0});
    octets({0x03}); // both: straight ahead, to the right
    EXPECT_EQ(g_grid[9][10], 3);
    EXPECT_EQ(transmission().count(QLatin1Char('-')), 2);
}

TEST_F(RobotTest, EveryByteGoesToTheReceptionBox)
{
    octets({'A', 'B', 0x80});
    const QString texte = controle<QPlainTextEdit>(1004)->toPlainText();
    EXPECT_EQ(texte, QStringLiteral("\nA\nB\n") + QChar(0x80));
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
    const auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Matrice incompatible!");
    // The frames are still answered.
    EXPECT_EQ(transmission().count(QLatin1Char('-')), 3);
}
