#pragma once

#include "world/WorldState.h"
#include "world/view/MapOwner.h"
#include "world/view/MapView.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

/** Stands in for the control view: a settable selection, counted Show calls. */
class FakeOwner : public MapOwner {
public:
    Selection choix = Selection::Robot;
    int destinations = 0;
    int positions = 0;
    int roues = 0;
    Point destinationMontree{-1, -1};

    Selection selection() const override { return choix; }
    void ShowDestination() override
    {
        ++destinations;
        destinationMontree = monde().destination.lire().marque;
    }
    void ShowRobotPosition() override { ++positions; }
    void ShowWheelSpeeds() override { ++roues; }
};

/** A fresh world and a shown map window owned by a FakeOwner. */
class MapViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetWorld(); // the new window runs InitWorld
        view = std::make_unique<CMapView>();
        view->m_ownerView = &owner;
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    void TearDown() override
    {
        view.reset();
        ResetWorld();
    }

    void clic(Qt::MouseButton bouton, int x, int y)
    {
        QTest::mouseClick(view.get(), bouton, Qt::NoModifier, QPoint(x, y));
    }

    /** A mouse move with buttons and keys held, as a drag delivers it. */
    void deplacer(int x, int y, Qt::MouseButtons boutons,
                  Qt::KeyboardModifiers touches = Qt::NoModifier)
    {
        const QPointF local(x, y);
        QMouseEvent event(QEvent::MouseMove, local, view->mapToGlobal(local), Qt::NoButton, boutons,
                          touches);
        QApplication::sendEvent(view.get(), &event);
    }

    /** Grid value of field cell (x, y). */
    static int cellule(int x, int y) { return monde().grille[y + 1][x + 1]; }

    static QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }

    /** Number of pixels of colour `c` inside field cell (x, y), its outline excluded. */
    static int compter(const QImage& image, int x, int y, QRgb c)
    {
        int n = 0;
        for (int py = 25 * y + 1; py < 25 * y + 24; ++py) {
            for (int px = 25 * x + 1; px < 25 * x + 24; ++px) {
                n += image.pixel(px, py) == c;
            }
        }
        return n;
    }

    FakeOwner owner;
    std::unique_ptr<CMapView> view;
};

inline constexpr QRgb Blanc = 0xffffffff;
inline constexpr QRgb Noir = 0xff000000;
inline constexpr QRgb Rouge = 0xffff0000;
inline constexpr QRgb Vert = 0xff00ff00;
inline constexpr QRgb Gris = 0xff8e8e8e;
