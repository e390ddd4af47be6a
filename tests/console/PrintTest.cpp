// Printing the form: print, print without dialog, preview, page set-up.
#include "ShellFixture.h"
#include "console/Impression.h"
#include "console/Menu128.h"

#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

qint64 taille(const QString& chemin)
{
    QFile f(chemin);
    return f.exists() ? f.size() : -1;
}

TEST_F(ShellTest, PrintDialogAcceptedPrintsTheFormRejectedPrintsNothing)
{
    QTemporaryDir dossier;
    const QString pdf = dossier.filePath(QStringLiteral("console.pdf"));
    bool accepter = false;
    frame->setExecuteurDialogue([&](QDialog& d) {
        auto* dialogue = qobject_cast<QPrintDialog*>(&d);
        EXPECT_NE(dialogue, nullptr);
        EXPECT_EQ(dialogue->printer(), &frame->imprimante());
        dialogue->printer()->setOutputFileName(pdf);
        return int(accepter ? QDialog::Accepted : QDialog::Rejected);
    });
    action(cmd::Imprimer)->trigger();
    EXPECT_EQ(taille(pdf), -1);

    accepter = true;
    action(cmd::Imprimer)->trigger();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF-"));
    EXPECT_TRUE(scripted().messages().empty());

    // The form fills the page: much more than a blank page of the same size.
    QWidget vide;
    vide.resize(frame->view()->size());
    QPrinter blanc(QPrinter::HighResolution);
    const QString pdfVide = dossier.filePath(QStringLiteral("vide.pdf"));
    blanc.setOutputFileName(pdfVide);
    ASSERT_TRUE(imprimerFormulaire(blanc, vide));
    EXPECT_GT(taille(pdf), 2 * taille(pdfVide));
}

TEST_F(ShellTest, PrintWithoutDialogAndItsFailure)
{
    QTemporaryDir dossier;
    int dialogues = 0;
    frame->setExecuteurDialogue([&](QDialog&) { return ++dialogues, int(QDialog::Accepted); });
    frame->imprimante().setOutputFileName(dossier.filePath(QStringLiteral("direct.pdf")));
    action(cmd::ImprimerDirect)->trigger();
    EXPECT_EQ(dialogues, 0);
    EXPECT_GT(taille(dossier.filePath(QStringLiteral("direct.pdf"))), 0);
    EXPECT_TRUE(scripted().messages().empty());

    // Nowhere to print: the user is told, nothing else happens.
    frame->imprimante().setOutputFileName(dossier.filePath(QStringLiteral("absent/x.pdf")));
    action(cmd::ImprimerDirect)->trigger();
    const auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Impossible d'imprimer : l'imprimante n'est pas disponible.");
    EXPECT_EQ(messages[0].caption, "KIV-ZUL");
    EXPECT_EQ(messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(ShellTest, PreviewShowsOnePageAndSetupUsesTheSamePrinter)
{
    int pages = -1;
    frame->setExecuteurDialogue([&](QDialog& d) {
        EXPECT_NE(qobject_cast<QPrintPreviewDialog*>(&d), nullptr);
        d.show();
        QApplication::processEvents();
        auto* apercu = d.findChild<QPrintPreviewWidget*>();
        EXPECT_NE(apercu, nullptr);
        if (apercu) {
            apercu->updatePreview();
            pages = apercu->pageCount();
            // At page width, in a window the size of the console.
            EXPECT_EQ(apercu->zoomMode(), QPrintPreviewWidget::FitToWidth);
            EXPECT_GE(d.width(), frame->width());
            EXPECT_GE(d.height(), frame->height());
        }
        return int(QDialog::Rejected);
    });
    action(cmd::ApercuImpression)->trigger();
    EXPECT_EQ(pages, 1);

    QPrinter* reglee = nullptr;
    frame->setExecuteurDialogue([&](QDialog& d) {
        auto* dialogue = qobject_cast<QPageSetupDialog*>(&d);
        EXPECT_NE(dialogue, nullptr);
        if (dialogue) {
            reglee = dialogue->printer();
            reglee->setPageOrientation(QPageLayout::Landscape);
        }
        return int(QDialog::Accepted);
    });
    action(cmd::ConfigurationImpression)->trigger();
    EXPECT_EQ(reglee, &frame->imprimante());
    EXPECT_EQ(frame->imprimante().pageLayout().orientation(), QPageLayout::Landscape);
}

} // namespace
