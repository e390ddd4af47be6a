// The control view's construction, set-up and commands.
#include "ConsoleFixture.h"

#include "console/Menu128.h"

#include "link/settings/EcritureScom.h"
#include "neural/Matrice.h"
#include "trainer/dialog/ReseauxDlg.h"
#include "world/GridEdits.h"
#include "world/WorldChange.h"
#include "world/WorldClock.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTimer>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

/** Polls until `condition` holds; the limit only keeps a hung test from waiting forever. */
template <class Condition>
bool attendreQue(Condition condition)
{
    const auto limite = std::chrono::steady_clock::now() + 30s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limite) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

} // namespace

TEST_F(ConsoleTest, ConstructionAsksForAWeightsFile)
{
    demarrer(false, "");
    const auto messages = scripted().messages();
    ASSERT_GE(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Choisissez un fichier de poids pour le réseau de neurones");
    EXPECT_EQ(messages[0].caption, "KIV-ZUL");
    EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
    const auto fichiers = scripted().fileRequests();
    ASSERT_EQ(fichiers.size(), 1u);
    EXPECT_EQ(fichiers[0].kind, FileDialogKind::Open);
    EXPECT_EQ(fichiers[0].filter, "Fichier de poids (*.wgh)|*.wgh||");
    // Cancelled: no network, no position estimate.
    Vecteur v;
    EXPECT_FALSE(view->reseaux().Evaluer(0.15, 0.15, 0.15, v));
}

TEST_F(ConsoleTest, WeightsOptionLoadsWithoutAsking)
{
    demarrer(true);
    EXPECT_TRUE(scripted().fileRequests().empty());
    Vecteur v;
    ASSERT_TRUE(view->reseaux().Evaluer(0.15, 0.15, 0.15, v));
    EXPECT_NEAR(v[0], 250.0, 5.0); // the centre: all three intervals 150 ms
    EXPECT_NEAR(v[1], 250.0, 5.0);
}

TEST_F(ConsoleTest, SetUpOpensTheLinkOnce)
{
    demarrer(true);
    ASSERT_EQ(liens.size(), 1u);
    FakeLink& lien = *liens[0];
    EXPECT_EQ(lien.proprietaire, view);
    EXPECT_EQ(lien.reglages.port, 1);
    EXPECT_EQ(lien.parite, 'N');
    EXPECT_EQ(lien.bits, 8);
    EXPECT_EQ(lien.arret, 1);
    EXPECT_EQ(lien.masque, 9u);
    EXPECT_EQ(lien.taille, 512);
    EXPECT_EQ(g_portOpen, 1);
    EXPECT_EQ(controle<QProgressBar>(ctrl::Batterie)->maximum(), 230);
    EXPECT_EQ(controle<QProgressBar>(ctrl::Batterie)->value(), 0);

    // A second activation creates nothing new.
    view->OnActivateView();
    frame->hide();
    frame->show();
    EXPECT_EQ(liens.size(), 1u);

    // Reopening suspends and destroys a running engine, then makes a new one.
    EXPECT_EQ(view->OpenRobotPort(), 0);
    ASSERT_EQ(liens.size(), 2u);
    EXPECT_EQ(journal, (std::vector<std::string>{"suspendu", "detruit"}));
    EXPECT_EQ(view->lien(), liens[1]);
}

TEST_F(ConsoleTest, LinkThatCannotOpen)
{
    demarrer(false);
    auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Le port sélectionné ne peut-être utilisé.");
    EXPECT_EQ(messages[0].caption, "Attention");
    EXPECT_EQ(messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(g_portOpen, 0);

    scripted().clear();
    cliquer(ctrl::EtatPort);
    messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Le port série n'est pas en fonction");
    EXPECT_EQ(messages[0].caption, "Attention!");
    EXPECT_EQ(messages[0].icon, MessageIcon::Stop);

    // Failed opens keep the same engine, configured again; the engine's
    // reason follows the message.
    liens[0]->raison = "Le port COM1 (/dev/ttyS0) est déjà utilisé par un autre programme.";
    scripted().clear();
    EXPECT_EQ(view->OpenRobotPort(), 1);
    EXPECT_EQ(liens.size(), 1u);
    messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Le port sélectionné ne peut-être utilisé.\n\nLe port COM1 "
                                "(/dev/ttyS0) est déjà utilisé par un autre programme.");
}

TEST_F(ConsoleTest, TheLinkOpensWithTheSettingsFile)
{
    demarrer(true);
    EXPECT_EQ(liens[0]->reglages.port, 1);
    EXPECT_EQ(liens[0]->reglages.baud, 1200);
    ASSERT_TRUE(ecrireScom(PortSettings{3, 19200}));
    EXPECT_EQ(view->OpenRobotPort(), 0);
    ASSERT_EQ(liens.size(), 2u);
    EXPECT_EQ(liens[1]->reglages.port, 3);
    EXPECT_EQ(liens[1]->reglages.baud, 19200);
    ASSERT_TRUE(ecrireScom(PortSettings{1, 1200}));

    // "Port série" runs the port dialog over the view, which reopens the
    // link when confirmed.
    QString titre;
    QTimer::singleShot(0, [&titre] {
        if (QWidget* dialogue = QApplication::activeModalWidget()) {
            titre = dialogue->windowTitle();
            QMetaObject::invokeMethod(dialogue, "accept", Qt::QueuedConnection);
        }
    });
    scripted().clear();
    frame->action(cmd::PortSerie)->trigger();
    EXPECT_EQ(titre, QStringLiteral("Paramètre de communication"));
    EXPECT_EQ(liens.size(), 3u);
    EXPECT_TRUE(scripted().messages().empty());
}

TEST_F(ConsoleTest, PortStateWhenOpen)
{
    demarrer(true);
    scripted().clear();
    cliquer(ctrl::EtatPort);
    const auto messages = scripted().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Le port série est en fonction");
    EXPECT_EQ(messages[0].caption, "État du port série");
    EXPECT_EQ(messages[0].icon, MessageIcon::Information);
}

TEST_F(ConsoleTest, StopAndSeizeEachSendTheNeutralCommandAndHoldTheRobotUntilResumed)
{
    demarrer(true);
    auto* reprendre = view->findChild<QPushButton*>(QStringLiteral("reprendre"));
    ASSERT_NE(reprendre, nullptr);
    EXPECT_FALSE(reprendre->isEnabled()) << "nothing to resume";
    monde().drapeaux.simulation = 1;
    cliquer(ctrl::Arret);
    EXPECT_EQ(monde().drapeaux.simulation, 0);
    EXPECT_TRUE(operateurTient());
    EXPECT_TRUE(reprendre->isEnabled());
    EXPECT_EQ(transmission(), QStringLiteral(" -128"));
    reprendre->click();
    EXPECT_FALSE(operateurTient());
    EXPECT_FALSE(reprendre->isEnabled());

    monde().drapeaux.simulation = 1;
    cliquer(ctrl::Saisie);
    EXPECT_EQ(monde().drapeaux.simulation, 1);
    EXPECT_TRUE(operateurTient());
    EXPECT_EQ(transmission(), QStringLiteral(" -128 -128"));
    EXPECT_EQ(liens[0]->ecrit, std::string("\x80\x80"));
    // "Go!!!" resumes too; a new destination does not.
    SetDestination(300, 300);
    EXPECT_TRUE(operateurTient());
    cliquer(ctrl::Go);
    EXPECT_FALSE(operateurTient());
    EXPECT_EQ(liens[0]->ecrit, std::string("\x80\x80")) << "a resume sends nothing itself";
}

TEST_F(ConsoleTest, EscapeStopsTheRobotFromAnywhereInTheWindowWithoutAKeyBox)
{
    demarrer(true);
    const std::vector<QWidget*> cibles = {view, controle<QRadioButton>(ctrl::ModeObstacle),
                                          frame.get(), controle<QPushButton>(ctrl::Go)};
    for (QWidget* cible : cibles) {
        ReprendreOperateur();
        scripted().clear();
        cible->setFocus();
        QTest::keyClick(cible, Qt::Key_Escape);
        EXPECT_TRUE(operateurTient()) << cible->metaObject()->className();
        EXPECT_TRUE(scripted().messages().empty()) << "a stop never waits behind a box";
    }
    EXPECT_EQ(transmission(), QStringLiteral(" -128 -128 -128 -128"));
}

TEST_F(ConsoleTest, TwoGoThreadsStoppedByOneStop)
{
    demarrer(true);
    // The runs step only when the test moves this clock's time.
    static ManualWorldClock horloge;
    setWorldClock(&horloge);
    // A destination the robot cannot reach: the runs wait while monde().drapeaux.simulation is 1.
    for (int r = 9; r <= 11; ++r) {
        for (int c = 9; c <= 11; ++c) {
            if (r != 10 || c != 10) {
                PlaceObstacle(r, c);
            }
        }
    }
    SetDestination(25 * 9, 25 * 9);
    cliquer(ctrl::Go);
    cliquer(ctrl::Go);
    EXPECT_EQ(monde().drapeaux.simulation, 1);
    // Both runs asleep in their step, the navigation waiting for a change.
    ASSERT_TRUE(attendreQue([] { return blockedWorldWaiters() == 3; }));
    EXPECT_EQ(runningSimulations(), 2);
    cliquer(ctrl::Arret);
    EXPECT_EQ(runningSimulations(), 2); // each ends at its next check, after its step
    horloge.advance(1500ms);
    EXPECT_TRUE(attendreQue([] { return runningSimulations() == 0; }));
}

TEST_F(ConsoleTest, ObstacleRemovalButtons)
{
    demarrer(true);
    PlaceObstacle(5, 5);
    MarkObstacle(8, 8);
    cliquer(ctrl::Virtuels);
    EXPECT_EQ(monde().grille[5][5], 0);
    EXPECT_EQ(monde().grille[8][8], 3);
    cliquer(ctrl::Reels);
    EXPECT_EQ(monde().grille[8][8], 0);
}

TEST_F(ConsoleTest, GridLinesFollowTheMenu)
{
    demarrer(true);
    view->OnQuadrillage(true);
    EXPECT_EQ(monde().drapeaux.quadrillage, 1);
    view->OnQuadrillage(false);
    EXPECT_EQ(monde().drapeaux.quadrillage, 0);
}

TEST_F(ConsoleTest, KeysOnTheView)
{
    demarrer(true);
    // Every key is a key-down; those that type a character, control
    // characters included, are also "YES!!!".
    struct Cas {
        Qt::Key cle;
        Qt::KeyboardModifiers mods;
        const char* texte;
        bool caractere;
    };
    const Cas cas[] = {
        {Qt::Key_A, Qt::NoModifier, "a", true},
        {Qt::Key_Space, Qt::NoModifier, " ", true},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", true},
        {Qt::Key_Return, Qt::NoModifier, "\r", true},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", true},
        {Qt::Key_Tab, Qt::NoModifier, "\t", true},
        {Qt::Key_Backtab, Qt::ShiftModifier, "", true},
        {Qt::Key_A, Qt::ControlModifier, "\x01", true},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "", true},
        {Qt::Key_BracketLeft, Qt::ControlModifier, "\x1b", true},
        {Qt::Key_E, Qt::ControlModifier | Qt::AltModifier, "\u20ac", true},
        {Qt::Key_Left, Qt::NoModifier, "", false},
        {Qt::Key_F2, Qt::NoModifier, "", false},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", false},
        {Qt::Key_Shift, Qt::ShiftModifier, "", false},
        {Qt::Key_1, Qt::ControlModifier, "1", false},
        {Qt::Key_Tab, Qt::ControlModifier, "\t", false},
    };
    for (const Cas& c : cas) {
        scripted().clear();
        QKeyEvent touche(QEvent::KeyPress, c.cle, c.mods, QString::fromUtf8(c.texte));
        QApplication::sendEvent(view, &touche);
        std::vector<std::string> textes;
        for (const auto& m : scripted().messages()) {
            textes.push_back(m.text);
            EXPECT_EQ(m.caption, "KIV-ZUL");
        }
        const std::vector<std::string> attendus =
            c.caractere ? std::vector<std::string>{"Keydown", "YES!!!"}
                        : std::vector<std::string>{"Keydown"};
        EXPECT_EQ(textes, attendus) << c.cle << " " << c.mods.toInt();
    }
}

TEST_F(ConsoleTest, ClosingTheViewStopsTheWorldThreads)
{
    demarrer(true);
    EXPECT_FALSE(worldThreadsStopping());
    frame.reset();
    EXPECT_TRUE(worldThreadsStopping());
}

TEST_F(ConsoleTest, TransmissionBoxKeepsEveryCommandInOrder)
{
    demarrer(true);
    for (int k = 0; k < 1000; ++k) {
        view->SendWheelCommand(k % 4, (k / 4) % 4, 0);
    }
    const QStringList valeurs =
        transmission().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    ASSERT_EQ(valeurs.size(), 1000);
    for (int k = 0; k < 1000; ++k) {
        const int octet = 0x80 + 4 * ((k / 4) % 4) + k % 4;
        ASSERT_EQ(valeurs[k].toInt(), octet - 256) << k;
    }
    // Cut into bounded paragraphs, so that appending stays cheap.
    EXPECT_GT(boite(ctrl::Transmission)->document()->blockCount(), 1);
}
