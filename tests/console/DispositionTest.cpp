// The console fits its window: the whole map, scaled to the room the form
// leaves, above the status bar, at every size the frame accepts; six lines
// at least in each traffic box at the placed size; the port message over
// the frame.
#include "ConsoleFixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

#include "core/qt/FenetreProprietaire.h"
#include "world/view/MapView.h"

namespace {

/** `w`'s rectangle in the frame's coordinates. */
QRect dansCadre(const QWidget& w, const QWidget& cadre)
{
    return QRect(w.mapTo(&cadre, QPoint(0, 0)), w.size());
}

/** Lines of text a traffic box shows at once within `visible` (frame coordinates). */
int lignesVisibles(const QAbstractScrollArea& boite, const QWidget& cadre, const QRect& visible)
{
    const QRect montre = dansCadre(*boite.viewport(), cadre).intersected(visible);
    return montre.height() / QFontMetrics(boite.font()).lineSpacing();
}

} // namespace

class DispositionTest : public ConsoleTest {
protected:
    /**
     * What must hold in a client area of `taille`: the whole map, and the
     * traffic boxes showing `lignes` lines (0: the controls may scroll).
     */
    void verifier(QSize taille, int lignes = 6)
    {
        frame->resize(taille);
        QCoreApplication::processEvents();
        const CMapView* carte = view->mapView();
        ASSERT_NE(carte, nullptr);
        const QRect map = dansCadre(*carte, *frame);
        const QRect etat = dansCadre(*frame->statusBar(), *frame);
        ASSERT_EQ(frame->centralWidget(), view);
        const QRect visible = dansCadre(*view, *frame);
        const auto* colonne = view->findChild<QScrollArea*>(QStringLiteral("defilementControles"));
        ASSERT_NE(colonne, nullptr);
        SCOPED_TRACE(QStringLiteral("client %1x%2, map %3,%4 %5x%6, form %7,%8 %9x%10")
                         .arg(frame->width())
                         .arg(frame->height())
                         .arg(map.x())
                         .arg(map.y())
                         .arg(map.width())
                         .arg(map.height())
                         .arg(visible.x())
                         .arg(visible.y())
                         .arg(visible.width())
                         .arg(visible.height())
                         .toStdString());
        // The whole map, square, at half scale at least, lies in the form,
        // at its top, above the status bar.
        EXPECT_EQ(map.width(), map.height());
        EXPECT_GE(map.width(), CMapView::CoteMinimal);
        EXPECT_TRUE(visible.contains(map));
        EXPECT_LE(map.top() - visible.top(), 1);
        EXPECT_LE(map.bottom(), etat.top() - 1);
        // The controls' column sits right of the map, in the form.
        const QRect controles = dansCadre(*colonne, *frame);
        EXPECT_GT(controles.left(), map.right());
        EXPECT_TRUE(visible.contains(controles));
        if (lignes == 0) {
            return;
        }
        EXPECT_EQ(colonne->verticalScrollBar()->maximum(), 0) << "nothing to scroll";
        for (int id : {1004, 1011}) {
            EXPECT_GE(lignesVisibles(*controle<QAbstractScrollArea>(id), *frame, visible), lignes)
                << id;
        }
    }
};

TEST_F(DispositionTest, TheFirstWindowShowsTheWholeMapAndSixLinesOfTraffic)
{
    demarrer(true);
    // The frame as placed: 790 x 580 with its decorations.
    verifier(frame->size());
    const int placee = view->mapView()->width();
    // The same frame once a window manager's title bar and borders take
    // their share: the map shrinks to stay whole (the traffic boxes lose a line).
    verifier(frame->size() - QSize(8, 32), 5);
    EXPECT_LT(view->mapView()->width(), placee);
    // A bigger window: the map grows with it, as large as the height allows.
    verifier(QSize(1280, 960));
    EXPECT_GT(view->mapView()->width(), 800);
    // Smaller windows, down to the smallest the frame accepts: the map stays
    // whole, the controls scroll in their own column when they must.
    for (const QSize taille : {QSize(560, 420), QSize(500, 380), QSize(420, 320), QSize(1, 1)}) {
        verifier(taille, 0);
    }
    EXPECT_EQ(frame->size(), frame->minimumSize()) << "the smallest accepted";
    EXPECT_EQ(view->mapView()->width(), CMapView::CoteMinimal);
    EXPECT_GT(view->findChild<QScrollArea*>(QStringLiteral("defilementControles"))
                  ->verticalScrollBar()
                  ->maximum(),
              0);

    // The port message at start belongs to the main window, which centres
    // it, even before the window manager has made that window active.
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    EXPECT_EQ(fenetreProprietaire(), frame.get());
}
