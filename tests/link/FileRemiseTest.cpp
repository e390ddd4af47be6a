// The queue between the link's thread and the owner's: bounded, oldest
// first, the count of what went told ahead of what is left, times kept.
#include "link/FileRemise.h"

#include <gtest/gtest.h>

namespace {

using Genre = ArriveeLien::Genre;

ArriveeLien octets(std::uint32_t n, std::int64_t instant, std::uint32_t pas = 10)
{
    return {Genre::Octets, 0x407, instant, n, pas};
}

/** The lot as text: bytes as themselves, an answer as ">X", other entries as a letter. */
std::string decrire(const LotRemise& lot)
{
    std::string s;
    std::size_t o = 0;
    std::size_t r = 0;
    for (const ArriveeLien& a : lot.arrivees) {
        switch (a.genre) {
        case Genre::Octets:
            s += lot.recus.substr(o, a.longueur);
            o += a.longueur;
            break;
        case Genre::Reponse:
            s += ">" + lot.reponses.substr(r, a.longueur);
            r += a.longueur;
            break;
        case Genre::Notification:
            s += "N";
            break;
        case Genre::Ecriture:
            s += "W";
            break;
        case Genre::Perte:
            s += "P";
            break;
        }
    }
    return s;
}

} // namespace

TEST(FileRemise, BeyondTheCapTheOldestGoAndTheirCountComesFirst)
{
    FileRemise file(10);
    file.ajouter({Genre::Notification, 0x402, 900, 0});
    file.ajouter(octets(6, 1000));
    file.ajouterRecus("abcdeS");
    file.ajouter({Genre::Reponse, 0, 1001, 1});
    file.ajouterReponses("R");
    file.ajouter(octets(8, 2000));
    file.ajouterRecus("ghijklmn");

    // 14 bytes: the notification and the four oldest go; the entry they
    // came in keeps its newest bytes, dated from its last one as before.
    EXPECT_EQ(file.borner(), 4u);
    EXPECT_EQ(file.octets(), 10u);
    EXPECT_EQ(file.debordes(), 4u);
    EXPECT_EQ(file.borner(), 0u);

    LotRemise lot;
    file.prendre(lot, 100, 100);
    EXPECT_EQ(lot.debordes, 4u);
    EXPECT_EQ(decrire(lot), "eS>Rghijklmn");
    EXPECT_EQ(lot.arrivees[0].instant, 1000);
    EXPECT_TRUE(file.vide());
    EXPECT_EQ(file.debordes(), 0u);

    // A whole entry dropped takes its answer with it: no answer without its byte.
    file.ajouter(octets(3, 3000));
    file.ajouterRecus("opS");
    file.ajouter({Genre::Reponse, 0, 3001, 2});
    file.ajouterReponses("R1");
    file.ajouter(octets(10, 4000));
    file.ajouterRecus("qrstuvwxyz");
    EXPECT_EQ(file.borner(), 3u);
    file.prendre(lot, 100, 100);
    EXPECT_EQ(decrire(lot), "qrstuvwxyz");
    EXPECT_EQ(lot.reponses, "");
}

TEST(FileRemise, EntriesAreCappedAndALossIsNeverDropped)
{
    // Cap 4 bytes: at most 2 entries.
    FileRemise file(4);
    for (int k = 0; k < 5; ++k) {
        file.ajouter({Genre::Ecriture, 0, k, 0});
    }
    EXPECT_EQ(file.borner(), 0u);
    EXPECT_EQ(file.entrees(), 2u);
    EXPECT_FALSE(file.vide());

    file.vider();
    file.ajouter(octets(6, 100));
    file.ajouterRecus("abcdef");
    file.ajouter({Genre::Perte, 0, 200, 0});
    file.reglerCapacite(1);
    EXPECT_EQ(file.borner(), 6u);
    LotRemise lot;
    file.prendre(lot, 100, 100);
    EXPECT_EQ(lot.debordes, 6u);
    EXPECT_EQ(decrire(lot), "P");
}

