// The reception view: a bounded ring of lines, the view at the bottom or
// left where it is, whole lines selected and copied, the menu of Qt's own
// read-only text boxes.
#include "console/VueReception.h"
#include "console/AnneauLignes.h"
#include "console/TraductionsQt.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <memory>

namespace {

/** `texte` cut at its line breaks, the oldest lines beyond `max` gone. */
void reference(std::deque<QString>& lignes, const QString& texte, int max)
{
    for (const QChar c : texte) {
        if (c == QLatin1Char('\n')) {
            lignes.emplace_back();
        } else {
            lignes.back() += c;
        }
    }
    while (static_cast<int>(lignes.size()) > max) {
        lignes.pop_front();
    }
}

/** Viewport height of line `i` among those on show. */
int hauteurDe(const VueReception& vue, int i)
{
    const int hauteur = static_cast<int>(std::ceil(QFontMetricsF(vue.font()).height()));
    return 4 + (i - vue.verticalScrollBar()->value()) * hauteur + hauteur / 2;
}

/** The texts of a menu's entries, "-" for a separator, "(off)" after a disabled one. */
QStringList entrees(const QMenu& menu)
{
    QStringList textes;
    for (const QAction* a : menu.actions()) {
        textes << (a->isSeparator() ? QStringLiteral("-")
                                    : a->text() + (a->isEnabled() ? "" : " (off)"));
    }
    return textes;
}

} // namespace

TEST(AnneauLignes, HoldsTheSameLinesAsATextCutAtItsBreaks)
{
    // Lines of every length, the bound reached, moved down and up, the ring
    // emptied: always the last lines of the text, in order.
    AnneauLignes anneau(7);
    std::deque<QString> attendu(1);
    int max = 7;
    for (int k = 0; k < 3000; ++k) {
        if (k == 1200) {
            max = 3;
            anneau.setLignesMax(max);
            reference(attendu, {}, max);
        } else if (k == 1800) {
            max = 40;
            anneau.setLignesMax(max);
        } else if (k == 2500) {
            anneau.effacer();
            attendu.assign(1, QString());
        }
        QString texte = QString(k % 13, QChar(u'a' + k % 26));
        if (k % 3 != 0) {
            texte += QStringLiteral("\n") + QString::number(k);
        }
        if (k % 17 == 0) {
            texte += QStringLiteral("\n\n");
        }
        const qint64 avant = anneau.premierNumero();
        const qsizetype parties = anneau.ajouter(texte);
        reference(attendu, texte, max);
        ASSERT_EQ(anneau.premierNumero() - avant, parties) << k;
        ASSERT_EQ(anneau.nombre(), static_cast<int>(attendu.size())) << k;
        for (int i = 0; i < anneau.nombre(); ++i) {
            ASSERT_EQ(anneau.ligne(i).toString(), attendu[static_cast<std::size_t>(i)]) << k;
        }
    }
    EXPECT_EQ(anneau.texte(1, 2), attendu[1] + QLatin1Char('\n') + attendu[2]);
    EXPECT_EQ(anneau.texte(2, 1), QString());
}

TEST(VueReception, KeepsTheLastLinesExactly)
{
    VueReception vue;
    vue.setLignesMax(50000);
    EXPECT_EQ(vue.nombreLignes(), 1);
    EXPECT_EQ(vue.texte(), QString());
    // 50,007 lines after the first, empty one, in a few appends.
    for (int tour = 0; tour < 7; ++tour) {
        QString texte;
        for (int k = tour * 7144 + 1; k <= std::min(50007, (tour + 1) * 7144); ++k) {
            texte += QStringLiteral("\n%1").arg(k);
        }
        vue.ajouter(texte);
    }
    ASSERT_EQ(vue.nombreLignes(), 50000);
    EXPECT_EQ(vue.ligne(0), QStringLiteral("8"));
    EXPECT_EQ(vue.ligne(49999), QStringLiteral("50007"));
    vue.ajouter(u"\n\n");
    EXPECT_EQ(vue.nombreLignes(), 50000);
    EXPECT_EQ(vue.ligne(0), QStringLiteral("10"));
    EXPECT_EQ(vue.ligne(49999), QString());

    vue.effacer();
    EXPECT_EQ(vue.nombreLignes(), 1);
    vue.ajouter(u"\nA");
    EXPECT_EQ(vue.texte(), QStringLiteral("\nA"));
}

TEST(VueReception, FollowsTheNewLinesAtTheBottomAndStaysPutElsewhere)
{
    VueReception vue;
    vue.setLignesMax(60);
    vue.resize(160, 120);
    vue.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&vue));
    QScrollBar* barre = vue.verticalScrollBar();
    for (int k = 0; k < 40; ++k) {
        vue.ajouter(QStringLiteral("\n%1").arg(k));
    }
    ASSERT_GT(barre->maximum(), 0);
    EXPECT_EQ(barre->value(), barre->maximum());
    EXPECT_EQ(vue.ligne(barre->value() + barre->pageStep() - 1), QStringLiteral("39"));

    // Scrolled up, the same lines stay on show, also as the oldest go.
    barre->setValue(25);
    for (int k = 40; k < 70; ++k) {
        vue.ajouter(QStringLiteral("\n%1").arg(k));
    }
    EXPECT_EQ(vue.ligne(barre->value()), QStringLiteral("24"));
    EXPECT_LT(barre->value(), barre->maximum());
    // Back at the bottom, it follows again.
    barre->setValue(barre->maximum());
    vue.ajouter(u"\n70\n71");
    EXPECT_EQ(barre->value(), barre->maximum());
    EXPECT_EQ(vue.ligne(barre->value() + barre->pageStep() - 1), QStringLiteral("71"));
}

