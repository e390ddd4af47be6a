// The progress box: bar and percentage, Cancel and Ok, the owner it
// disables, event processing while the work runs, and the error plot.
#include "OutilsDialogue.h"
#include "core/StringTable.h"
#include "core/qt/QtPlatform.h"
#include "trainer/dialog/CourbeErreur.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace kiv_test;

namespace {

QString pourcent(const ProgDlg& d)
{
    return d.findChild<QLabel*>("id1019")->text();
}

QPushButton* bouton(const ProgDlg& d, const char* id)
{
    return d.findChild<QPushButton*>(id);
}

TEST(ProgDlg, DefaultBoxTitleRangeAndStep)
{
    ProgDlg d;
    ASSERT_TRUE(d.Create(nullptr));
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.windowTitle(), "Boite de progression");
    const auto* barre = d.findChild<QProgressBar*>("id1017");
    EXPECT_EQ(barre->minimum(), 0);
    EXPECT_EQ(barre->maximum(), 100);
    EXPECT_EQ(d.StepIt(), 0);
    EXPECT_EQ(d.position(), 1);
    EXPECT_EQ(pourcent(d), "1%");
    EXPECT_EQ(d.findChild<QLabel*>("id1018")->text(), "Allo");

    ProgDlg reseau(ids::TrainerProgressTitle);
    reseau.Create(nullptr);
    EXPECT_EQ(reseau.windowTitle(), "Apprentissage du réseau");
}

TEST(ProgDlg, PercentageFollowsTheBarWithItsModuloRule)
{
    ProgDlg d;
    d.SetRange(0, 500);
    d.SetStep(5);
    d.Create(nullptr);
    EXPECT_EQ(pourcent(d), "0%");
    EXPECT_EQ(d.StepIt(), 0);
    EXPECT_EQ(pourcent(d), "1%");
    for (int i = 1; i < 100; ++i) {
        d.StepIt();
    }
    EXPECT_EQ(d.position(), 500);
    EXPECT_EQ(pourcent(d), "100%");

    d.SetRange(0, 100);
    EXPECT_EQ(d.SetPos(0), 500);
    EXPECT_EQ(d.OffsetPos(150), 0);
    EXPECT_EQ(pourcent(d), "50%");
    EXPECT_EQ(d.position(), 100) << "the bar stops at its end";
    d.SetPos(230);
    EXPECT_EQ(pourcent(d), "30%");
    d.SetPos(42);
    EXPECT_EQ(pourcent(d), "42%");
    EXPECT_EQ(d.findChild<QProgressBar*>("id1017")->value(), 42);
}

TEST(ProgDlg, BoundsAndStepSurviveTheWindow)
{
    ProgDlg d;
    d.SetRange(10, 20);
    d.SetStep(2);
    d.Create(nullptr);
    d.ShowOkButton();
    bouton(d, "id1")->click();
    EXPECT_FALSE(d.fenetreOuverte());
    d.Create(nullptr);
    EXPECT_EQ(d.position(), 10);
    EXPECT_EQ(d.StepIt(), 10);
    EXPECT_EQ(pourcent(d), "20%");
}

TEST(ProgDlg, CancelOnlyRaisesAFlagReadOnce)
{
    ProgDlg d;
    d.Create(nullptr);
    bouton(d, "id2")->click();
    bouton(d, "id2")->click();
    EXPECT_TRUE(d.isVisible()) << "Cancel does not close";
    EXPECT_TRUE(d.CheckCancel());
    EXPECT_FALSE(d.CheckCancel());

    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.CheckCancel());
    d.close();
    EXPECT_TRUE(d.isVisible()) << "the close box is a Cancel too";
    EXPECT_TRUE(d.CheckCancel());
}

TEST(ProgDlg, OkIsRefusedWhileTheWorkRunsAndClosesAfterwards)
{
    ProgDlg d;
    d.Create(nullptr);
    EXPECT_TRUE(bouton(d, "id1")->isHidden());
    d.accept();
    QTest::keyClick(&d, Qt::Key_Return);
    EXPECT_TRUE(d.fenetreOuverte());
    EXPECT_TRUE(d.isVisible());

    d.ShowOkButton();
    EXPECT_TRUE(bouton(d, "id2")->isHidden());
    EXPECT_FALSE(bouton(d, "id1")->isHidden());
    // Escape still only raises the flag; it waits for the next poll, even
    // in the next run on the same box.
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    bouton(d, "id1")->click();
    EXPECT_FALSE(d.isVisible());
    d.Create(nullptr);
    EXPECT_FALSE(bouton(d, "id2")->isHidden()) << "a new run shows Cancel again";
    EXPECT_TRUE(d.CheckCancel());
}

