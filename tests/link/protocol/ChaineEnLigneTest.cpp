// The chain on the link's thread and the outcomes it keeps for the display:
// bounded, oldest first, each taken by its byte's number so that bytes
// dropped on either side never pair a byte with another's outcome.
#include "link/trame/ChaineEnLigne.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using protocole::Action;
using protocole::ChaineEnLigne;
using protocole::ChaineTrames;
using protocole::Etape;
using protocole::InstantInconnu;

/** Byte `i` of frame `k`: timestamps, a status byte 0, the battery byte k % 256. */
int octetTrame(std::uint64_t k, int i)
{
    return i == 9 ? static_cast<int>(k % 256) : i == 8 ? 0 : 0x40 + i;
}

/** A reading alone: no world, no estimate; frames found by counting. */
ChaineEnLigne chaine(std::size_t capacite)
{
    return ChaineEnLigne(ChaineTrames::Branchements{{}, false, {}}, 0, capacite);
}

/** `trames` frames through the chain; `lus` counts the bytes it has seen. */
void envoyer(ChaineEnLigne& c, std::uint64_t trames, std::atomic<std::uint64_t>* lus = nullptr)
{
    std::string reponse;
    for (std::uint64_t k = 0; k < trames; ++k) {
        for (int i = 0; i < 10; ++i) {
            c.recevoir(octetTrame(k, i), InstantInconnu, reponse);
            if (lus != nullptr) {
                lus->fetch_add(1, std::memory_order_release);
                lus->notify_one();
            }
        }
    }
}

} // namespace

TEST(ChaineEnLigne, TheOldestOutcomesGoBeyondTheCapacityAndEachIsTakenByItsNumber)
{
    ChaineEnLigne c = chaine(16);
    envoyer(c, 4);
    // 40 outcomes, the newest 16 kept (bytes 24 .. 39).
    EXPECT_EQ(c.perdues(), 24u);
    EXPECT_EQ(c.prendre(0).evenement.action, Action::Aucune);
    // Bytes 24 .. 28 the link dropped: skipped; 29 is frame 2's battery.
    Etape e = c.prendre(29);
    EXPECT_EQ(e.evenement.action, Action::Batterie);
    EXPECT_EQ(e.evenement.batterie, 2);
    EXPECT_EQ(c.prendre(37).evenement.action, Action::Position);
    EXPECT_EQ(c.prendre(38).evenement.action, Action::Etat);
    e = c.prendre(39);
    EXPECT_EQ(e.evenement.action, Action::Batterie);
    EXPECT_EQ(e.evenement.batterie, 3);
    // Taken already: nothing twice.
    EXPECT_EQ(c.prendre(39).evenement.action, Action::Aucune);
}

TEST(ChaineEnLigne, ADisplayFarBehindNeverGetsAnotherBytesOutcome)
{
    // The link's thread reads 20,000 frames while the display takes every
    // byte it has read, now close behind, now far behind (outcomes then
    // go): each outcome taken is its own byte's.
    ChaineEnLigne c = chaine(64);
    constexpr std::uint64_t Octets = 200000;
    std::atomic<std::uint64_t> lus{0};
    std::thread lien([&] { envoyer(c, Octets / 10, &lus); });
    auto attendreLus = [&](std::uint64_t n) {
        for (std::uint64_t v = lus.load(std::memory_order_acquire); v < n;
             v = lus.load(std::memory_order_acquire)) {
            lus.wait(v, std::memory_order_acquire);
        }
    };
    std::uint64_t batteries = 0;
    auto prendre = [&](std::uint64_t n) {
        const Etape e = c.prendre(n);
        if (e.evenement.action == Action::Aucune) {
            return;
        }
        const Action attendue = n % 10 == 7   ? Action::Position
                                : n % 10 == 8 ? Action::Etat
                                : n % 10 == 9 ? Action::Batterie
                                              : Action::Aucune;
        ASSERT_EQ(e.evenement.action, attendue) << "byte " << n;
        if (attendue == Action::Batterie) {
            ASSERT_EQ(e.evenement.batterie, static_cast<int>((n / 10) % 256)) << "byte " << n;
            ++batteries;
        }
    };
    constexpr std::uint64_t Fin = Octets - 60;
    for (std::uint64_t n = 0; n < Fin; ++n) {
        // Every thousandth byte, the display falls more than the capacity behind.
        attendreLus(n % 1000 == 0 ? std::min(n + 200, Fin) : n + 1);
        prendre(n);
    }
    lien.join();
    const std::uint64_t avant = batteries;
    for (std::uint64_t n = Fin; n < Octets; ++n) {
        prendre(n);
    }
    EXPECT_GT(c.perdues(), 0u);
    // The last 60 bytes were still there: their six battery bytes.
    EXPECT_EQ(batteries - avant, 6u);
}
