// The About box, on its own and from the frame's commands.
#include "console/AboutDlg.h"
#include "ShellFixture.h"
#include "console/KIVView.h"
#include "console/Menu128.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QToolBar>

namespace {

TEST(AboutDlgTest, CaptionIconLinesAndOk)
{
    AboutDlg dialogue;
    EXPECT_EQ(dialogue.windowTitle(), QStringLiteral("À propos de KIV-ZUL..."));
    EXPECT_EQ(dialogue.lignes(),
              (QStringList{QStringLiteral("KIV-ZUL version " KIV_VERSION),
                           QStringLiteral("Copyright (C) 2026"),
                           QStringLiteral("Réalisé par l'équipe de robotique mobile")}));
    const QPixmap icone = dialogue.icone()->pixmap();
    ASSERT_FALSE(icone.isNull());
    EXPECT_EQ(icone.size(), QSize(32, 32));
    // Something is drawn: the picture's centre is the robot's body.
    EXPECT_GT(icone.toImage().pixelColor(16, 16).alpha(), 0);

    EXPECT_EQ(dialogue.boutonOk()->text(), QStringLiteral("OK"));
    EXPECT_TRUE(dialogue.boutonOk()->isDefault());
    dialogue.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialogue));
    // Every line and the button fit in the box.
    for (const QLabel* l : dialogue.findChildren<QLabel*>()) {
        EXPECT_TRUE(dialogue.rect().contains(l->geometry())) << l->text().toStdString();
    }
    dialogue.boutonOk()->click();
    EXPECT_EQ(dialogue.result(), QDialog::Accepted);
    EXPECT_FALSE(dialogue.isVisible());
}

TEST_F(ShellTest, AboutCommandAndTrainerItemRunTheBoxModally)
{
    int executions = 0;
    frame->setExecuteurDialogue([&](QDialog& d) {
        ++executions;
        auto* about = qobject_cast<AboutDlg*>(&d);
        EXPECT_NE(about, nullptr);
        EXPECT_TRUE(d.isModal());
        EXPECT_EQ(d.windowTitle(), QStringLiteral("À propos de KIV-ZUL..."));
        return int(QDialog::Accepted);
    });
    action(cmd::APropos)->trigger();
    EXPECT_EQ(executions, 1);
    // The toolbar button is the same command.
    EXPECT_TRUE(frame->barreOutils()->actions().contains(action(cmd::APropos)));
    emit frame->view()->reseaux().aPropos();
    EXPECT_EQ(executions, 2);
    EXPECT_TRUE(scripted().messages().empty());
}

} // namespace
