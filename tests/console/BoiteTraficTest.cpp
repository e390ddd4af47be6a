// The traffic boxes: appends gathered and written in one edit, the most
// recent lines kept, the transmission cut into bounded paragraphs.
#include "console/BoiteTrafic.h"
#include "console/VueReception.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

TEST(BoiteTrafic, AppendsReachTheBoxAtTheNextFlushOrByThemselves)
{
    QPlainTextEdit boite;
    BoiteTrafic trafic(&boite, 0, 100);
    trafic.ajouter(QStringLiteral("\nA"));
    trafic.ajouter(QStringLiteral("\nB"));
    EXPECT_TRUE(boite.toPlainText().isEmpty());
    trafic.vider();
    EXPECT_EQ(boite.toPlainText(), QStringLiteral("\nA\nB"));
    trafic.vider(); // nothing pending: nothing changes
    EXPECT_EQ(boite.document()->blockCount(), 3);

    // Without a flush, the box catches up by itself.
    trafic.ajouter(QStringLiteral("\nC"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return boite.document()->blockCount() == 4; }));
}

TEST(BoiteTrafic, KeepsTheMostRecentLinesAndTheViewAtTheBottom)
{
    QPlainTextEdit boite;
    boite.resize(200, 100);
    boite.show();
    BoiteTrafic trafic(&boite, 0, 10);
    for (int k = 0; k < 25; ++k) {
        trafic.ajouter(QStringLiteral("\n%1").arg(k));
        if (k % 7 == 0) {
            trafic.vider();
        }
    }
    trafic.vider();
    const QTextDocument* document = boite.document();
    ASSERT_EQ(document->blockCount(), 10);
    EXPECT_EQ(document->firstBlock().text(), QStringLiteral("15"));
    EXPECT_EQ(document->lastBlock().text(), QStringLiteral("24"));
    QScrollBar* barre = boite.verticalScrollBar();
    EXPECT_EQ(barre->value(), barre->maximum());
}

TEST(BoiteTrafic, TheReceptionViewGetsTheSameLines)
{
    VueReception vue;
    BoiteTrafic trafic(&vue, 5);
    EXPECT_EQ(vue.lignesMax(), 5);
    for (const char16_t c : u"ABCDEFG") {
        if (c != 0) {
            trafic.ajouterLigne(QChar(c));
        }
    }
    EXPECT_EQ(vue.nombreLignes(), 1);
    trafic.vider();
    EXPECT_EQ(vue.texte(), QStringLiteral("C\nD\nE\nF\nG"));
    // Without a flush, the timer writes the round.
    for (int k = 0; k < 2000; ++k) {
        trafic.ajouterLigne(QChar(u'a' + k % 26));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return vue.ligne(4) == QStringLiteral("x"); }));
    EXPECT_EQ(vue.texte(), QStringLiteral("t\nu\nv\nw\nx"));
}

TEST(BoiteTrafic, TransmissionIsCutIntoBoundedParagraphsBetweenCommands)
{
    QPlainTextEdit boite;
    BoiteTrafic trafic(&boite, 480, 1000);
    QString attendu;
    for (int k = 0; k < 1000; ++k) {
        const QString commande = QStringLiteral(" %1").arg(-128 + k % 128);
        trafic.ajouter(commande);
        attendu += commande;
        if (k % 300 == 0) {
            trafic.vider();
        }
    }
    trafic.vider();
    QString lu;
    for (QTextBlock b = boite.document()->begin(); b.isValid(); b = b.next()) {
        EXPECT_LE(b.text().size(), 480 + 5);
        // A paragraph starts with a command, never inside one.
        EXPECT_TRUE(b.text().startsWith(QLatin1Char(' '))) << b.text().toStdString();
        lu += b.text();
    }
    EXPECT_GE(boite.document()->blockCount(), attendu.size() / (480 + 5));
    EXPECT_EQ(lu, attendu);
}
