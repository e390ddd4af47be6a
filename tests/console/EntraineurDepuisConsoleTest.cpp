// The trainer window opened from the console's "&Entrainer" button is laid
// out in its own font: no caption is cut, whatever the console's form sets.
#include "ConsoleFixture.h"
#include "trainer/dialog/ReseauxDlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTimer>

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

TEST_F(ConsoleTest, TheTrainerOpenedFromTheConsoleShowsEveryCaptionWhole)
{
    demarrer(true);
    QString titre;
    QStringList trop;
    int controles = 0;
    QTimer::singleShot(0, [&] {
        QWidget* dialogue = QApplication::activeModalWidget();
        if (!dialogue) {
            return;
        }
        titre = dialogue->windowTitle();
        controles = static_cast<int>(dialogue->findChildren<QWidget*>().size());
        trop = coupes(*dialogue);
        // Its font is the dialogs' own, not the form's.
        if (dialogue->font() != dialogue->findChild<QLabel*>()->font()) {
            trop << QStringLiteral("labels drawn in another font");
        }
        QMetaObject::invokeMethod(dialogue, "reject", Qt::QueuedConnection);
    });
    cliquer(1043);
    EXPECT_EQ(titre, QStringLiteral("Reseaux de Neurones"));
    EXPECT_GT(controles, 40);
    EXPECT_TRUE(trop.isEmpty()) << trop.join(QLatin1Char('\n')).toStdString();

    // The same window alone shows the same sizes.
    ReseauxDlg seul;
    seul.show();
    EXPECT_EQ(seul.size(), view->reseaux().size());
    EXPECT_TRUE(coupes(seul).isEmpty()) << coupes(seul).join(QLatin1Char('\n')).toStdString();
}
