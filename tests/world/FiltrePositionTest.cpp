// The position filter alone: estimates scattered round a robot that drives
// straight, turns in place, stops, backs off, jumps and loses a frame.
#include "world/FiltrePosition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr double Pi = 3.14159265358979323846;

/** A robot of the description's build, moved as the filter assumes, and its noisy estimates. */
struct Robot {
    double x, y, cap; // cap in radians
    std::mt19937 alea{7};
    std::normal_distribution<double> bruit{0.0, 9.0};
    double pas[4] = {0.0, 1.25, 2.5, 3.0};

    void rouler(int gauche, int droite, double facteur = 1.0)
    {
        const double v = facteur * (pas[gauche] + pas[droite]) / 2.0;
        const double w = facteur * (pas[gauche] - pas[droite]) / 15.0;
        x += v * std::cos(cap + w / 2.0);
        y += v * std::sin(cap + w / 2.0);
        cap += w;
    }
    double ex() { return x + bruit(alea); }
    double ey() { return y + bruit(alea); }
};

double distance(const filtre::FiltrePosition& f, const Robot& r)
{
    return std::hypot(f.x() - r.x, f.y() - r.y);
}

} // namespace

TEST(FiltrePosition, AStraightRunIsTrackedFarCloserThanTheEstimatesAndTheSpeedLearnt)
{
    for (const double facteur : {1.0, 0.2}) {
        Robot robot{100.0, 250.0, 0.0};
        filtre::FiltrePosition f;
        EXPECT_EQ(f.mesurer(robot.ex(), robot.ey()), filtre::Issue::Premiere);
        EXPECT_FALSE(f.capConnu());
        f.indiquerCap(3); // the x axis, as the navigation measured it
        EXPECT_TRUE(f.capConnu());
        double erreurBrute = 0.0;
        double erreurFiltree = 0.0;
        int n = 0;
        for (int k = 0; k < 120; ++k) {
            f.commander(3, 3, 0, false);
            robot.rouler(3, 3, facteur);
            const double ex = robot.ex();
            const double ey = robot.ey();
            EXPECT_NE(f.mesurer(ex, ey), filtre::Issue::Refusee) << "frame " << k;
            if (k >= 40) {
                erreurBrute += std::hypot(ex - robot.x, ey - robot.y);
                erreurFiltree += distance(f, robot);
                ++n;
            }
        }
        EXPECT_LT(erreurFiltree / n, erreurBrute / n / 2.0) << "factor " << facteur;
        EXPECT_LT(erreurFiltree / n, 5.0) << "factor " << facteur;
        EXPECT_NEAR(f.facteurVitesse(), facteur, 0.25 * facteur + 0.05);
        EXPECT_LT(f.ecart(), 6.0);
        EXPECT_EQ(f.refus(), 0);
    }
}

TEST(FiltrePosition, ATurnInPlaceAndAVeerAreFollowedAndAStopHoldsThePosition)
{
    Robot robot{250.0, 250.0, 0.0};
    filtre::FiltrePosition f;
    f.mesurer(robot.ex(), robot.ey());
    f.indiquerCap(3);
    for (int k = 0; k < 40; ++k) {
        f.commander(3, 3, 0, false);
        robot.rouler(3, 3);
        f.mesurer(robot.ex(), robot.ey());
    }
    // A quarter turn clockwise (turn code 1), then straight on: y grows.
    f.commander(3, 3, 1, false);
    robot.cap += Pi / 2.0;
    robot.rouler(3, 3);
    f.mesurer(robot.ex(), robot.ey());
    EXPECT_NEAR(f.cap(), Pi / 2.0, 0.35);
    for (int k = 0; k < 40; ++k) {
        f.commander(2, 3, 0, false); // the veer: counter-clockwise
        robot.rouler(2, 3);
        f.mesurer(robot.ex(), robot.ey());
    }
    EXPECT_LT(distance(f, robot), 6.0);
    // Stopped: however the estimates scatter, the filter converges on the spot.
    const double avant = distance(f, robot);
    for (int k = 0; k < 60; ++k) {
        f.commander(0, 0, 0, false);
        f.mesurer(robot.ex(), robot.ey());
    }
    EXPECT_LT(distance(f, robot), std::max(3.0, avant));
    EXPECT_EQ(f.refus(), 0);
}

TEST(FiltrePosition, AnImpossibleJumpIsRefusedAndARunOfThemStartsTheFilterAgain)
{
    Robot robot{100.0, 100.0, 0.0};
    filtre::FiltrePosition f;
    f.mesurer(robot.ex(), robot.ey());
    f.indiquerCap(3);
    for (int k = 0; k < 30; ++k) {
        f.commander(3, 3, 0, false);
        robot.rouler(3, 3);
        f.mesurer(robot.ex(), robot.ey());
    }
    const double x = f.x();
    // A metre away in one frame: refused, the prediction stands.
    f.commander(3, 3, 0, false);
    robot.rouler(3, 3);
    EXPECT_EQ(f.mesurer(robot.x + 100.0, robot.y), filtre::Issue::Refusee);
    EXPECT_NEAR(f.x(), x + 3.0, 2.0);
    EXPECT_EQ(f.mesurer(std::nan(""), robot.y), filtre::Issue::Refusee);
    EXPECT_EQ(f.refus(), 2);
    // Carried a metre away by hand: after a run of refusals the filter follows.
    robot.x += 100.0;
    filtre::Issue issue = filtre::Issue::Refusee;
    int frames = 0;
    while (issue == filtre::Issue::Refusee && frames < 10) {
        f.commander(0, 0, 0, false);
        issue = f.mesurer(robot.x, robot.y);
        ++frames;
    }
    EXPECT_EQ(issue, filtre::Issue::Reprise);
    EXPECT_NEAR(f.x(), robot.x, 1.0);
}

TEST(FiltrePosition, ALostFrameIsPredictedOverAndTheBackOffAfterAContactFollowed)
{
    Robot robot{100.0, 100.0, 0.0};
    robot.bruit = std::normal_distribution<double>(0.0, 1.0);
    filtre::FiltrePosition f;
    f.mesurer(robot.ex(), robot.ey());
    f.indiquerCap(3);
    for (int k = 0; k < 30; ++k) {
        f.commander(3, 3, 0, false);
        robot.rouler(3, 3);
        f.mesurer(robot.ex(), robot.ey());
    }
    // Three frames driven, the estimates of two lost on the way.
    f.commander(3, 3, 0, false);
    for (int k = 0; k < 3; ++k) {
        robot.rouler(3, 3);
    }
    EXPECT_EQ(f.mesurer(robot.x, robot.y, 3), filtre::Issue::Admise);
    EXPECT_LT(distance(f, robot), 2.0);
    // A contact in this frame: the robot backs off 3 cm whatever its codes.
    f.commander(3, 3, 0, true);
    robot.x -= 3.0;
    EXPECT_EQ(f.mesurer(robot.x, robot.y), filtre::Issue::Admise);
    EXPECT_LT(distance(f, robot), 2.0);
}