TEST(FileRemise, TakingInPiecesKeepsEachBytesTime)
{
    FileRemise file;
    file.ajouter(octets(8, 2000, 10));
    file.ajouterRecus("abcdefgh");
    file.ajouter({Genre::Ecriture, 0, 2005, 0});

    LotRemise lot;
    file.prendre(lot, 3, 100);
    EXPECT_EQ(decrire(lot), "abc");
    // Five bytes came after the third, 10 us each.
    EXPECT_EQ(lot.arrivees[0].instant, 1950);
    EXPECT_EQ(file.octets(), 5u);

    file.prendre(lot, 100, 100);
    EXPECT_EQ(decrire(lot), "defghW");
    EXPECT_EQ(lot.arrivees[0].instant, 2000);

    // At most `entreesMax` entries a time.
    for (int k = 0; k < 5; ++k) {
        file.ajouter({Genre::Notification, 0x402, k, 0});
    }
    file.prendre(lot, 100, 2);
    EXPECT_EQ(decrire(lot), "NN");
    EXPECT_EQ(file.entrees(), 3u);
}

TEST(FileRemise, WhatIsPutBackComesFirstUnlessNewerBytesWentMeanwhile)
{
    FileRemise file(8);
    file.ajouter(octets(4, 100));
    file.ajouterRecus("abcd");
    file.ajouter({Genre::Reponse, 0, 101, 1});
    file.ajouterReponses("R");
    LotRemise lot;
    file.prendre(lot, 100, 100);
    // One byte handed over, then the hand-over stops; more came meanwhile.
    lot.arrivees[0].longueur = 3;
    lot.prochainOctet = 1;
    file.ajouter(octets(2, 200));
    file.ajouterRecus("ef");
    file.remettreEnTete(lot);
    EXPECT_TRUE(lot.fini());
    file.prendre(lot, 100, 100);
    EXPECT_EQ(decrire(lot), "bcd>Ref");

    // Bytes dropped after the lot was taken are newer than what is left of
    // it: that goes too, and the count covers both.
    lot.prochaine = 0;
    lot.prochainOctet = 0;
    lot.prochaineReponse = 0;
    file.ajouter(octets(10, 300));
    file.ajouterRecus("0123456789");
    EXPECT_EQ(file.borner(), 2u);
    file.remettreEnTete(lot);
    file.prendre(lot, 100, 100);
    EXPECT_EQ(lot.debordes, 2u + 5u);
    EXPECT_EQ(decrire(lot), "23456789");
}

TEST(FileRemise, AFloodLeavesTheQueueWithinItsCapAndEveryByteAccountedFor)
{
    // The line's bytes are "1234567890" over and over: a byte's value tells
    // its place, so each byte taken must sit where the count says.
    const std::string motif = "1234567890";
    FileRemise file(1000);
    LotRemise lot;
    std::uint64_t places = 0; // bytes taken or told as dropped so far
    std::uint64_t perdus = 0;
    for (int k = 0; k < 20000; ++k) {
        file.ajouter({Genre::Notification, 0x402, k, 0});
        file.ajouter(octets(9, k));
        file.ajouterRecus("123456789");
        file.ajouter({Genre::Reponse, 0, k, 1});
        file.ajouterReponses("R");
        file.ajouter(octets(1, k));
        file.ajouterRecus("0");
        perdus += file.borner();
        ASSERT_LE(file.octets(), 1000u);
        ASSERT_LE(file.entrees(), 500u);
        // The owner takes a little now and then.
        if (k % 100 == 0) {
            file.prendre(lot, 64, 1024);
            places += lot.debordes;
            for (const char c : lot.recus) {
                ASSERT_EQ(c, motif[places % 10]) << "byte " << places;
                ++places;
            }
        }
    }
    EXPECT_GT(perdus, 150000u);
    EXPECT_EQ(places + file.debordes() + file.octets(), 200000u);
}
