// The control view's first part: set-up on activation, the boxes, the radio group.
#include "console/KIVView.h"
#include "ControlesVue.h"
#include "console/MainFrame.h"
#include "console/ObservateurMonde.h"
#include "support/PseudoTerminal.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"
#include "world/view/MapView.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

class KIVViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetWorld();
        frame = std::make_unique<CMainFrame>();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        view = frame->view();
    }

    void TearDown() override
    {
        frame.reset();
        ResetWorld();
    }

    template <class T>
    T* controle(int id) const
    {
        return view->findChild<T*>(QStringLiteral("id%1").arg(id));
    }
    QString texte(int id) const { return controle<QLineEdit>(id)->text(); }

    std::unique_ptr<CMainFrame> frame;
    CKIVView* view = nullptr;
};

TEST_F(KIVViewTest, ActivationCreatesTheMapOverFrame1001Once)
{
    CMapView* carte = view->mapView();
    ASSERT_NE(carte, nullptr);
    ASSERT_NE(view->observateur(), nullptr) << "the map follows the world";
    EXPECT_EQ(carte->m_ownerView, view);
    EXPECT_EQ(monde().drapeaux.miseEnPlaceAttendue, 0);
    EXPECT_FALSE(monde().bandit.lire().placee);
    EXPECT_TRUE(carte->isVisible());
    EXPECT_TRUE(carte->isEnabled());
    // The map fills its frame, square.
    EXPECT_EQ(carte->geometry(), controle<QFrame>(ctrl::Carte)->geometry());
    EXPECT_EQ(carte->width(), carte->height());
    EXPECT_EQ(carte->width(), 501) << "scale 1 in the frame as placed";

    // "Robot" is checked; the radio group is exclusive.
    EXPECT_TRUE(controle<QRadioButton>(ctrl::ModeRobot)->isChecked());
    EXPECT_EQ(view->selection(), Selection::Robot);
    controle<QRadioButton>(ctrl::ModeDestination)->click();
    EXPECT_EQ(view->selection(), Selection::Destination);
    EXPECT_FALSE(controle<QRadioButton>(ctrl::ModeRobot)->isChecked());

    // A later activation creates nothing new.
    frame->hide();
    frame->show();
    view->OnActivateView();
    EXPECT_EQ(view->mapView(), carte);
    EXPECT_EQ(view->findChildren<CMapView*>().size(), 1);
}

TEST_F(KIVViewTest, CaptionsOfTheSelectionGroup)
{
    EXPECT_EQ(controle<QRadioButton>(ctrl::ModeDestination)->text(), QStringLiteral("Destination"));
    EXPECT_EQ(controle<QRadioButton>(ctrl::ModeObstacle)->text(), QStringLiteral("Obstacle"));
    EXPECT_EQ(controle<QRadioButton>(ctrl::ModeRobot)->text(), QStringLiteral("Robot"));
    EXPECT_EQ(controle<QRadioButton>(ctrl::ModeBandit)->text(), QStringLiteral("Bandit"));
    for (int id : {1005, 1006, 1008, 1009, 1012, 1017}) {
        EXPECT_TRUE(controle<QLineEdit>(id)->isReadOnly()) << id;
    }
}

TEST_F(KIVViewTest, BanditClickGivesTheViewTheFocus)
{
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    controle<QRadioButton>(ctrl::ModeDestination)->setFocus();
    controle<QRadioButton>(ctrl::ModeBandit)->click();
    EXPECT_TRUE(controle<QRadioButton>(ctrl::ModeBandit)->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), view);
}

TEST_F(KIVViewTest, PositionBoxesFollowTheMapClicks)
{
    EXPECT_EQ(texte(1005), QStringLiteral("25 cm"));
    EXPECT_EQ(texte(1006), QStringLiteral("25 cm"));

    // At scale 1 (the map window at 501 pixels) a pixel is a centimetre.
    CMapView* carte = view->mapView();
    frame->resize(1000, 800);
    QCoreApplication::processEvents();
    carte->setGeometry(QRect(carte->pos(), QSize(501, 501)));
    QTest::mouseClick(carte, Qt::LeftButton, Qt::NoModifier, QPoint(260, 140));
    EXPECT_EQ(texte(1005), QStringLiteral("260 cm"));
    EXPECT_EQ(texte(1006), QStringLiteral("140 cm"));

    // At scale 2, two pixels.
    carte->setGeometry(QRect(carte->pos(), QSize(1002, 1002)));
    controle<QRadioButton>(ctrl::ModeDestination)->click();
    QTest::mouseClick(carte, Qt::LeftButton, Qt::NoModifier, QPoint(261, 141));
    EXPECT_EQ(texte(1009), QStringLiteral("130 cm"));
    EXPECT_EQ(texte(1012), QStringLiteral("70 cm"));
}

TEST_F(KIVViewTest, WheelBoxesKeepTheirTextOnlyForZeroZero)
{
    QLineEdit* gauche = controle<QLineEdit>(ctrl::RoueGauche);
    QLineEdit* droite = controle<QLineEdit>(ctrl::RoueDroite);

    // Empty boxes and zero codes: the boxes get "0".
    view->ShowWheelSpeeds();
    EXPECT_EQ(gauche->text(), QStringLiteral("0"));
    EXPECT_EQ(droite->text(), QStringLiteral("0"));

    // "0"/"0" with zero codes: untouched (a marker would survive).
    int ecritures = 0;
    QObject::connect(gauche, &QLineEdit::textChanged, [&] { ++ecritures; });
    QObject::connect(droite, &QLineEdit::textChanged, [&] { ++ecritures; });
    view->ShowWheelSpeeds();
    EXPECT_EQ(ecritures, 0);

    monde().ordres.modifier([](OrdresRobot& o) {
        o.roueGauche = 3;
        o.roueDroite = 1;
    });
    view->ShowWheelSpeeds();
    EXPECT_EQ(gauche->text(), QStringLiteral("3"));
    EXPECT_EQ(droite->text(), QStringLiteral("1"));
}

TEST_F(KIVViewTest, WhatAWorkerChangesIsShownOnceByTheObserver)
{
    // The interface thread is blocked in join(): a worker that waited for it
    // would never return. Its 200 changes are shown in one picture, with the
    // position boxes, the wheel codes and the route.
    StopWorldThreads(); // the navigation would set the wheels itself
    ObservateurMonde* observateur = view->observateur();
    ASSERT_NE(observateur, nullptr);
    QCoreApplication::processEvents();
    const std::uint64_t avant = observateur->rafraichissements();
    std::thread worker([] {
        for (int k = 0; k < 200; ++k) {
            SetRobotPosition(100 + k, 456);
        }
        SetWheels(2, 3);
    });
    worker.join();
    EXPECT_EQ(observateur->rafraichissements(), avant);
    EXPECT_NE(texte(1005), QStringLiteral("299 cm"));
    ASSERT_TRUE(attendre([&] { return observateur->rafraichissements() > avant; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(observateur->rafraichissements(), avant + 1);
    EXPECT_EQ(texte(1005), QStringLiteral("299 cm"));
    EXPECT_EQ(texte(1006), QStringLiteral("456 cm"));
    EXPECT_EQ(texte(1008), QStringLiteral("2"));
    EXPECT_EQ(texte(1017), QStringLiteral("3"));
    EXPECT_EQ(view->mapView()->monde().robotPos, (Point{299, 456}));
}

} // namespace