TEST(VueReception, CopiesWholeLinesSelectedWithTheMouseOrAll)
{
    VueReception vue;
    vue.resize(160, 300);
    vue.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&vue));
    vue.ajouter(u"\nA\nB\nC\nD\nE");
    QClipboard* pressePapiers = QApplication::clipboard();
    pressePapiers->setText(QStringLiteral("avant"));
    vue.copier(); // nothing selected, nothing copied
    EXPECT_EQ(pressePapiers->text(), QStringLiteral("avant"));

    // Press on B, drag to D.
    QWidget* surface = vue.viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(20, hauteurDe(vue, 2)));
    QTest::mouseMove(surface, QPoint(20, hauteurDe(vue, 4)));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(20, hauteurDe(vue, 4)));
    EXPECT_EQ(vue.texteSelectionne(), QStringLiteral("B\nC\nD"));
    // Shift-click extends from B, upwards too.
    QTest::mouseClick(surface, Qt::LeftButton, Qt::ShiftModifier, QPoint(20, hauteurDe(vue, 1)));
    EXPECT_EQ(vue.texteSelectionne(), QStringLiteral("A\nB"));
    vue.copier();
    EXPECT_EQ(pressePapiers->text(), QStringLiteral("A\nB"));
    // A click below the last line takes the last line.
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(20, 290));
    EXPECT_EQ(vue.texteSelectionne(), QStringLiteral("E"));

    // All of it, the first empty line included, as the box shows it.
    vue.toutSelectionner();
    vue.copier();
    EXPECT_EQ(pressePapiers->text(), QStringLiteral("\nA\nB\nC\nD\nE"));
    // The selected lines that go leave the selection with them.
    vue.setLignesMax(3);
    EXPECT_EQ(vue.texteSelectionne(), QStringLiteral("C\nD\nE"));
    vue.effacer();
    EXPECT_FALSE(vue.aSelection());
}

TEST(VueReception, CtrlCCopiesBeforeTheWindowsShortcut)
{
    // A window whose own Ctrl+C is an action, as the main frame's Edit menu.
    QWidget fenetre;
    auto* vue = new VueReception(&fenetre);
    auto* autre = new QWidget(&fenetre);
    autre->setFocusPolicy(Qt::StrongFocus);
    QAction copieFenetre(&fenetre);
    copieFenetre.setShortcut(QKeySequence::Copy);
    fenetre.addAction(&copieFenetre);
    int declenchee = 0;
    QObject::connect(&copieFenetre, &QAction::triggered, [&] { ++declenchee; });
    fenetre.show();
    fenetre.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fenetre));
    autre->setFocus();
    QTest::keyClick(autre, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(declenchee, 1);

    vue->ajouter(u"\n12\n34");
    vue->setFocus();
    QTest::keyClick(vue, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(vue, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\n12\n34"));
    EXPECT_EQ(declenchee, 1);
}

TEST(VueReception, ContextMenuIsTheReadOnlyTextBoxs)
{
    // Qt's read-only text box, French when the catalogue is there.
    const bool francais =
        QFileInfo::exists(TraductionsQt::dossierParDefaut() + QStringLiteral("/qtbase_fr.qm")) &&
        TraductionsQt::installer(*QCoreApplication::instance());
    QPlainTextEdit modele;
    modele.setReadOnly(true);
    VueReception vue;

    // Empty: nothing to copy or select.
    const std::unique_ptr<QMenu> videModele(modele.createStandardContextMenu());
    const std::unique_ptr<QMenu> vide(vue.creerMenuContextuel(nullptr));
    EXPECT_EQ(entrees(*vide), entrees(*videModele));
    EXPECT_EQ(entrees(*vide).size(), 3);

    modele.setPlainText(QStringLiteral("\nA\nB"));
    vue.ajouter(u"\nA\nB");
    const std::unique_ptr<QMenu> pleinModele(modele.createStandardContextMenu());
    const std::unique_ptr<QMenu> plein(vue.creerMenuContextuel(nullptr));
    EXPECT_EQ(entrees(*plein), entrees(*pleinModele));
    if (francais) {
        EXPECT_TRUE(entrees(*plein)[0].startsWith(QStringLiteral("Cop&ier")))
            << entrees(*plein)[0].toStdString();
        EXPECT_TRUE(entrees(*plein)[2].startsWith(QString::fromUtf8("Tout sélectionner")));
    }

    // Select all, then copy, from the menu.
    plein->actions()[2]->trigger();
    modele.selectAll();
    const std::unique_ptr<QMenu> choisiModele(modele.createStandardContextMenu());
    const std::unique_ptr<QMenu> choisi(vue.creerMenuContextuel(nullptr));
    EXPECT_EQ(entrees(*choisi), entrees(*choisiModele));
    choisi->actions()[0]->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\nA\nB"));
    EXPECT_EQ(choisi->actions()[0]->objectName(), choisiModele->actions()[0]->objectName());
    EXPECT_EQ(choisi->actions()[2]->objectName(), choisiModele->actions()[2]->objectName());
    if (francais) {
        TraductionsQt::retirer();
    }
}
