// The engine's life: suspension, destruction (also from inside the owner's
// handler), a failed opening and the next one, the device going away, a
// port another program holds.
#include "LinkFixture.h"

#include <QEventLoop>

namespace {

TEST_F(LienTest, ASuspendedMonitorKeepsTheBytesUntilResumed)
{
    EXPECT_FALSE(lien->SuspendMonitor()) << "no monitor yet";
    ouvrir();
    pty.envoyer("a");
    ASSERT_TRUE(recevoir(1));
    EXPECT_TRUE(lien->SuspendMonitor());
    EXPECT_TRUE(lien->threadAlive());
    pty.envoyer("bcd");
    // The monitor reads them off the device and holds them: nothing is handed over.
    ASSERT_TRUE(attendre([&] { return pty.nonLus() == 0; }));
    viderFile();
    EXPECT_EQ(journal.octets(), "a");
    EXPECT_TRUE(lien->ResumeMonitor());
    ASSERT_TRUE(recevoir(4));
    EXPECT_EQ(journal.octets(), "abcd");
    EXPECT_TRUE(tracee("Thread suspended\n"));
    EXPECT_TRUE(tracee("Thread resumed\n"));
}

TEST_F(LienTest, SuspensionThenDestructionEndsTheMonitorAndFreesThePort)
{
    ouvrir();
    EXPECT_TRUE(tracee("Thread started\n"));
    lien->SuspendMonitor();
    pty.envoyer("xyz");
    lien.reset();
    EXPECT_TRUE(tracee("Thread ended\n"));
    viderFile();
    EXPECT_TRUE(journal.octets().empty());
    // The device is closed: a new engine opens it.
    lien = std::make_unique<SerialPort>();
    EXPECT_TRUE(configurer());
}

TEST_F(LienTest, ConfigureAgainAfterAFailedOpening)
{
    qputenv("KIV_COM1", "/dev/kiv-no-such-tty");
    EXPECT_FALSE(configurer());
    EXPECT_EQ(lien->openError(),
              "Le périphérique du port COM1 (/dev/kiv-no-such-tty) n'existe pas.");
    EXPECT_FALSE(lien->StartMonitor());
    EXPECT_FALSE(lien->threadAlive());
    lien->QueueWrite("\x81");
    EXPECT_TRUE(plateforme().messages().empty()) << "the caller reports it";

    // Outside COM1 .. COM4, or nobody to hand the bytes to: refused as well.
    EXPECT_FALSE(lien->Configure(&journal, 5, 9600, 'N', 8, 1, LinkRxChar, 512));
    EXPECT_FALSE(lien->openError().empty());
    EXPECT_FALSE(lien->Configure(nullptr, 1, 9600, 'N', 8, 1, LinkRxChar, 512));
    EXPECT_FALSE(lien->openError().empty());

    qputenv("KIV_COM1", QByteArray::fromStdString(pty.nom()));
    ASSERT_TRUE(configurer());
    EXPECT_TRUE(lien->openError().empty());
    ASSERT_TRUE(lien->StartMonitor());
    pty.envoyer("ok");
    ASSERT_TRUE(recevoir(2));
    lien->QueueWrite("\x81");
    ASSERT_TRUE(lireRobot(1));
    EXPECT_EQ(pty.recu, "\x81") << "nothing queued while the port was not open";
}

TEST_F(LienTest, DestructionFromInsideAHandOverReturns)
{
    ouvrir(LinkRxChar);
    // Straight from the owner's handler.
    journal.pendant = [&](const Journal::Entree&) { lien.reset(); };
    pty.envoyer("abc");
    ASSERT_TRUE(attendre([&] { return lien == nullptr; }));
    viderFile();
    EXPECT_EQ(journal.octets(), "a");

    // From a nested event loop inside the handler, as a modal dialog would.
    journal.entrees.clear();
    journal.pendant = nullptr;
    lien = std::make_unique<SerialPort>();
    ouvrir(LinkRxChar);
    journal.pendant = [&](const Journal::Entree&) {
        QEventLoop imbriquee;
        QTimer::singleShot(0, [&] {
            lien.reset();
            imbriquee.quit();
        });
        imbriquee.exec();
    };
    pty.envoyer("def");
    ASSERT_TRUE(attendre([&] { return lien == nullptr; }));
    viderFile();
    EXPECT_EQ(journal.octets(), "d");
}

TEST_F(LienTest, DestructionWhileAHandOverWaitsReturns)
{
    // The bytes wait on the device before the monitor starts (a write to the
    // pseudo-terminal reaches the device end a moment later)...
    ASSERT_TRUE(configurer(LinkRxChar));
    pty.envoyer("abc");
    const QDeadlineTimer garde(20000);
    while (pty.nonLus() != 3 && !garde.hasExpired()) {
        QThread::msleep(1);
    }
    ASSERT_EQ(pty.nonLus(), 3);
    // ... and the monitor reads them for this thread, which (its event loop
    // not running) destroys the engine instead of taking them.
    ASSERT_TRUE(lien->StartMonitor());
    while (pty.nonLus() != 0 && !garde.hasExpired()) {
        QThread::msleep(1);
    }
    ASSERT_EQ(pty.nonLus(), 0);
    lien.reset();
    viderFile();
    EXPECT_TRUE(journal.entrees.empty());
}

TEST_F(LienTest, ADeviceThatGoesAwayIsReportedOnceAndTheLinkStops)
{
    ouvrir();
    pty.envoyer("a");
    ASSERT_TRUE(recevoir(1));
    pty.fermerRobot();
    ASSERT_TRUE(attendre([&] { return !lien->threadAlive(); }));
    ASSERT_TRUE(attendre([&] { return !plateforme().messages().empty(); }));
    viderFile();
    const auto messages = plateforme().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "WARNING:  ReadFile() Failed with the following error: \n"
                                "Connection to " +
                                    pty.nom() + " lost\nPort: 1\n");
    EXPECT_EQ(messages[0].caption, "Application Error");
    EXPECT_EQ(messages[0].icon, MessageIcon::Stop);
    lien->QueueWrite("\x81");
    EXPECT_FALSE(lien->StartMonitor()) << "the port is closed";

    // The operator opens the link again, on a device that answers.
    Pty autre;
    qputenv("KIV_COM1", QByteArray::fromStdString(autre.nom()));
    ASSERT_TRUE(configurer());
    ASSERT_TRUE(lien->StartMonitor());
    autre.envoyer("b");
    ASSERT_TRUE(recevoir(2));
    EXPECT_EQ(journal.octets(), "ab");
    EXPECT_EQ(plateforme().messages().size(), 1u);
}

TEST_F(LienTest, APortHeldByAnotherProgramIsRefusedNamingTheDevice)
{
    ouvrir();
    SerialPort second;
    Journal autre;
    EXPECT_FALSE(second.Configure(&autre, 1, 9600, 'N', 8, 1, LinkRxChar, 512));
    EXPECT_EQ(second.openError(),
              "Le port COM1 (" + pty.nom() + ") est déjà utilisé par un autre programme.");
    EXPECT_TRUE(plateforme().messages().empty());
    lien.reset();
    EXPECT_TRUE(second.Configure(&autre, 1, 9600, 'N', 8, 1, LinkRxChar, 512));
}

} // namespace
