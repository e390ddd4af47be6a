// The sensor-frame parser alone: states, timestamps, the events it yields,
// the estimator's calls, the traces.
#include "link/protocol/AnalyseurTrame.h"
#include "core/scripted/ScriptedPlatform.h"
#include "link/trame/ChaineTrames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using protocole::Action;
using protocole::AnalyseurTrame;
using protocole::Estimation;
using protocole::Evenement;

namespace {

ScriptedPlatform& scripted()
{
    return static_cast<ScriptedPlatform&>(platform());
}

/**
 * The parser in the chain the console runs, without the world: an estimator
 * that records its inputs and answers with `reponse`.
 */
struct Banc {
    std::vector<std::vector<double>> appels;
    Estimation reponse{true, 162.5, 112.25};
    protocole::ChaineTrames chaine{{[this](double a, double b, double c) {
                                        appels.push_back({a, b, c});
                                        return reponse;
                                    },
                                    false,
                                    {}}};
    const AnalyseurTrame& analyseur = chaine.analyseur();
    /** The estimate of each byte's step. */
    std::vector<Estimation> estimations;

    std::vector<Evenement> octets(const std::vector<int>& liste)
    {
        std::vector<Evenement> evenements;
        for (int o : liste) {
            const protocole::Etape etape = chaine.recevoir(o);
            evenements.push_back(etape.evenement);
            estimations.push_back(etape.estimation);
        }
        return evenements;
    }
};

/** The ten bytes of a frame with timestamps t, a status and a battery byte. */
std::vector<int> trame(const std::int16_t (&t)[4], int etat, int batterie)
{
    std::vector<int> octets;
    for (std::int16_t v : t) {
        const auto u = static_cast<std::uint16_t>(v);
        octets.push_back(u & 0xFF);
        octets.push_back(u >> 8);
    }
    octets.push_back(etat);
    octets.push_back(batterie);
    return octets;
}

class AnalyseurTest : public ::testing::Test {
protected:
    void SetUp() override { scripted().clear(); }
};

} // namespace

TEST_F(AnalyseurTest, OneFrameStateByStateAndItsEvents)
{
    Banc banc;
    const std::vector<int> octets = trame({1000, 1000, -5, -5}, 0x03, 230);
    // State and index after each byte, and the action it yields.
    struct Pas {
        int etat;
        int index;
        Action action;
    };
    const Pas attendus[10] = {
        {2, 1, Action::Aucune},   {2, 2, Action::Aucune},   {2, 3, Action::Aucune},
        {2, 4, Action::Aucune},   {2, 5, Action::Aucune},   {2, 6, Action::Aucune},
        {2, 7, Action::Aucune},   {3, 0, Action::Position}, {4, 0, Action::Etat},
        {2, 0, Action::Batterie},
    };
    for (int k = 0; k < 10; ++k) {
        const Evenement e = banc.octets({octets[k]}).front();
        EXPECT_EQ(e.action, attendus[k].action) << "byte " << k;
        EXPECT_EQ(banc.analyseur.rxState(), attendus[k].etat) << "byte " << k;
        EXPECT_EQ(banc.analyseur.rxIndex(), attendus[k].index) << "byte " << k;
        if (k == 7) {
            EXPECT_TRUE(banc.estimations.back().valide);
            EXPECT_EQ(banc.estimations.back().sortie0, 162.5);
            EXPECT_EQ(banc.estimations.back().sortie1, 112.25);
            EXPECT_EQ(e.horodatages[0], 1000);
            EXPECT_EQ(e.horodatages[3], -5);
            EXPECT_EQ(e.intervalles[0], 0.1638395f);
        }
        if (k == 8) {
            EXPECT_EQ(e.bit0, 1);
            EXPECT_EQ(e.bit1, 1);
        }
        if (k == 9) {
            EXPECT_EQ(e.batterie, 230);
        }
    }
    // T1 = T2: 65535 ticks, folded by four turns; the estimator gets the
    // intervals widened to doubles, once.
    EXPECT_EQ(banc.analyseur.intervalles()[0], 0.1638395f);
    ASSERT_EQ(banc.appels.size(), 1u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(banc.appels[0][k], static_cast<double>(banc.analyseur.intervalles()[k]));
    }
}

