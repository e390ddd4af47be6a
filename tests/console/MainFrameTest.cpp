// The main frame: menu, toolbar, status bar, check marks, keys, edit commands.
#include "ShellFixture.h"
#include "console/Menu128.h"
#include "console/VueReception.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

using Item = std::pair<QString, int>; // caption, command (0: separator)

std::vector<Item> elements(QMenu* menu)
{
    std::vector<Item> items;
    for (QAction* a : menu->actions()) {
        items.emplace_back(a->isSeparator() ? QString() : a->text(),
                           a->isSeparator() ? 0 : a->objectName().mid(2).toInt());
    }
    return items;
}

TEST_F(ShellTest, FrameSitsAtTheTopLeftCornerWithItsSize)
{
    // The outer rectangle, decorations included (offscreen windows have a
    // frame of their own).
    EXPECT_EQ(frame->frameGeometry(), QRect(0, 0, 790, 580));
    const QMargins bords = frame->windowHandle()->frameMargins();
    EXPECT_FALSE(bords.isNull());
    EXPECT_EQ(frame->size(), QSize(790, 580).shrunkBy(bords));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("KIV-ZUL"));
}

TEST_F(ShellTest, MenuCaptionsAndCommandsExactly)
{
    const QList<QAction*> titres = frame->menuBar()->actions();
    ASSERT_EQ(titres.size(), 5);
    const QStringList attendus{QStringLiteral("&Fichier"), QStringLiteral("&Edition"),
                               QStringLiteral("&Affichage"), QStringLiteral("Paramètres"),
                               QStringLiteral("&?")};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(titres[k]->text(), attendus[k]);
    }
    auto s = [](const char* t) { return QString::fromUtf8(t); };
    EXPECT_EQ(elements(titres[0]->menu()),
              (std::vector<Item>{{s("&Nouveau\tCtrl+N"), 57600},
                                 {s("&Ouvrir...\tCtrl+O"), 57601},
                                 {s("&Enregistrer\tCtrl+S"), 57603},
                                 {s("En&registrer sous..."), 57604},
                                 {{}, 0},
                                 {s("&Imprimer...\tCtrl+P"), 57607},
                                 {s("Aperçu a&vant impression"), 57609},
                                 {s("C&onfiguration de l'impression..."), 57606},
                                 {{}, 0},
                                 {s("&Quitter"), 57665}}));
    EXPECT_EQ(elements(titres[1]->menu()), (std::vector<Item>{{s("&Annuler\tCtrl+Z"), 57643},
                                                              {{}, 0},
                                                              {s("&Couper\tCtrl+X"), 57635},
                                                              {s("&Copier\tCtrl+C"), 57634},
                                                              {s("C&oller\tCtrl+V"), 57637}}));
    EXPECT_EQ(elements(titres[2]->menu()), (std::vector<Item>{{s("&Barre d'outils"), 59392},
                                                              {s("Barre d'é&tat"), 59393},
                                                              {s("Quadrillage"), 32771}}));
    EXPECT_EQ(elements(titres[3]->menu()), (std::vector<Item>{{s("Port série"), 32779}}));
    EXPECT_EQ(elements(titres[4]->menu()), (std::vector<Item>{{s("&A propos de KIV..."), 57664}}));
}

TEST_F(ShellTest, ShortcutTextsMatchTheAcceleratorsWhichStayUnbound)
{
    // Every shortcut shown in a menu is one of the accelerators of its command.
    int montres = 0;
    for (QAction* titre : frame->menuBar()->actions()) {
        for (QAction* a : titre->menu()->actions()) {
            EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
            const qsizetype tab = a->text().indexOf(QLatin1Char('\t'));
            if (tab < 0) {
                continue;
            }
            ++montres;
            const QKeySequence montre(a->text().mid(tab + 1), QKeySequence::PortableText);
            bool trouve = false;
            for (const Accelerateur& acc : accelerateurs128()) {
                trouve |= acc.touche == montre[0] &&
                          QStringLiteral("id%1").arg(acc.commande) == a->objectName();
            }
            EXPECT_TRUE(trouve) << a->text().toStdString();
        }
    }
    EXPECT_EQ(montres, 8);
    EXPECT_EQ(accelerateurs128().size(), 14u);

    // Ctrl+P is reported as a key-down and prints nothing.
    int dialogues = 0;
    frame->setExecuteurDialogue([&](QDialog&) { return ++dialogues, int(QDialog::Rejected); });
    QTest::keyClick(frame->windowHandle(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(dialogues, 0);
    ASSERT_FALSE(textes().empty());
    EXPECT_EQ(textes().front(), "Keydown");
}

TEST_F(ShellTest, ToolbarButtonsAndPictures)
{
    QToolBar* barre = frame->barreOutils();
    EXPECT_EQ(barre->objectName(), QStringLiteral("id59392"));
    EXPECT_EQ(frame->toolBarArea(barre), Qt::TopToolBarArea);
    EXPECT_EQ(barre->iconSize(), QSize(19, 18));
    EXPECT_TRUE(barre->isMovable());
    EXPECT_EQ(barre->allowedAreas(), Qt::AllToolBarAreas);

    const QList<QAction*> boutons = barre->actions();
    ASSERT_EQ(boutons.size(), 5);
    EXPECT_EQ(boutons[0], action(cmd::Imprimer));
    EXPECT_EQ(boutons[1], action(cmd::Quadrillage));
    EXPECT_EQ(boutons[2], action(cmd::PortSerie));
    EXPECT_TRUE(boutons[3]->isSeparator());
    EXPECT_EQ(boutons[4], action(cmd::APropos));
    for (int k : {0, 1, 2, 4}) {
        const QImage image = boutons[k]->icon().pixmap(QSize(19, 18)).toImage();
        ASSERT_EQ(image.size(), QSize(19, 18)) << k;
        int peints = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                peints += image.pixelColor(x, y).alpha() > 0;
            }
        }
        EXPECT_GT(peints, 40) << k;
        EXPECT_FALSE(boutons[k]->toolTip().isEmpty()) << k;
    }
    EXPECT_TRUE(action(cmd::PortSerie)->isEnabled());
}

