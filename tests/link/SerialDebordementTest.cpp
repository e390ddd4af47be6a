// A line faster than the owner: what waits for the owner's thread is
// bounded (the newest bytes kept, the count of the others told in their
// place), the reflex answers every byte all the same, and one turn of the
// owner's event loop hands over a slice of time's worth, never all.
#include "LinkFixture.h"

#include "link/SerialCourier.h"

#include <chrono>
#include <thread>

TEST_F(LienTest, AFloodWhileTheOwnerIsBusyKeepsTheNewestBytesAndEveryAnswerLeaves)
{
    lien->reglerCapaciteRemise(1000);
    EXPECT_EQ(lien->capaciteRemise(), 1000u);
    const ReflexeLien reflexe{[](int octet, std::int64_t, std::string& reponse) {
                                  if (octet == 'S') {
                                      reponse += 'R';
                                  }
                              },
                              {}};
    ASSERT_TRUE(configurer());
    ASSERT_TRUE(lien->installerReflexe(reflexe));
    ASSERT_TRUE(lien->StartMonitor());

    // 5,000 bytes, a status byte 'S' ending each hundred, while this thread
    // runs no event loop: nothing is handed over meanwhile.
    std::string flot;
    for (int k = 0; k < 5000; ++k) {
        flot += k % 100 == 99 ? 'S' : static_cast<char>('a' + (k * 7) % 26);
    }
    pty.envoyer(flot);
    ASSERT_TRUE(pty.recuSansBoucle(50));
    // A last status byte: answered once the flood's last read is queued.
    pty.envoyer("S");
    ASSERT_TRUE(pty.recuSansBoucle(51));
    EXPECT_EQ(pty.recu, std::string(51, 'R'));

    const std::string envoye = flot + "S";
    ASSERT_TRUE(
        attendre([&] { return journal.octets().size() + journal.debordes == envoye.size(); }));
    // The newest bytes, at most the cap of them (the last byte may have
    // come after the owner's first taking), the count of the others first.
    const std::string recus = journal.octets();
    EXPECT_GE(recus.size(), 1000u);
    EXPECT_LE(recus.size(), 1001u);
    EXPECT_EQ(recus, envoye.substr(envoye.size() - recus.size()));
    ASSERT_FALSE(journal.entrees.empty());
    EXPECT_EQ(journal.entrees[0].message, Journal::Deborde);
    EXPECT_GE(journal.entrees[0].octet, 4000);
    // Each answer handed over follows its status byte; the others went with theirs.
    std::string ordre;
    std::string attendu;
    for (const Journal::Entree& e : journal.entrees) {
        if (e.message == WM_SERIAL_RXCHAR) {
            ordre += static_cast<char>(e.octet);
        } else if (e.message == Journal::Repondu) {
            ordre += '>';
            ordre += static_cast<char>(e.octet);
        }
    }
    for (const char c : recus) {
        attendu += c == 'S' ? std::string("S>R") : std::string(1, c);
    }
    EXPECT_EQ(ordre, attendu);

    // The line goes on: a byte after the flood is handed over at once.
    pty.envoyer("z");
    ASSERT_TRUE(recevoir(recus.size() + 1));
    EXPECT_EQ(journal.octets().back(), 'z');
}

TEST_F(LienTest, OneTurnOfTheEventLoopHandsOverAtMostItsTimeSlice)
{
    ouvrir();
    int recusAuMarqueur = -1;
    bool marquePostee = false;
    journal.pendant = [&](const Journal::Entree& e) {
        if (e.message != WM_SERIAL_RXCHAR || marquePostee) {
            return;
        }
        marquePostee = true;
        // Posted while the first byte is handled: it runs at the loop's next turn.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] { recusAuMarqueur = static_cast<int>(journal.octets().size()); },
            Qt::QueuedConnection);
        // A slow owner: this one byte takes the whole of the turn's slice.
        std::this_thread::sleep_until(std::chrono::steady_clock::now() +
                                      std::chrono::microseconds(CourrierLien::TrancheUs));
    };
    pty.envoyer("abcdef");
    ASSERT_TRUE(recevoir(6));
    EXPECT_EQ(journal.octets(), "abcdef");
    // The other bytes waited for the next turn, behind the event posted meanwhile.
    EXPECT_EQ(recusAuMarqueur, 1);
}
