// Bytes both ways over a pseudo-terminal: every value, in order, one
// hand-over each, the line-event notifications first; queued writes leave
// whole and in order, and input is never thrown away around a write.
#include "LinkFixture.h"

#include "link/SerialShared.h"

#include <atomic>

namespace {

std::string tousLesOctets()
{
    std::string s;
    for (int i = 0; i < 256; ++i) {
        s += static_cast<char>(i);
    }
    return s;
}

TEST_F(LienTest, EveryByteValueArrivesInOrderOneHandOverEachAfterTheCtsNotification)
{
    ouvrir(LinkRxChar | LinkCts);
    EXPECT_TRUE(lien->threadAlive());
    // All 256 are waiting at once when the monitor reads them.
    pty.envoyer(tousLesOctets());
    ASSERT_TRUE(recevoir(256));
    EXPECT_EQ(journal.octets(), tousLesOctets());

    // Every line event: the CTS notification, then at least one byte.
    ASSERT_FALSE(journal.entrees.empty());
    EXPECT_EQ(journal.entrees.front().message, WM_SERIAL_CTS);
    for (std::size_t i = 0; i + 1 < journal.entrees.size(); ++i) {
        if (journal.entrees[i].message == WM_SERIAL_CTS) {
            EXPECT_EQ(journal.entrees[i + 1].message, WM_SERIAL_RXCHAR) << i;
        }
    }
    EXPECT_EQ(journal.entrees.back().message, WM_SERIAL_RXCHAR);
    for (const auto& e : journal.entrees) {
        EXPECT_EQ(e.port, 1);
    }
    // On the owner's thread, never two at once.
    EXPECT_FALSE(journal.horsDuFil);
    EXPECT_EQ(journal.profondeurMax, 1);
}

TEST(InstantOctet, BytesReadTogetherAreDatedByTheBytesAfterThem)
{
    // 9600 baud: 1041 us a byte. The last of three read at t = 10000 is
    // dated t, the first two bytes' time before.
    EXPECT_EQ(instantOctet(10000, 2, 1041, 0), 7918);
    EXPECT_EQ(instantOctet(10000, 1, 1041, 7918), 8959);
    EXPECT_EQ(instantOctet(10000, 0, 1041, 8959), 10000);
    // Never before the byte before it; no rate known: the read's time.
    EXPECT_EQ(instantOctet(10000, 5, 1041, 9000), 9000);
    EXPECT_EQ(instantOctet(10000, 5, 0, 0), 10000);
}

TEST_F(LienTest, ALateReadIsNoSilenceOfTheLine)
{
    ouvrir(LinkRxChar);
    // 256 bytes written at once: their times never go back, and bytes read
    // together are dated a byte's time apart (1041 us at 9600 baud), the
    // last at the read, so a late read makes no gap the line did not have.
    const std::int64_t avant = instantLien();
    pty.envoyer(tousLesOctets());
    ASSERT_TRUE(recevoir(256));
    ASSERT_EQ(journal.instants.size(), 256u);
    int espacesDUnOctet = 0;
    for (std::size_t i = 1; i < journal.instants.size(); ++i) {
        ASSERT_GE(journal.instants[i], journal.instants[i - 1]) << i;
        espacesDUnOctet += journal.instants[i] - journal.instants[i - 1] == 1041;
    }
    EXPECT_GT(espacesDUnOctet, 0);
    EXPECT_LE(journal.instants.back(), instantLien());
    EXPECT_GE(journal.instants.front(), avant - std::int64_t{256} * 1041);
}

TEST_F(LienTest, LineEventNotificationsComeInTheirOrderBeforeTheBytes)
{
    ouvrir(LinkRxChar | LinkCts | LinkRxFlag | LinkBreak | LinkErr | LinkRing | LinkDsr);
    pty.envoyer("a");
    ASSERT_TRUE(recevoir(1));
    ASSERT_EQ(journal.entrees.size(), 6u);
    const unsigned attendus[] = {WM_SERIAL_CTS,   WM_SERIAL_EVENTCHAR, WM_SERIAL_BREAK,
                                 WM_SERIAL_ERROR, WM_SERIAL_RING,      WM_SERIAL_RXCHAR};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(journal.entrees[i].message, attendus[i]) << i;
    }
    EXPECT_EQ(journal.entrees[5].octet, 'a');

    // The bytes alone without notification flags in the mask.
    journal.entrees.clear();
    ASSERT_TRUE(lien->Configure(&journal, 1, 9600, 'N', 8, 1, LinkRxChar, 512));
    ASSERT_TRUE(lien->StartMonitor());
    pty.envoyer("bc");
    ASSERT_TRUE(recevoir(2));
    EXPECT_EQ(journal.entrees.size(), 2u);
    EXPECT_EQ(journal.octets(), "bc");
}