TEST_F(ShellTest, CheckMarksFollowTheBarsAndTheGrid)
{
    QToolBar* barre = frame->barreOutils();
    QStatusBar* etat = frame->statusBar();
    EXPECT_TRUE(action(cmd::BarreOutils)->isChecked());
    EXPECT_TRUE(action(cmd::BarreEtat)->isChecked());
    EXPECT_TRUE(action(cmd::Quadrillage)->isCheckable());
    EXPECT_FALSE(action(cmd::Quadrillage)->isChecked());
    EXPECT_EQ(monde().drapeaux.quadrillage, 0);

    action(cmd::BarreOutils)->trigger();
    EXPECT_FALSE(barre->isVisible());
    EXPECT_FALSE(action(cmd::BarreOutils)->isChecked());
    action(cmd::BarreOutils)->trigger();
    EXPECT_TRUE(barre->isVisible());
    EXPECT_TRUE(action(cmd::BarreOutils)->isChecked());

    action(cmd::BarreEtat)->trigger();
    EXPECT_FALSE(etat->isVisible());
    EXPECT_FALSE(action(cmd::BarreEtat)->isChecked());
    action(cmd::BarreEtat)->trigger();
    EXPECT_TRUE(etat->isVisible());

    action(cmd::Quadrillage)->trigger();
    EXPECT_TRUE(action(cmd::Quadrillage)->isChecked());
    EXPECT_EQ(monde().drapeaux.quadrillage, 1);
    // The toolbar button toggles the same item.
    auto* bouton = qobject_cast<QToolButton*>(barre->widgetForAction(action(cmd::Quadrillage)));
    ASSERT_NE(bouton, nullptr);
    EXPECT_TRUE(bouton->isChecked());
    bouton->click();
    EXPECT_FALSE(action(cmd::Quadrillage)->isChecked());
    EXPECT_EQ(monde().drapeaux.quadrillage, 0);
}

TEST_F(ShellTest, StatusBarPanes)
{
    QStatusBar* etat = frame->statusBar();
    EXPECT_EQ(etat->objectName(), QStringLiteral("id59393"));
    QLabel* message = frame->voletMessage();
    EXPECT_EQ(message->text(), QStringLiteral("Prêt"));
    auto* maj = etat->findChild<QLabel*>(QStringLiteral("voletMAJ"));
    auto* num = etat->findChild<QLabel*>(QStringLiteral("voletNUM"));
    auto* def = etat->findChild<QLabel*>(QStringLiteral("voletDEF"));
    auto* blancs = etat->findChild<QLabel*>(QStringLiteral("id101"));
    ASSERT_TRUE(maj && num && def && blancs);
    EXPECT_EQ(blancs->text(), QStringLiteral("    "));
    // Left to right: message, MAJ, NUM, DEF, 101.
    EXPECT_LT(message->x(), maj->x());
    EXPECT_LT(maj->x(), num->x());
    EXPECT_LT(num->x(), def->x());
    EXPECT_LT(def->x(), blancs->x());

    // Offscreen nothing tells the lock keys: all blank.
    EXPECT_EQ(maj->text(), QString());
    EXPECT_EQ(num->text(), QString());
    EXPECT_EQ(def->text(), QString());
    const int largeur = maj->width();

    // The panes show what the keyboard says, refreshed on every key.
    EtatVerrous verrous{true, false, std::nullopt};
    int lectures = 0;
    frame->indicateurs()->setLecteur([&] { return ++lectures, verrous; });
    EXPECT_EQ(maj->text(), QStringLiteral("MAJ"));
    EXPECT_EQ(num->text(), QString());
    EXPECT_EQ(def->text(), QString());
    verrous = {false, true, true};
    const int avant = lectures;
    QTest::keyClick(frame->windowHandle(), Qt::Key_NumLock);
    EXPECT_GT(lectures, avant);
    EXPECT_EQ(maj->text(), QString());
    EXPECT_EQ(num->text(), QStringLiteral("NUM"));
    EXPECT_EQ(def->text(), QStringLiteral("DEF"));
    EXPECT_EQ(maj->width(), largeur);

    // A command's prompt covers the idle text while it is shown.
    etat->showMessage(QStringLiteral("Imprime le formulaire de la console"));
    EXPECT_FALSE(message->isVisible());
    etat->clearMessage();
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(message->text(), QStringLiteral("Prêt"));
}

