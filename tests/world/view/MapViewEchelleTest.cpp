// The map at other sizes than 501 pixels: the mouse reads the map pixel
// painted under it, at the corners and on each side of every cell border.
#include "MapViewFixture.h"

#include "world/view/EchelleCarte.h"

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
        EXPECT_EQ(g_banditPos.get(), (Point{0, 0}));
        clic(Qt::LeftButton, cote - 1, cote - 1);
        EXPECT_EQ(g_banditPos.get(), (Point{geo::MapSize - 1, geo::MapSize - 1}));
        owner.choix = Selection::Obstacle;
    }
}