TEST_F(LienTest, TheReflexAnswersFromTheEnginesThreadWhileTheOwnerIsBusy)
{
    // Runs on the engine's thread; read here once the bytes are handed over.
    std::string vus;
    std::vector<std::int64_t> dates;
    bool horsDuFil = true;
    std::atomic<int> emissions{0};
    const ReflexeLien reflexe{[&](int octet, std::int64_t arrivee, std::string& reponse) {
                                  vus += static_cast<char>(octet);
                                  dates.push_back(arrivee);
                                  horsDuFil =
                                      horsDuFil && QThread::currentThread() !=
                                                       QCoreApplication::instance()->thread();
                                  if (octet == 'S') {
                                      reponse += "R!";
                                  }
                              },
                              [&](std::int64_t) { emissions.fetch_add(1); }};
    ASSERT_TRUE(configurer());
    ASSERT_TRUE(lien->installerReflexe(reflexe));
    ASSERT_TRUE(lien->StartMonitor());

    // This thread runs no event loop until the answer is in: it left from
    // the engine's thread, as soon as the byte was read.
    pty.envoyer("abScd");
    ASSERT_TRUE(pty.recuSansBoucle(2));
    EXPECT_EQ(pty.recu, "R!");

    // The owner then hears of every byte, and of the answer right after the
    // byte that called for it, each byte with the date the reflex gave it.
    ASSERT_TRUE(recevoir(5));
    EXPECT_EQ(vus, "abScd");
    EXPECT_TRUE(horsDuFil);
    EXPECT_EQ(emissions.load(), 1);
    EXPECT_EQ(journal.instants, dates);
    std::string ordre;
    for (const Journal::Entree& e : journal.entrees) {
        if (e.message == WM_SERIAL_RXCHAR) {
            ordre += static_cast<char>(e.octet);
        } else if (e.message == Journal::Repondu) {
            ordre += '>';
            ordre += static_cast<char>(e.octet);
        }
    }
    EXPECT_EQ(ordre, "abS>R>!cd");

    // Queued writes still leave, and count as the line's last emission.
    lien->QueueWrite("q");
    ASSERT_TRUE(lireRobot(3));
    EXPECT_EQ(pty.recu, "R!q");
    EXPECT_TRUE(attendre([&] { return emissions.load() == 2; }));
}

TEST_F(LienTest, QueuedWritesLeaveExactlyAndFirstInFirstOut)
{
    ouvrir();
    lien->QueueWrite("\x81");
    ASSERT_TRUE(lireRobot(1));
    EXPECT_EQ(pty.recu, "\x81");

    // Two commands queued inside one hand-over (a status reply, then a stop)
    // wait together for the monitor: both leave, in order.
    journal.pendant = [&](const Journal::Entree& e) {
        if (e.message == WM_SERIAL_RXCHAR) {
            lien->QueueWrite("\x85");
            lien->QueueWrite("\x80");
        }
    };
    pty.envoyer("s");
    ASSERT_TRUE(lireRobot(3));
    journal.pendant = nullptr;
    lien->QueueWrite("\x8F");
    ASSERT_TRUE(lireRobot(4));
    EXPECT_EQ(pty.recu, "\x81\x85\x80\x8F");
}

TEST_F(LienTest, AQueuedTextKeepsAtMostTheBufferLessOneByte)
{
    ouvrir(LinkRxChar | LinkCts, 4);
    lien->QueueWrite("abcdef");
    lien->QueueWrite("Z");
    ASSERT_TRUE(lireRobot(4));
    EXPECT_EQ(pty.recu, "abcZ");
}

TEST_F(LienTest, WritesBeyondWhatTheDeviceHoldsLeaveWholeAndInOrder)
{
    // The robot reads nothing while far more than the line's buffers hold is
    // queued: the device takes a part, the engine keeps the rest, and what
    // is written later never overtakes what waits. A full device is no
    // failure: the link goes on.
    ouvrir(LinkRxChar | LinkCts, 1024);
    std::string attendu;
    for (int k = 0; k < 400; ++k) {
        std::string bloc(1000, static_cast<char>('A' + k % 26));
        bloc.replace(0, 4, std::to_string(1000 + k));
        lien->QueueWrite(bloc.c_str());
        attendu += bloc;
    }
    ASSERT_TRUE(pty.recuSansBoucle(attendu.size()));
    EXPECT_TRUE(pty.recu == attendu);
    EXPECT_EQ(lien->lossReason(), "");
    lien->QueueWrite("fin");
    ASSERT_TRUE(pty.recuSansBoucle(attendu.size() + 3));
    EXPECT_EQ(pty.recu.substr(attendu.size()), "fin");
}

TEST_F(LienTest, InputThatArrivesWhileACommandIsWrittenIsDelivered)
{
    ouvrir();
    // The robot's next frame is already on the line when the owner answers
    // the status byte: it waits in the input while the command is written.
    constexpr int Trames = 40;
    std::string attendu;
    auto trame = [](int k) {
        std::string t;
        for (int i = 0; i < 10; ++i) {
            t += static_cast<char>((k * 10 + i) & 0xFF);
        }
        return t;
    };
    int statuts = 0;
    journal.pendant = [&](const Journal::Entree& e) {
        if (e.message != WM_SERIAL_RXCHAR || journal.octets().size() % 10 != 9) {
            return;
        }
        const char commande[2] = {static_cast<char>(0x80 | (statuts & 0x3F)), '\0'};
        lien->QueueWrite(commande);
        if (++statuts < Trames) {
            pty.envoyer(trame(statuts));
        }
    };
    for (int k = 0; k < Trames; ++k) {
        attendu += trame(k);
    }
    pty.envoyer(trame(0));
    ASSERT_TRUE(recevoir(10 * static_cast<std::size_t>(Trames)));
    ASSERT_TRUE(lireRobot(Trames));
    EXPECT_EQ(journal.octets(), attendu);
    for (int k = 0; k < Trames; ++k) {
        EXPECT_EQ(static_cast<unsigned char>(pty.recu[static_cast<std::size_t>(k)]), 0x80 | k);
    }
    EXPECT_EQ(pty.recu.size(), static_cast<std::size_t>(Trames));
}

} // namespace
