// The trainer window opened from the console's "&Entrainer" button is laid
// out in its own font (no caption is cut, whatever the console's form sets)
// and leaves the console live beside it.
#include "ConsoleFixture.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include <fstream>

namespace {

/** The text a control shows without its mnemonic marker. */
QString affiche(QString texte)
{
    return texte.remove(QLatin1Char('&'));
}

/** The controls of `fenetre` whose text does not fit their rectangle, one line each. */
QStringList coupes(const QWidget& fenetre)
{
    QStringList trop;
    auto verifier = [&trop](const QWidget& w, const QString& texte, int place) {
        const int besoin = w.fontMetrics().horizontalAdvance(affiche(texte));
        if (besoin > place) {
            trop << QStringLiteral("%1 \"%2\": %3 > %4")
                        .arg(w.objectName(), texte)
                        .arg(besoin)
                        .arg(place);
        }
    };
    for (const QPushButton* b : fenetre.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        const QRect contenu = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
        verifier(*b, b->text(), contenu.width());
    }
    for (const QLabel* l : fenetre.findChildren<QLabel*>()) {
        verifier(*l, l->text(), l->contentsRect().width());
    }
    for (const QGroupBox* g : fenetre.findChildren<QGroupBox*>()) {
        verifier(*g, g->title(), g->width());
    }
    for (const QLineEdit* e : fenetre.findChildren<QLineEdit*>()) {
        // As the edit paints: its contents inside the frame, less 2 pixels a side.
        QStyleOptionFrame option;
        option.initFrom(e);
        option.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e);
        const QRect contenu = e->style()->subElementRect(QStyle::SE_LineEditContents, &option, e);
        verifier(*e, e->text(), contenu.width() - 4);
    }
    return trop;
}

} // namespace

TEST_F(ConsoleTest, TheTrainerOpenedFromTheConsoleShowsEveryCaptionWholeAndLeavesTheConsoleLive)
{
    demarrer(true);
    cliquer(ctrl::Entrainer);
    ReseauxDlg& dialogue = view->reseaux();
    ASSERT_TRUE(dialogue.isVisible());
    EXPECT_EQ(dialogue.windowTitle(), QStringLiteral("Reseaux de Neurones"));
    EXPECT_GT(dialogue.findChildren<QWidget*>().size(), 40);
    const QStringList trop = coupes(dialogue);
    EXPECT_TRUE(trop.isEmpty()) << trop.join(QLatin1Char('\n')).toStdString();
    // Its font is the dialogs' own, not the form's.
    EXPECT_EQ(dialogue.font(), dialogue.findChild<QLabel*>()->font());

    // Beside the console, not over it: the operator can still stop the robot.
    EXPECT_FALSE(dialogue.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    cliquer(ctrl::Arret);
    EXPECT_TRUE(operateurTient());
    EXPECT_TRUE(dialogue.isVisible());
    // A second press brings the same window forward.
    cliquer(ctrl::Entrainer);
    EXPECT_EQ(view->findChildren<ReseauxDlg*>().size(), 1);
    dialogue.reject();
    EXPECT_FALSE(dialogue.isVisible());

    // The same window alone shows the same sizes.
    ReseauxDlg seul;
    seul.show();
    EXPECT_EQ(seul.size(), dialogue.size());
    EXPECT_TRUE(coupes(seul).isEmpty()) << coupes(seul).join(QLatin1Char('\n')).toStdString();
}

TEST_F(ConsoleTest, DuringATrainingTheOperatorKeepsTheStopAndTheConsoleStaysOpen)
{
    demarrer(true);
    const std::string chemin = testing::TempDir() + "/entrainement_console.dat";
    {
        std::ofstream f(chemin);
        f << "(2)\n(3,1) 0.15 0.16 0.14\n(2,1) 1 4\n(3,1) 0.25 0.10 0.12\n(2,1) 2 3\n";
    }
    cliquer(ctrl::Entrainer);
    ReseauxDlg& dialogue = view->reseaux();
    scripted().queueFile(chemin);
    dialogue.findChild<QPushButton*>(QStringLiteral("id1011"))->click();
    dialogue.findChild<QLineEdit*>(QStringLiteral("id1021"))->setText(QStringLiteral("150"));

    // In the middle of the run (its Cancel question open): the console's
    // window takes the stop, and refuses to close under the running trainer.
    bool pendant = false;
    bool fermee = true;
    scripted().pressCancelAtPoll(10);
    scripted().setWhileBoxOpen([&](const ScriptedPlatform::ShownMessage& m) {
        if (pendant || m.text != "Voulez-vous vraiment annuler l'opération?") {
            return;
        }
        pendant = true;
        EXPECT_TRUE(dialogue.entrainementEnCours());
        cliquer(ctrl::Arret);
        fermee = frame->close();
    });
    dialogue.findChild<QPushButton*>(QStringLiteral("id1014"))->click();
    scripted().setWhileBoxOpen({});
    ASSERT_TRUE(pendant);
    EXPECT_TRUE(operateurTient());
    EXPECT_FALSE(fermee);
    bool dit = false;
    for (const auto& m : scripted().messages()) {
        dit = dit || m.text == "Un entraînement du réseau est en cours : annulez-le (« Cancel ») "
                               "avant de quitter.";
    }
    EXPECT_TRUE(dit);
    EXPECT_FALSE(dialogue.entrainementEnCours());
    EXPECT_TRUE(frame->close()) << "once the run is over";
}
