// The parser after a faulty line: a silence inside a frame starts a new one.
// Arrival times are given, in microseconds: nothing here depends on a clock.
#include "link/protocol/AnalyseurTrame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using protocole::Action;
using protocole::AnalyseurTrame;
using protocole::Evenement;
using protocole::Instant;
using protocole::seuilSilence;

namespace {

constexpr Instant Seuil = 100'000;

/** A byte and the time it arrived. */
struct Octet {
    int valeur;
    Instant t;
};

/** A frame as a robot sends it from `t`: nine bytes together, the battery byte 5 ms later. */
std::vector<Octet> trame(Instant t, int marque, int etat = 0)
{
    std::vector<Octet> o;
    for (int k = 0; k < 8; ++k) {
        o.push_back({marque + k, t});
    }
    o.push_back({etat, t});
    o.push_back({200, t + 5'000});
    return o;
}

/** Frames from t = 0, one every 500 ms, with the marks 10, 20, 30 ... */
std::vector<Octet> ligne(int trames)
{
    std::vector<Octet> o;
    for (int k = 0; k < trames; ++k) {
        const auto f = trame(500'000LL * k, 10 * (k + 1));
        o.insert(o.end(), f.begin(), f.end());
    }
    return o;
}

/** The parser with the threshold; what it made of each byte. */
struct Banc {
    AnalyseurTrame analyseur;
    std::vector<Evenement> evenements;
    /** The first timestamp's low byte of each whole frame read. */
    std::vector<int> marques;

    Banc() { analyseur.reglerSeuilSilence(Seuil); }

    void lire(const std::vector<Octet>& octets)
    {
        for (const Octet& o : octets) {
            const Evenement e = analyseur.recevoir(o.valeur, o.t);
            if (e.action == Action::Position) {
                marques.push_back(analyseur.horodatages()[0] & 0xFF);
            }
            if (e.action == Action::Etat) {
                // The console answers at once.
                analyseur.noterEmission(o.t + 1'000);
            }
            evenements.push_back(e);
        }
    }
};

} // namespace

TEST(SilenceLigne, FourByteTimesWithAFloorOfATenthOfASecond)
{
    EXPECT_EQ(seuilSilence(110), 363'636);
    EXPECT_EQ(seuilSilence(300), 133'333);
    EXPECT_EQ(seuilSilence(400), 100'000);
    for (int baud : {1200, 2400, 4800, 9600, 19200, 38400}) {
        EXPECT_EQ(seuilSilence(baud), 100'000) << baud;
    }
    EXPECT_EQ(seuilSilence(0), 100'000);
    EXPECT_EQ(seuilSilence(-9600), 100'000);
}

TEST(Resynchronisation, ACleanLineIsReadExactlyAsByCountingAlone)
{
    Banc avec;
    avec.lire(ligne(6));
    AnalyseurTrame sans;
    const auto octets = ligne(6);
    for (std::size_t k = 0; k < octets.size(); ++k) {
        const Evenement e = sans.recevoir(octets[k].valeur);
        EXPECT_EQ(e.action, avec.evenements[k].action) << k;
        EXPECT_EQ(avec.evenements[k].ecartes, 0) << k;
    }
    EXPECT_EQ(avec.marques, (std::vector<int>{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(avec.analyseur.resynchronisations(), 0u);
    EXPECT_EQ(avec.analyseur.octetsEcartes(), 0u);
}

TEST(Resynchronisation, ALostByteCostsOneFrame)
{
    // Byte 3 of the second frame is lost: the parser waits for a status
    // byte that never comes (the robot waits for its reply), and the
    // robot's next frame starts a new one.
    auto octets = ligne(4);
    octets.erase(octets.begin() + 13);
    // Without its reply the robot sends its battery byte 2 s later, then
    // its next frames (the third 200 ms after that).
    octets[18].t = 500'000 + 2'000'000;
    for (std::size_t k = 19; k < octets.size(); ++k) {
        octets[k].t += 1'700'000;
    }
    Banc banc;
    banc.lire(octets);
    // The second frame's position was read from the wrong bytes; the next
    // frame's takes it back.
    EXPECT_EQ(banc.marques, (std::vector<int>{10, 20, 30, 40}));
    // No reply was made to the second frame; its eight bytes, then its
    // battery byte, were thrown away.
    int etats = 0;
    for (const Evenement& e : banc.evenements) {
        etats += e.action == Action::Etat ? 1 : 0;
    }
    EXPECT_EQ(etats, 3);
    EXPECT_EQ(banc.analyseur.resynchronisations(), 2u);
    EXPECT_EQ(banc.analyseur.octetsEcartes(), 8u + 1u);
    EXPECT_EQ(banc.evenements[18].ecartes, 8);
    EXPECT_EQ(banc.evenements[19].ecartes, 1);
}

TEST(Resynchronisation, ACutFrameNoiseOrAnExtraByteIsForgottenAtTheNextFrame)
{
    // A robot reset after five bytes of the second frame.
    auto coupee = ligne(3);
    coupee.erase(coupee.begin() + 15, coupee.begin() + 20);
    Banc cut;
    cut.lire(coupee);
    EXPECT_EQ(cut.marques, (std::vector<int>{10, 30}));
    EXPECT_EQ(cut.analyseur.resynchronisations(), 1u);
    EXPECT_EQ(cut.analyseur.octetsEcartes(), 5u);

    // A burst of noise between two frames, and a byte sent twice.
    for (int extra : {7, 1}) {
        auto octets = ligne(3);
        std::vector<Octet> bruit(static_cast<std::size_t>(extra), Octet{0x03, 300'000});
        octets.insert(octets.begin() + 10, bruit.begin(), bruit.end());
        Banc banc;
        banc.lire(octets);
        // The noise reads as the start of a frame; the second frame, after
        // its silence, as a frame of its own.
        EXPECT_EQ(banc.marques, (std::vector<int>{10, 20, 30})) << extra;
        EXPECT_EQ(banc.analyseur.resynchronisations(), 1u) << extra;
        EXPECT_EQ(banc.analyseur.octetsEcartes(), static_cast<std::uint64_t>(extra)) << extra;
    }
}

TEST(Resynchronisation, SilenceCountsFromTheLaterOfTheLastByteAndTheLastReply)
{
    // The robot waits for the reply before its battery byte: a slow console
    // is no silence of the line.
    AnalyseurTrame a;
    a.reglerSeuilSilence(Seuil);
    for (int k = 0; k < 9; ++k) {
        a.recevoir(k, 0);
    }
    a.noterEmission(450'000);
    EXPECT_EQ(a.recevoir(200, 460'000).action, Action::Batterie);
    EXPECT_EQ(a.resynchronisations(), 0u);

    // Exactly the threshold is still the same frame; a microsecond more is not.
    for (Instant ecart : {Seuil, Seuil + 1}) {
        AnalyseurTrame b;
        b.reglerSeuilSilence(Seuil);
        b.recevoir(1, 1'000);
        const Evenement e = b.recevoir(2, 1'000 + ecart);
        EXPECT_EQ(e.ecartes, ecart > Seuil ? 1 : 0);
        EXPECT_EQ(b.rxIndex(), ecart > Seuil ? 1 : 2);
    }
}

TEST(Resynchronisation, WithoutTimesOrThresholdFramesAreCountedOnly)
{
    AnalyseurTrame sansSeuil;
    sansSeuil.recevoir(1, 0);
    sansSeuil.recevoir(2, 60'000'000);
    EXPECT_EQ(sansSeuil.rxIndex(), 2);

    AnalyseurTrame sansTemps;
    sansTemps.reglerSeuilSilence(Seuil);
    sansTemps.recevoir(1, 0);
    sansTemps.recevoir(2);
    sansTemps.recevoir(3, 60'000'000);
    EXPECT_EQ(sansTemps.rxIndex(), 1);
    EXPECT_EQ(sansTemps.resynchronisations(), 1u);

    // A new opening measures no silence from the old one.
    sansTemps.demarrer();
    sansTemps.recevoir(4, 0);
    sansTemps.recevoir(5, 0);
    sansTemps.demarrer();
    EXPECT_EQ(sansTemps.recevoir(6, 900'000'000).ecartes, 0);
}