TEST_F(ShellTest, KeyDownIsReportedBeforeTheViewHandlesIt)
{
    CKIVView* view = frame->view();
    view->setFocus();
    ASSERT_EQ(frame->focusWidget(), view);

    // The frame's box, then the view's two.
    QTest::keyClick(frame->windowHandle(), Qt::Key_A);
    EXPECT_EQ(textes(), (std::vector<std::string>{"Keydown", "Keydown", "YES!!!"}));
    for (const auto& m : scripted().messages()) {
        EXPECT_EQ(m.caption, "KIV-ZUL");
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }
    scripted().clear();
    QTest::keyClick(frame->windowHandle(), Qt::Key_F2);
    EXPECT_EQ(textes(), (std::vector<std::string>{"Keydown", "Keydown"}));

    // Tab types a character too, and still moves the focus on.
    scripted().clear();
    QTest::keyClick(frame->windowHandle(), Qt::Key_Tab);
    EXPECT_EQ(textes(), (std::vector<std::string>{"Keydown", "Keydown", "YES!!!"}));
    EXPECT_NE(frame->focusWidget(), view);
}

TEST_F(ShellTest, FrameWithTheFocusReportsTheKeyTwice)
{
    frame->view()->clearFocus();
    frame->setFocus();
    ASSERT_EQ(frame->focusWidget(), frame.get());
    QTest::keyClick(frame->windowHandle(), Qt::Key_F2);
    EXPECT_EQ(textes(), (std::vector<std::string>{"Keydown", "Keydown"}));

    // Alt and F10 are the menu's keys, not key-downs; single events, as the
    // window system sends them.
    auto touche = [&](Qt::Key k, Qt::KeyboardModifiers m) {
        QKeyEvent e(QEvent::KeyPress, k, m);
        QApplication::sendEvent(frame->windowHandle(), &e);
    };
    scripted().clear();
    touche(Qt::Key_Alt, Qt::AltModifier);
    touche(Qt::Key_F10, Qt::NoModifier);
    touche(Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(textes().empty());
    // Ctrl+Alt types characters on many keyboards: a key-down.
    touche(Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(textes(), (std::vector<std::string>{"Keydown", "Keydown"}));
}

TEST_F(ShellTest, KeysOfOtherWindowsAreNotReported)
{
    QDialog autre(frame.get());
    autre.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&autre));
    QTest::keyClick(autre.windowHandle(), Qt::Key_B);
    EXPECT_TRUE(scripted().messages().empty());
}

TEST_F(ShellTest, EditCommandsActOnTheFocusedBox)
{
    auto* reception = frame->view()->findChild<VueReception*>(QStringLiteral("id1004"));
    ASSERT_NE(reception, nullptr);
    reception->ajouter(u"12\n34");
    reception->setFocus();
    frame->majEdition();
    // Nothing selected in a read-only box: nothing to do.
    for (int id : {57643, 57635, 57634, 57637}) {
        EXPECT_FALSE(action(id)->isEnabled()) << id;
    }
    reception->toutSelectionner();
    QApplication::clipboard()->setText(QStringLiteral("avant"));
    frame->majEdition();
    EXPECT_TRUE(action(cmd::Copier)->isEnabled());
    EXPECT_FALSE(action(cmd::Couper)->isEnabled());
    EXPECT_FALSE(action(cmd::Coller)->isEnabled());
    action(cmd::Copier)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12\n34"));
    EXPECT_EQ(reception->texte(), QStringLiteral("12\n34"));
}

TEST_F(ShellTest, QuitClosesTheFrame)
{
    action(cmd::Quitter)->trigger();
    EXPECT_FALSE(frame->isVisible());
}

} // namespace
