// The rendered picture of the map, pixel by pixel, and Redraw from workers.
#include "MapViewFixture.h"

#include "world/GridEdits.h"
#include "world/Instantane.h"
#include "world/PlanPath.h"
#include "world/view/Pictures.h"

#include <atomic>
#include <thread>

namespace {

/** True when the 20 x 20 block at (x, y) of `image` equals `picture`. */
bool contient(const QImage& image, int x, int y, const QImage& picture)
{
    return image.copy(x, y, 20, 20).convertToFormat(QImage::Format_RGB32) ==
           picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST_F(MapViewTest, StartUpPicture)
{
    const QImage image = view->renderImage();
    ASSERT_EQ(image.size(), QSize(500, 500));

    // Frame along the top and left edges, white field inside the ring.
    EXPECT_EQ(image.pixel(0, 300), Noir);
    EXPECT_EQ(image.pixel(300, 0), Noir);
    EXPECT_EQ(image.pixel(250, 250), Blanc);

    // The ring cells are grey hatched: grey outline, grey and white inside.
    for (const auto& [x, y] : {std::pair{0, 5}, {19, 5}, {7, 0}, {7, 19}}) {
        EXPECT_GT(compter(image, x, y, Gris), 20) << x << "," << y;
        EXPECT_GT(compter(image, x, y, Blanc), 200) << x << "," << y;
    }
    EXPECT_EQ(image.pixel(24, 100), Gris);
    EXPECT_EQ(image.pixel(499, 100), Gris);
    EXPECT_EQ(compter(image, 1, 5, Gris), 0);

    // Robot picture for the unknown heading in cell (1, 1), no marker, no bandit.
    EXPECT_TRUE(contient(image, 27, 27, pictures::robot(0)));
    EXPECT_EQ(pictures::robot(0), pictures::robot(1));
    EXPECT_EQ(compter(image, 5, 2, Rouge), 0);
    EXPECT_GT(owner.positions, 0); // the robot layer refreshes the position boxes
}

TEST_F(MapViewTest, ObstacleIsABlackSquareWithHatchedMargin)
{
    owner.choix = Selection::Obstacle;
    clic(Qt::LeftButton, 260, 260);
    QImage image = view->renderImage();
    EXPECT_EQ(compter(image, 10, 10, Noir), 23 * 23);
    EXPECT_EQ(image.pixel(250, 250), Noir);
    EXPECT_EQ(image.pixel(274, 274), Noir);
    EXPECT_GT(compter(image, 11, 10, Gris), 20);
    EXPECT_GT(compter(image, 9, 11, Gris), 20);
    EXPECT_EQ(compter(image, 12, 10, Gris), 0);

    clic(Qt::RightButton, 260, 260);
    image = view->renderImage();
    EXPECT_EQ(compter(image, 10, 10, Blanc), 23 * 23);
    EXPECT_EQ(compter(image, 11, 10, Blanc), 23 * 23);
}

TEST_F(MapViewTest, SensorObstacleIsGreenCrossHatched)
{
    MarkObstacle(8, 4);
    const QImage image = view->renderImage();
    EXPECT_GT(compter(image, 3, 7, Vert), 20);
    EXPECT_GT(compter(image, 3, 7, Blanc), 100);
    EXPECT_EQ(image.pixel(75, 175), Vert); // outline
    EXPECT_GT(compter(image, 4, 7, Gris), 20);
}

TEST_F(MapViewTest, DestinationMarkerSnapsToTheCellCentre)
{
    owner.choix = Selection::Destination;
    clic(Qt::LeftButton, 130, 70);
    EXPECT_EQ(owner.destinationMontree, (Point{130, 70}));
    const QImage image = view->renderImage();
    EXPECT_EQ(monde().destination.lire().marque, (Point{137, 62}));
    EXPECT_EQ(image.pixel(137, 62), Noir);       // the black centre
    EXPECT_EQ(image.pixel(137 - 17, 62), Rouge); // the cross beyond the circles
    EXPECT_EQ(image.pixel(137, 62 + 17), Rouge);
    EXPECT_EQ(image.pixel(137 - 8, 62 - 9), Blanc); // between the two outer circles
}

TEST_F(MapViewTest, GridLinesDivideTheMapInCells)
{
    monde().drapeaux.quadrillage = 1;
    const QImage image = view->renderImage();
    int verticales = 0;
    int horizontales = 0;
    for (int v = 1; v < 500; ++v) {
        verticales += image.pixel(v, 262) == Noir;
        horizontales += image.pixel(262, v) == Noir;
    }
    EXPECT_EQ(verticales, 19);
    EXPECT_EQ(horizontales, 19);
    EXPECT_EQ(image.pixel(25, 100), Noir);
    EXPECT_EQ(image.pixel(475, 480), Noir);
    EXPECT_EQ(monde().drapeaux.quadrillage, 1);

    monde().drapeaux.quadrillage = 0;
    EXPECT_EQ(view->renderImage().pixel(250, 100), Blanc);
}

TEST_F(MapViewTest, PathIsARedPolylineFromTheRobotCell)
{
    PlanPath(1, 1, 1, 5);
    const QImage image = view->renderImage();
    for (int y = 47; y < 137; ++y) { // below the robot picture
        EXPECT_EQ(image.pixel(37, y), Rouge) << y;
    }
    EXPECT_EQ(image.pixel(37, 140), Blanc);
}

TEST_F(MapViewTest, AnEscapeIsDashed)
{
    // The same cells as a route, flagged as an escape: red dashes with gaps.
    PlanPath(1, 1, 1, 5);
    monde().route.modifier([](RoutePlanifiee& r) { r.evasion = true; });
    const QImage image = view->renderImage();
    int rouges = 0;
    for (int y = 47; y < 137; ++y) {
        rouges += image.pixel(37, y) == Rouge ? 1 : 0;
    }
    EXPECT_GT(rouges, 30);
    EXPECT_LT(rouges, 80);
    EXPECT_TRUE(view->monde().evasion);
    monde().route.modifier([](RoutePlanifiee& r) { r.evasion = false; });
    Instantane route = view->monde();
    route.evasion = false;
    EXPECT_FALSE(memeCarte(route, view->monde())) << "the picture changes with the flag";
}

TEST_F(MapViewTest, RobotPictureFollowsTheHeadingAndBanditIsDrawn)
{
    for (int code = 1; code <= 8; ++code) {
        fixerCap(code);
        EXPECT_TRUE(contient(view->renderImage(), 27, 27, pictures::robot(code))) << code;
        for (int autre = 1; autre < code; ++autre) {
            EXPECT_NE(pictures::robot(code), pictures::robot(autre));
        }
    }
    owner.choix = Selection::Bandit;
    clic(Qt::LeftButton, 420, 77);
    EXPECT_TRUE(contient(view->renderImage(), 402, 77, pictures::bandit()));
}

TEST_F(MapViewTest, PaintingShowsThePictureTakenAndWritesNothing)
{
    // The world changes behind the window's back (another thread would):
    // a repaint shows the picture taken by the last Redraw, and leaves the
    // world as it is (the destination as clicked, not snapped).
    view->Redraw();
    const int positions = owner.positions;
    PlaceObstacle(3, 3);
    monde().destination.modifier([](DestinationRobot& d) { d.marque = {130, 70}; });
    view->repaint();
    const QImage avant = view->grab().toImage();
    EXPECT_EQ(avant.pixel(25 * 2 + 12, 25 * 2 + 12), Blanc);
    EXPECT_EQ(monde().destination.lire().marque, (Point{130, 70}));
    EXPECT_EQ(owner.positions, positions) << "painting calls no one";

    view->Redraw();
    EXPECT_EQ(view->grab().toImage().pixel(25 * 2 + 12, 25 * 2 + 12), Noir);
    EXPECT_EQ(monde().destination.lire().marque, (Point{137, 62}));
    EXPECT_EQ(owner.positions, positions + 1);
}

TEST_F(MapViewTest, TheBandSaysItsTextAcrossTheTopAtEverySizeAndGoesWhenEmptied)
{
    const auto rouges = [this](int hauteur) {
        const QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = 0; y < hauteur; ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > 150 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
            }
        }
        return n;
    };
    const QImage sans = view->grab().toImage();
    EXPECT_EQ(rouges(25), 0) << "the outer wall, hatched in black";
    const QString texte =
        QStringLiteral("Pas de chemin : aucun passage ne relie le robot à la destination");
    view->poserBandeau(texte);
    EXPECT_EQ(view->bandeau(), texte);
    EXPECT_EQ(view->toolTip(), texte) << "whole in the tooltip when cut";
    EXPECT_GT(rouges(25), 100) << "the text, in red, over the wall's row";
    EXPECT_EQ(view->grab().toImage().copy(0, 30, 501, 470), sans.copy(0, 30, 501, 470))
        << "nothing below the band changes";
    // At half scale the text keeps its size, in a band as tall as it needs.
    view->resize(CMapView::CoteMinimal, CMapView::CoteMinimal);
    EXPECT_GT(rouges(30), 100);
    view->resize(501, 501);
    view->poserBandeau(QString());
    EXPECT_EQ(view->grab().toImage(), sans);
    EXPECT_TRUE(view->toolTip().isEmpty());
}