TEST_F(AnalyseurTest, TimestampsAreSignedLittleEndianWords)
{
    Banc banc;
    banc.octets({0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F, 0xFF, 0xFF});
    const std::int16_t* t = banc.analyseur.horodatages();
    EXPECT_EQ(t[0], 0x1234);
    EXPECT_EQ(t[1], -32768);
    EXPECT_EQ(t[2], 32767);
    EXPECT_EQ(t[3], -1);
    // Only the low 8 bits of what the link hands over count.
    Banc haut;
    haut.octets({0x134, 0x212, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(haut.analyseur.horodatages()[0], 0x1234);
}

TEST_F(AnalyseurTest, StatusBitsZeroAndOneOnly)
{
    struct Cas {
        int octet;
        int bit0;
        int bit1;
    };
    for (const Cas& c : {Cas{0x00, 0, 0}, Cas{0x01, 1, 0}, Cas{0x02, 0, 1}, Cas{0x03, 1, 1},
                         Cas{0x04, 0, 0}, Cas{0xFC, 0, 0}, Cas{0xFE, 0, 1}, Cas{0xFF, 1, 1}}) {
        Banc banc;
        const auto e = banc.octets(trame({0, 0, 0, 0}, c.octet, 0));
        EXPECT_EQ(e[8].action, Action::Etat) << c.octet;
        EXPECT_EQ(e[8].bit0, c.bit0) << c.octet;
        EXPECT_EQ(e[8].bit1, c.bit1) << c.octet;
    }
}

TEST_F(AnalyseurTest, AfterTheBatteryTheNextByteIsTimestampByteZero)
{
    Banc banc;
    // Every value the next frame's bytes take, including status-like ones.
    for (int premier : {0x00, 0x03, 0x80, 0xFF}) {
        banc.octets(trame({1, 2, 3, 4}, 0, 255));
        const auto e = banc.octets(trame({static_cast<std::int16_t>(premier), 7, 7, 7}, 1, 9));
        EXPECT_EQ(banc.analyseur.horodatages()[0], premier);
        EXPECT_EQ(e[7].action, Action::Position);
        EXPECT_EQ(e[8].action, Action::Etat);
        EXPECT_EQ(e[9].action, Action::Batterie);
        EXPECT_EQ(e[9].batterie, 9);
    }
    EXPECT_EQ(banc.appels.size(), 8u);
}

TEST_F(AnalyseurTest, StartingOverDropsAHalfReadFrame)
{
    Banc banc;
    banc.octets({1, 2, 3, 4, 5});
    banc.chaine.demarrer(0);
    EXPECT_EQ(banc.analyseur.rxState(), 2);
    EXPECT_EQ(banc.analyseur.rxIndex(), 0);
    const auto e = banc.octets(trame({10, 20, 30, 40}, 0, 0));
    EXPECT_EQ(banc.analyseur.horodatages()[0], 10);
    EXPECT_EQ(e[7].action, Action::Position);

    // In the middle of the status and battery bytes too.
    banc.octets({1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_EQ(banc.analyseur.rxState(), 3);
    banc.chaine.demarrer(0);
    EXPECT_EQ(banc.octets(trame({1, 1, 1, 1}, 0, 0))[7].action, Action::Position);
}

TEST_F(AnalyseurTest, NoEstimatorOrARefusalGivesNoEstimate)
{
    protocole::ChaineTrames sans({{}, false, {}});
    protocole::Etape e;
    for (int o : trame({0, 0, 0, 0}, 0, 0)) {
        const protocole::Etape r = sans.recevoir(o);
        if (r.evenement.action == Action::Position) {
            e = r;
        }
    }
    EXPECT_EQ(e.evenement.action, Action::Position);
    EXPECT_FALSE(e.estimation.valide);

    Banc refus;
    refus.reponse = Estimation{};
    refus.octets(trame({0, 0, 0, 0}, 0, 0));
    EXPECT_FALSE(refus.estimations[7].valide);
    EXPECT_EQ(refus.appels.size(), 1u);
}

TEST_F(AnalyseurTest, OneTraceLinePerFrameEvent)
{
    Banc banc;
    banc.reponse = Estimation{true, 162.5, std::nan("")};
    banc.octets(trame({1000, 1000, 1000, 1000}, 0x06, 115));
    Banc refus;
    refus.reponse = Estimation{};
    refus.octets(trame({0, 0, 0, 0}, 0, 0));
    std::vector<std::string> lignes;
    for (const auto& t : scripted().traces()) {
        EXPECT_EQ(t.channel, TraceChannel::Protocol);
        lignes.push_back(t.line);
    }
    // Long lines are cut in two literals.
    // NOLINTNEXTLINE(bugprone-suspicious-missing-comma)
    EXPECT_EQ(lignes, (std::vector<std::string>{
                          "frame: stamps 1000 1000 1000 1000, intervals 0.1638395 0.1638395 "
                          "0.1638395, outputs 162.5 nan",
                          "status 0x06: bumpers 0 1",
                          "battery 115",
                          "frame: stamps 0 0 0 0, intervals 0.1638395 0.1638395 0.1638395, "
                          "no estimate",
                          "status 0x00: bumpers 0 0",
                          "battery 0",
                      }));
}
