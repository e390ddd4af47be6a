// The robot's trail: off at start, its View menu item draws the earlier
// positions as dots over the map, and the trail keeps the latest ones.
#include "ConsoleFixture.h"

#include "console/Menu128.h"
#include "console/TraceCarte.h"
#include "world/RobotReports.h"
#include "world/view/MapView.h"

#include <QMenu>
#include <QMenuBar>

TEST(TraceRobot, KeepsTheLatestPositionsWithoutRepeats)
{
    TraceRobot trace;
    trace.ajouter({1, 1});
    trace.ajouter({1, 1});
    EXPECT_EQ(trace.taille(), 1u);
    for (int k = 0; k < static_cast<int>(TraceRobot::Capacite) + 5; ++k) {
        trace.ajouter({k, 2 * k});
    }
    ASSERT_EQ(trace.taille(), TraceRobot::Capacite);
    EXPECT_EQ(trace[0], (TraceRobot::Position{5, 10}));
    EXPECT_EQ(trace[TraceRobot::Capacite - 1], (TraceRobot::Position{504, 1008}));
}

TEST_F(ConsoleTest, TheTrailIsOffAtStartAndDrawsTheEarlierPositions)
{
    demarrer(true);
    ASSERT_NE(view->mapView(), nullptr);
    QAction* action = ajouterMenuTrace(*frame);
    ASSERT_NE(action, nullptr);
    EXPECT_FALSE(action->isChecked());
    const QList<QAction*> affichage = frame->menuBar()->actions().at(2)->menu()->actions();
    ASSERT_GT(affichage.indexOf(action), 0);
    EXPECT_EQ(affichage.at(affichage.indexOf(action) - 1), frame->action(cmd::Quadrillage));

    const QColor vert(0, 140, 60);
    const auto pixel = [this](int x, int y) {
        return QColor(view->mapView()->renderImage().pixel(x, y));
    };
    for (const auto& [x, y] : {std::pair{100, 100}, {200, 100}, {300, 300}}) {
        ReportRobotPosition(y, x);
        view->mapView()->Redraw();
    }
    EXPECT_NE(pixel(100, 100), vert);
    action->setChecked(true);
    EXPECT_EQ(pixel(100, 100), vert);
    EXPECT_EQ(pixel(200, 100), vert);
    EXPECT_NE(pixel(300, 300), vert) << "the robot itself has no dot";
    EXPECT_NE(pixel(150, 100), vert);
    action->setChecked(false);
    EXPECT_NE(pixel(200, 100), vert);
}
