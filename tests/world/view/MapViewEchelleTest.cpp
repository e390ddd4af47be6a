// The map at other sizes than 501 pixels: the mouse reads the map pixel
// painted under it, at the corners and on each side of every cell border.
#include "MapViewFixture.h"

#include "world/view/EchelleCarte.h"

#include <QScreen>

TEST(EchelleCarte, CornersAndOutsideAtAnySize)
{
    for (const int cote : {251, 376, 501, 752, 1002}) {
        SCOPED_TRACE(cote);
        EXPECT_EQ(echelle::versCarte(0, cote), 0);
        EXPECT_EQ(echelle::versCarte(cote - 1, cote), geo::MapSize);
        EXPECT_EQ(echelle::versCarte(-1, cote), -1) << "left of the map: no edit";
        EXPECT_EQ(echelle::versCarte(cote, cote), geo::MapSize + 1) << "right of it: none";
        EXPECT_EQ(echelle::premierPixel(0, cote), 0);
        // Every window pixel shows a map pixel no smaller than its left neighbour's.
        for (int p = 1; p < cote; ++p) {
            ASSERT_LE(echelle::versCarte(p - 1, cote), echelle::versCarte(p, cote));
        }
    }
    // At scale 1 a window pixel is a map pixel; at scale 2 a map pixel is two.
    for (int p = 0; p <= geo::MapSize; ++p) {
        ASSERT_EQ(echelle::versCarte(p, 501), p);
        ASSERT_EQ(echelle::versCarte(2 * p + 1, 1002), p);
        ASSERT_EQ(echelle::premierPixel(p, 1002), 2 * p);
    }
}

TEST_F(MapViewTest, AtThreeScalesTheMouseEditsTheCellPaintedUnderIt)
{
    owner.choix = Selection::Obstacle;
    for (const int cote : {376, 501, 752}) {
        SCOPED_TRACE(cote);
        view->resize(cote, cote);
        QCoreApplication::processEvents();
        ASSERT_EQ(view->cote(), cote);
        const int y = echelle::premierPixel(25 * 7 + 12, cote); // row 8 of the field
        for (int bord = 1; bord < geo::Cells; ++bord) {
            // The first window pixel of column bord + 1 and the last of column bord.
            const int premier = echelle::premierPixel(25 * bord, cote);
            clic(Qt::LeftButton, premier, y);
            ASSERT_EQ(cellule(bord, 7), 1) << bord;
            ASSERT_NE(cellule(bord - 1, 7), 1) << bord;
            if (cote >= 501) {
                // Painted where the mouse put it, to the pixel.
                view->Redraw();
                const QImage image = view->grab().toImage();
                ASSERT_EQ(image.pixel(premier, y), qRgb(0, 0, 0)) << bord;
                ASSERT_NE(image.pixel(premier - 1, y), qRgb(0, 0, 0)) << bord;
            }
            clic(Qt::RightButton, premier, y);
            clic(Qt::LeftButton, premier - 1, y);
            ASSERT_EQ(cellule(bord - 1, 7), 1) << bord;
            ASSERT_NE(cellule(bord, 7), 1) << bord;
            clic(Qt::RightButton, premier - 1, y);
        }
        // A drag past the window's edge edits nothing.
        deplacer(cote + 3, y, Qt::LeftButton);
        for (int c = 0; c < geo::Cells; ++c) {
            EXPECT_NE(cellule(c, 7), 1) << c;
        }
        // The window's corners are the field's: (0, 0), and the frame's
        // pixel 500 taken as the field's last, 499.
        owner.choix = Selection::Bandit;
        // (QTest reads a click at (0, 0) as one at the window's centre.)
        QMouseEvent coin(QEvent::MouseButtonPress, QPointF(0, 0), view->mapToGlobal(QPointF(0, 0)),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &coin);
        EXPECT_EQ(monde().bandit.lire().position, (Point{0, 0}));
        clic(Qt::LeftButton, cote - 1, cote - 1);
        EXPECT_EQ(monde().bandit.lire().position, (Point{geo::MapSize - 1, geo::MapSize - 1}));
        owner.choix = Selection::Obstacle;
    }
}

TEST_F(MapViewTest, SmallerThanTheMapNoGridLineDropsOut)
{
    monde().drapeaux.quadrillage = 1;
    for (const int cote : {251, 376, 470}) {
        SCOPED_TRACE(cote);
        view->resize(cote, cote);
        view->Redraw();
        const QImage image = view->grab().toImage();
        // Mid-cell of the free field's row 10: every grid line between
        // columns shows, in the window pixel that holds its centre.
        const int y = (25 * 9 + 12) * cote / 501;
        for (int v = 75; v <= 425; v += 25) {
            const int p = (2 * v + 1) * cote / (2 * 501);
            EXPECT_LT(qGray(image.pixel(p, y)), 200) << v;
            EXPECT_EQ(image.pixel((2 * (v + 12) + 1) * cote / (2 * 501), y), qRgb(255, 255, 255))
                << v;
        }
    }
    monde().drapeaux.quadrillage = 0;
}

TEST_F(MapViewTest, ARobotMovedAloneIsPaintedAgainWhereItWasAndWhereItIs)
{
    QScreen* ecran = QGuiApplication::primaryScreen();
    ASSERT_NE(ecran, nullptr);
    const auto placer = [](int x, int y) {
        if (x < 0) {
            // Not on the map yet.
            monde().robot.modifier([x, y](PoseRobot& pose, filtre::FiltrePosition&) {
                pose.x = x;
                pose.y = y;
            });
        } else {
            SetRobotPosition(x, y);
        }
    };
    for (const int cote : {376, 501, 752}) {
        SCOPED_TRACE(cote);
        view->resize(cote, cote);
        placer(112, 162);
        view->Redraw();
        // In the same cell, then two cells away, then off the map and back:
        // each time only the robot's pictures are painted again.
        for (const auto& [x, y] : {std::pair{118, 170}, {160, 170}, {-1, -1}, {430, 60}}) {
            const int positions = owner.positions;
            placer(x, y);
            EXPECT_TRUE(view->rafraichir());
            EXPECT_EQ(owner.positions, positions + 1) << "the position boxes follow";
            // Once the window has painted what it was told, the screen shows
            // what a whole rendering shows.
            const QImage entier = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const auto vu = [&] {
                return ecran->grabWindow(view->winId())
                    .toImage()
                    .convertToFormat(QImage::Format_RGB32);
            };
            EXPECT_TRUE(QTest::qWaitFor([&] { return vu() == entier; })) << x << "," << y;
        }
    }
}
