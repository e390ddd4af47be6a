// What a sensor frame does to the world: the position estimate with its
// clamping and the 25 cm rule, the bumpers and the command reply, the locks.
#include "WorldFixture.h"

#include "world/RobotReports.h"
#include "world/WorldChange.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

using RobotReportsTest = WorldTest;

Point robot()
{
    const PoseRobot pose = monde().robot.pose();
    EXPECT_EQ(pose.x, monde().robot.position().x);
    EXPECT_EQ(pose.y, monde().robot.position().y);
    return monde().robot.position();
}

} // namespace

TEST(CoordonneeDeSortie, ClampedToTheFieldAndTruncated)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Cas {
        double sortie;
        int attendu;
    };
    for (const Cas& c :
         {Cas{-3.2, 0}, Cas{612.7, 499}, Cas{std::nan(""), 0}, Cas{-0.0, 0}, Cas{0.0, 0},
          Cas{0.99, 0}, Cas{12.7, 12}, Cas{498.999, 498}, Cas{499.0, 499}, Cas{499.5, 499},
          Cas{inf, 499}, Cas{-inf, 0}, Cas{1e300, 499}}) {
        EXPECT_EQ(CoordonneeDeSortie(c.sortie), c.attendu) << c.sortie;
    }
}

TEST_F(RobotReportsTest, MovesOnlyBeyondTwentyFiveCentimetres)
{
    // From (100, 100); output 0 is y, output 1 is x.
    struct Cas {
        double y;
        double x;
        bool bouge;
    };
    for (const Cas& c : {Cas{100.0, 125.0, false}, Cas{115.0, 120.0, false},
                         Cas{75.9, 100.0, false}, Cas{101.0, 125.0, true}, Cas{100.0, 126.0, true},
                         Cas{74.0, 100.0, true}, Cas{-3.2, 612.7, true}}) {
        SetRobotPosition(100, 100);
        const unsigned avant = worldChangeCount();
        EXPECT_EQ(ReportRobotPosition(c.y, c.x), c.bouge) << c.y << ", " << c.x;
        const Point p = robot();
        const Point attendu =
            c.bouge ? Point{CoordonneeDeSortie(c.x), CoordonneeDeSortie(c.y)} : Point{100, 100};
        EXPECT_EQ(p, attendu) << c.y << ", " << c.x;
        EXPECT_EQ(monde().robot.cellule(), (Point{attendu.x / 25, attendu.y / 25}));
        EXPECT_EQ(worldChangeCount() != avant, c.bouge);
    }
    // The clamped corner: x 499 from 612.7, y 0 from -3.2.
    EXPECT_EQ(robot(), (Point{499, 0}));
}

TEST_F(RobotReportsTest, TellsTheDisplayOnlyWhenMovedAndHoldingNoLock)
{
    SetRobotPosition(100, 100);
    std::vector<bool> sousVerrou;
    const int cle =
        abonnerAffichage([&sousVerrou] { sousVerrou.push_back(!monde().robot.libre()); });
    ReportRobotPosition(100.0, 110.0);
    EXPECT_TRUE(sousVerrou.empty());
    ReportRobotPosition(300.0, 200.0);
    desabonnerAffichage(cle);
    EXPECT_EQ(sousVerrou, std::vector<bool>{false});
}

TEST_F(RobotReportsTest, StatusRepliesOnceWithNoLockHeldAndClearsTheTurn)
{
    SetWheels(2, 1);
    monde().ordres.modifier([](OrdresRobot& o) {
        o.virage = 3;
        o.virageEnAttente = true;
    });
    std::vector<std::vector<int>> envois;
    const unsigned avant = worldChangeCount();
    ReportRobotStatus(0, 0, [&](int g, int d, int v) {
        // The order is cleared before the byte goes out, in the write that took it.
        envois.push_back({g, d, v, monde().ordres.libre() ? 0 : 1, monde().ordres.lire().virage});
    });
    EXPECT_EQ(envois, (std::vector<std::vector<int>>{{2, 1, 3, 0, 0}}));
    EXPECT_EQ(monde().ordres.lire().virage, 0);
    EXPECT_FALSE(monde().ordres.lire().virageEnAttente);
    EXPECT_TRUE(monde().ordres.libre());
    EXPECT_NE(worldChangeCount(), avant);

    // The turn goes out once: the next reply carries turn 0, and with no
    // turn pending nobody is woken.
    const unsigned ensuite = worldChangeCount();
    ReportRobotStatus(0, 0, [&](int g, int d, int v) { envois.push_back({g, d, v}); });
    EXPECT_EQ(envois.back(), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(worldChangeCount(), ensuite);
}

TEST_F(RobotReportsTest, BumperBitsMarkTheCellsAheadAndAreAnsweredToo)
{
    // Robot in cell (8, 8) heading right (3): bits (1, 1) ahead, bit 0 alone
    // ahead-right (4), bit 1 alone ahead-left (2), none nothing.
    struct Cas {
        int bit0;
        int bit1;
        int ligne; // grid row and column of the marked cell, -1: none
        int colonne;
    };
    for (const Cas& c :
         {Cas{1, 1, 9, 10}, Cas{1, 0, 10, 10}, Cas{0, 1, 8, 10}, Cas{0, 0, -1, -1}}) {
        InitWorld();
        SetRobotPosition(212, 212);
        fixerCap(3);
        const GridSnapshot avant = snapshotGrid();
        int envois = 0;
        ReportRobotStatus(c.bit0, c.bit1, [&](int, int, int) { ++envois; });
        EXPECT_EQ(envois, 1);
        if (c.ligne < 0) {
            EXPECT_EQ(snapshotGrid(), avant);
        } else {
            EXPECT_EQ(monde().grille[c.ligne][c.colonne], 3) << c.bit0 << c.bit1;
            EXPECT_TRUE(gridIsConsistent());
        }
    }
}