TEST(ProgDlg, OwnerIsDisabledWhileOpenAndGivenBackOnce)
{
    QWidget proprietaire;
    QWidget enfant(&proprietaire);
    proprietaire.show();
    {
        ProgDlg d(0, &enfant);
        d.Create();
        EXPECT_EQ(d.proprietaire(), &proprietaire) << "the owner is the top-level window";
        EXPECT_FALSE(proprietaire.isEnabled());
        EXPECT_TRUE(d.isEnabled()) << "the box itself stays usable";
        d.ShowOkButton();
        bouton(d, "id1")->click();
        EXPECT_TRUE(proprietaire.isEnabled());

        d.Create();
        EXPECT_FALSE(proprietaire.isEnabled());
    }
    EXPECT_TRUE(proprietaire.isEnabled()) << "the destructor gives the owner back";

    proprietaire.setEnabled(false);
    {
        ProgDlg d(0, &proprietaire);
        d.Create();
        EXPECT_FALSE(d.proprietaireDesactive());
        d.ShowOkButton();
        bouton(d, "id1")->click();
        EXPECT_FALSE(proprietaire.isEnabled()) << "an owner disabled by someone else stays so";
    }
}

TEST(ProgDlg, OwnerBlockedByAModalDialogIsLeftAloneAndTheBoxStaysUsable)
{
    QWidget principale;
    principale.show();
    QDialog modale(&principale);
    bool verifie = false;
    auProchainPassage([&] {
        ProgDlg d(0, &principale);
        d.Create();
        EXPECT_FALSE(d.proprietaireDesactive());
        EXPECT_TRUE(principale.isEnabled());
        // A real click goes through the modal filter: the box must not be blocked.
        QTest::mouseClick(bouton(d, "id2"), Qt::LeftButton);
        EXPECT_TRUE(d.CheckCancel());
        verifie = true;
        modale.reject();
    });
    modale.exec();
    EXPECT_TRUE(verifie);
    EXPECT_TRUE(principale.isEnabled());
}

TEST(ProgDlg, MovingTheBarAndPollingProcessPendingEvents)
{
    ProgDlg d;
    d.Create(nullptr);
    int passages = 0;
    auto poster = [&] {
        QMetaObject::invokeMethod(
            qApp, [&] { ++passages; }, Qt::QueuedConnection);
    };
    poster();
    d.SetStatus("x");
    d.SetRange(0, 100);
    d.SetStep(2);
    EXPECT_EQ(passages, 0) << "status, range and step do not process events";
    d.StepIt();
    EXPECT_EQ(passages, 1);
    poster();
    d.SetPos(3);
    EXPECT_EQ(passages, 2);
    poster();
    d.OffsetPos(3);
    EXPECT_EQ(passages, 3);
    poster();
    d.CheckCancel();
    EXPECT_EQ(passages, 4);
}

TEST(ProgDlg, PlotTakesThePassesTheWorkReportsNotItsTexts)
{
    ProgDlg d;
    d.SetRange(0, 300);
    d.Create(nullptr);
    CourbeErreur* courbe = d.courbe();
    d.SetStatus("Erreur quadratique:\nPasse #0 : 0.5000");
    EXPECT_TRUE(courbe->points().isEmpty());
    EXPECT_EQ(d.findChild<QLabel*>("id1018")->text(), "Erreur quadratique:\nPasse #0 : 0.5000");

    d.pass(0, 0.5);
    d.pass(3, 0.04);
    d.pass(6, std::nan(""));
    ASSERT_EQ(courbe->points().size(), 2);
    EXPECT_EQ(courbe->points()[1], QPointF(3, 0.04));
    EXPECT_TRUE(courbe->echelleLogarithmique()) << "0.5 down to 0.04 spans a decade";
    d.grab(); // paints without the help of a screen

    d.ShowOkButton();
    d.Create(nullptr);
    EXPECT_TRUE(courbe->points().isEmpty()) << "each run starts a new plot";
}

TEST(QtPlatformBoxes, FactoryMakesTheBoxesSilentOtherwise)
{
    QtPlatform qt;
    EXPECT_NE(dynamic_cast<SilentProgressBox*>(qt.createProgressBox(102).get()), nullptr);
    int demande = 0;
    qt.setProgressBoxFactory([&](int id) {
        demande = id;
        return std::make_unique<ProgDlg>(id);
    });
    auto boite = qt.createProgressBox(ids::TrainerProgressTitle);
    EXPECT_EQ(demande, ids::TrainerProgressTitle);
    auto* dlg = dynamic_cast<ProgDlg*>(boite.get());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->captionId(), ids::TrainerProgressTitle);
}

} // namespace
