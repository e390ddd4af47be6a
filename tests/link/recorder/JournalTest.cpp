// The session log: what is written reads back exactly, a log cut at any
// byte reads up to its last whole record, damage stops the reader, and the
// log folder keeps under its cap by deleting the oldest logs first.
#include "link/recorder/DossierJournaux.h"
#include "link/recorder/EcrivainJournal.h"
#include "link/recorder/Enregistreur.h"
#include "link/recorder/LecteurJournal.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace journal;
namespace fs = std::filesystem;

std::string contenu(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

struct Attendu {
    std::uint64_t temps;
    Genre genre;
    std::string charge;
};

/** Reads every record of `octets`; the result that ended the reading. */
Lecture toutLire(const std::string& octets, std::vector<Attendu>& lus)
{
    std::istringstream entree(octets);
    LecteurJournal lecteur(entree);
    if (!lecteur.lireEntete()) {
        return Lecture::Corrompu;
    }
    Enregistrement e;
    Lecture r;
    while ((r = lecteur.suivant(e)) == Lecture::Enregistrement) {
        lus.push_back({e.tempsUs, e.genre, std::string(e.texte())});
    }
    EXPECT_EQ(lecteur.suivant(e), r) << "a stopped reader stays stopped";
    return r;
}

class JournalTest : public ::testing::Test {
protected:
    kiv_test::RepertoireTemporaire dossier;
};

} // namespace

TEST_F(JournalTest, RecordsReadBackAndACutLogReadsUpToItsLastWholeRecord)
{
    const std::string chemin = dossier / "a.kivlog";
    const std::vector<Attendu> ecrits = {{0, Genre::Lien, "ouvert COM1 9600 bauds 8N1"},
                                         {10, Genre::Recu, std::string("\x00\xFF", 2)},
                                         {10, Genre::Emis, "\x80"},
                                         {2500000, Genre::Navigation, ""},
                                         {2500001, Genre::Recu, std::string(300, 'z')}};
    {
        EcrivainJournal ecrivain;
        ASSERT_TRUE(ecrivain.ouvrir(chemin, 1765139916000000));
        for (const Attendu& a : ecrits) {
            ASSERT_TRUE(ecrivain.ecrire(a.genre, a.temps, a.charge));
        }
        // Never over an existing log.
        EcrivainJournal second;
        EXPECT_FALSE(second.ouvrir(chemin, 0));
        EXPECT_EQ(second.codeErreur(), EEXIST);
    }
    const std::string octets = contenu(chemin);
    ASSERT_EQ(octets.substr(0, 8), std::string("KIVLOG\x04\x00", 8));

    std::vector<std::size_t> fins = {TailleEntete};
    for (const Attendu& a : ecrits) {
        fins.push_back(fins.back() + TailleEnteteEnregistrement + a.charge.size());
    }
    ASSERT_EQ(octets.size(), fins.back());

    for (std::size_t coupe = 0; coupe <= octets.size(); ++coupe) {
        std::vector<Attendu> lus;
        const Lecture r = toutLire(octets.substr(0, coupe), lus);
        if (coupe < TailleEntete) {
            EXPECT_EQ(r, Lecture::Corrompu);
            continue;
        }
        const auto entiers = static_cast<std::size_t>(
            std::upper_bound(fins.begin(), fins.end(), coupe) - fins.begin() - 1);
        ASSERT_EQ(lus.size(), entiers) << "cut at " << coupe;
        EXPECT_EQ(r, fins[entiers] == coupe ? Lecture::Fin : Lecture::Tronque) << coupe;
        for (std::size_t k = 0; k < lus.size(); ++k) {
            EXPECT_EQ(lus[k].temps, ecrits[k].temps);
            EXPECT_EQ(lus[k].genre, ecrits[k].genre);
            EXPECT_EQ(lus[k].charge, ecrits[k].charge);
        }
    }
}

TEST_F(JournalTest, DamageStopsTheReader)
{
    std::string entete(TailleEntete, '\0');
    encoderEntete(reinterpret_cast<std::uint8_t*>(entete.data()), 42);
    const auto enregistrement = [](std::uint64_t temps, std::uint8_t genre, std::uint16_t n) {
        std::string e(TailleEnteteEnregistrement, '\0');
        encoderEnregistrement(reinterpret_cast<std::uint8_t*>(e.data()), temps,
                              static_cast<Genre>(genre), n);
        return e;
    };
    std::vector<Attendu> lus;
    // A zero-filled tail (what a crash may leave) is no record.
    EXPECT_EQ(toutLire(entete + enregistrement(5, 1, 1) + "a" + std::string(40, '\0'), lus),
              Lecture::Corrompu);
    EXPECT_EQ(lus.size(), 1u);
    lus.clear();
    EXPECT_EQ(toutLire(entete + enregistrement(5, 1, 0) + enregistrement(4, 1, 0), lus),
              Lecture::Corrompu);
    EXPECT_EQ(lus.size(), 1u) << "time may not go back";
    lus.clear();
    // A year into the session is damage: a replay would wait for it for ever.
    std::istringstream loin(entete + enregistrement(DureeSessionMaxUs, 1, 0) +
                            enregistrement(DureeSessionMaxUs + 1, 1, 0));
    LecteurJournal lointain(loin);
    ASSERT_TRUE(lointain.lireEntete());
    Enregistrement dernier;
    EXPECT_EQ(lointain.suivant(dernier), Lecture::Enregistrement);
    EXPECT_EQ(lointain.suivant(dernier), Lecture::Corrompu);
    EXPECT_EQ(lointain.erreur(), "temps d'enregistrement invraisemblable : 31622400 s");

    // A declared 65535 bytes with three present: only those three are held.
    std::istringstream court(entete + enregistrement(1, 2, 0xFFFF) + "abc");
    LecteurJournal lecteur(court);
    ASSERT_TRUE(lecteur.lireEntete());
    EXPECT_EQ(lecteur.debutUnixUs(), 42);
    Enregistrement e;
    EXPECT_EQ(lecteur.suivant(e), Lecture::Tronque);
    EXPECT_LE(e.charge.capacity(), 4096u);

    std::string version = entete;
    version[6] = 5;
    EXPECT_EQ(toutLire(version, lus), Lecture::Corrompu);
    std::istringstream autre("KIVLOX" + entete.substr(6));
    LecteurJournal etranger(autre);
    EXPECT_FALSE(etranger.lireEntete());
    EXPECT_EQ(etranger.erreur(), "ce fichier n'est pas un journal du robot");
}

TEST_F(JournalTest, MapRecordsReadInVersionTwoOnlyWithTheirSizesAndAVersionOneLogStillReads)
{
    const auto enregistrement = [](std::uint64_t temps, Genre genre, const std::string& charge) {
        std::string e(TailleEnteteEnregistrement, '\0');
        encoderEnregistrement(reinterpret_cast<std::uint8_t*>(e.data()), temps, genre,
                              charge.size());
        return e + charge;
    };
    const auto entete = [](std::uint16_t version) {
        std::string e(TailleEntete, '\0');
        encoderEntete(reinterpret_cast<std::uint8_t*>(e.data()), 7, version);
        return e;
    };
    // A version-1 log as the console wrote it before the map records.
    std::vector<Attendu> lus;
    const std::string v1 = entete(1) + enregistrement(0, Genre::Lien, "ouvert COM1") +
                           enregistrement(3, Genre::Recu, "\x05");
    ASSERT_EQ(v1.substr(6, 2), std::string("\x01\x00", 2));
    EXPECT_EQ(toutLire(v1, lus), Lecture::Fin);
    ASSERT_EQ(lus.size(), 2u);
    EXPECT_EQ(lus[1].charge, "\x05");
    // ... where a map record is damage.
    lus.clear();
    EXPECT_EQ(toutLire(v1 + enregistrement(4, Genre::Carte, std::string("\x01\x02\x03")), lus),
              Lecture::Corrompu);
    EXPECT_EQ(lus.size(), 2u);

    // The recorder writes them in its version, in order, at their times.
    std::uint64_t stable = 0;
    Enregistreur session({dossier / "journaux", 100000, 0},
                         {[&stable] { return stable; }, [] { return std::int64_t{0}; }});
    session.lien("ouvert COM1");
    stable = 20;
    session.destination(500, 37);
    stable = 30;
    session.edition(EditionCarte::Trouvee, 19, 4);
    session.edition(EditionCarte::Retiree, 0, 19);
    lus.clear();
    EXPECT_EQ(toutLire(contenu(session.chemin()), lus), Lecture::Fin);
    ASSERT_EQ(lus.size(), 4u);
    EXPECT_EQ(lus[1].temps, 20u);
    EXPECT_EQ(lus[1].genre, Genre::Destination);
    EXPECT_EQ(lus[1].charge, std::string("\xF4\x01\x25\x00", 4));
    EXPECT_EQ(lus[2].genre, Genre::Carte);
    EXPECT_EQ(lus[2].charge, std::string("\x03\x13\x04", 3));
    EXPECT_EQ(lus[3].charge, std::string("\x04\x00\x13", 3));

    // A calibration point: every value back to the bit; one not finite, off
    // the field or of no frame is damage.
    PointCalibre point{130.0, 370.25, {0.15012345678901, 0.1512, 0.1499}, 20, 0.42};
    session.calibration(point);
    lus.clear();
    EXPECT_EQ(toutLire(contenu(session.chemin()), lus), Lecture::Fin);
    ASSERT_EQ(lus.size(), 5u);
    EXPECT_EQ(lus[4].genre, Genre::Calibration);
    PointCalibre relu;
    ASSERT_TRUE(decoderCalibration(reinterpret_cast<const std::uint8_t*>(lus[4].charge.data()),
                                   lus[4].charge.size(), relu));
    EXPECT_EQ(relu.x, 130.0);
    EXPECT_EQ(relu.y, 370.25);
    EXPECT_EQ(relu.intervalles[0], 0.15012345678901);
    EXPECT_EQ(relu.trames, 20u);
    EXPECT_EQ(relu.dispersionCm, 0.42);
    for (const PointCalibre& mauvais : {PointCalibre{501.0, 0.0, {0.15, 0.15, 0.15}, 20, 0.0},
                                        PointCalibre{0.0, 0.0, {0.15, std::nan(""), 0.15}, 20, 0.0},
                                        PointCalibre{0.0, 0.0, {0.15, 0.15, 0.15}, 0, 0.0},
                                        PointCalibre{0.0, 0.0, {0.15, 0.15, 0.15}, 1, -1.0}}) {
        std::uint8_t charge[TailleCalibration];
        encoderCalibration(charge, mauvais);
        EXPECT_FALSE(decoderCalibration(charge, sizeof charge, relu));
    }

    // Sizes, kinds and cells out of the field stop the reader with the reason.
    const std::string v2 = entete(2);
    const std::vector<std::pair<std::string, std::string>> abimes = {
        {enregistrement(1, Genre::Destination, std::string("\x01\x00\x02", 3)),
         "destination invalide (3 octets)"},
        {enregistrement(1, Genre::Destination, std::string("\xF5\x01\x00\x00", 4)),
         "destination invalide (4 octets)"},
        {enregistrement(1, Genre::Carte, std::string("\x01\x02", 2)),
         "modification de carte invalide (2 octets)"},
        {enregistrement(1, Genre::Carte, std::string("\x05\x02\x02", 3)),
         "modification de carte invalide (3 octets)"},
        {enregistrement(1, Genre::Carte, std::string("\x01\x14\x02", 3)),
         "modification de carte invalide (3 octets)"},
        {enregistrement(1, Genre::Calibration, std::string(51, '\0')),
         "point de calibration invalide (51 octets)"},
        {enregistrement(1, static_cast<Genre>(8), ""), "enregistrement de genre inconnu : 8"}};
    const std::string premier =
        v2 + enregistrement(0, Genre::Carte, std::string("\x02\x00\x00", 3));
    for (const auto& [abime, raison] : abimes) {
        std::istringstream entree(premier + abime);
        LecteurJournal lecteur(entree);
        ASSERT_TRUE(lecteur.lireEntete());
        EXPECT_EQ(lecteur.version(), 2);
        Enregistrement e;
        EXPECT_EQ(lecteur.suivant(e), Lecture::Enregistrement);
        EXPECT_EQ(lecteur.suivant(e), Lecture::Corrompu);
        EXPECT_EQ(lecteur.erreur(), raison);
    }
}

TEST_F(JournalTest, CalibrationListEditsAreVersionThreeRecordsCheckedLikeTheMapRecords)
{
    const auto enregistrement = [](std::uint64_t temps, Genre genre, const std::string& charge) {
        std::string e(TailleEnteteEnregistrement, '\0');
        encoderEnregistrement(reinterpret_cast<std::uint8_t*>(e.data()), temps, genre,
                              charge.size());
        return e + charge;
    };
    const auto entete = [](std::uint16_t version) {
        std::string e(TailleEntete, '\0');
        encoderEntete(reinterpret_cast<std::uint8_t*>(e.data()), 7, version);
        return e;
    };

    // Written by the recorder: u8 operation, u32 index, u32 size, little-endian.
    std::uint64_t stable = 0;
    Enregistreur session({dossier / "journaux", 100000, 0},
                         {[&stable] { return stable; }, [] { return std::int64_t{0}; }});
    session.lien("ouvert COM1");
    stable = 40;
    session.listeCalibration({OperationListe::Retrait, 2, 0x105});
    session.listeCalibration({OperationListe::Vidage, 0, 3});
    std::vector<Attendu> lus;
    EXPECT_EQ(toutLire(contenu(session.chemin()), lus), Lecture::Fin);
    ASSERT_EQ(lus.size(), 3u);
    EXPECT_EQ(lus[1].temps, 40u);
    EXPECT_EQ(lus[1].genre, Genre::ListeCalibration);
    EXPECT_EQ(lus[1].charge, std::string("\x01\x02\x00\x00\x00\x05\x01\x00\x00", 9));
    EXPECT_EQ(lus[2].charge, std::string("\x02\x00\x00\x00\x00\x03\x00\x00\x00", 9));
    EditionListe relue;
    ASSERT_TRUE(decoderListeCalibration(reinterpret_cast<const std::uint8_t*>(lus[1].charge.data()),
                                        lus[1].charge.size(), relue));
    EXPECT_EQ(relue.operation, OperationListe::Retrait);
    EXPECT_EQ(relue.indice, 2u);
    EXPECT_EQ(relue.taille, 0x105u);

    // A point that is not in the list, an emptying that names a point, an
    // empty list, an unknown operation, another size: damage, with the reason.
    const std::string abime = "modification de la liste de calibration invalide (";
    const std::vector<std::pair<std::string, std::string>> abimes = {
        {std::string("\x01\x05\x00\x00\x00\x05\x00\x00\x00", 9), abime + "9 octets)"},
        {std::string("\x02\x01\x00\x00\x00\x05\x00\x00\x00", 9), abime + "9 octets)"},
        {std::string("\x02\x00\x00\x00\x00\x00\x00\x00\x00", 9), abime + "9 octets)"},
        {std::string("\x03\x00\x00\x00\x00\x05\x00\x00\x00", 9), abime + "9 octets)"},
        {std::string("\x01\x00\x00\x00\x00\x05\x00\x00", 8), abime + "8 octets)"},
        {std::string("\x02\x00\x00\x00\x00\x05\x00\x00\x00\x00", 10), abime + "10 octets)"}};
    for (const auto& [charge, raison] : abimes) {
        lus.clear();
        EXPECT_EQ(toutLire(entete(3) + enregistrement(0, Genre::Lien, "ouvert COM1") +
                               enregistrement(1, Genre::ListeCalibration, charge),
                           lus),
                  Lecture::Corrompu);
        EXPECT_EQ(lus.size(), 1u);
        std::istringstream entree(entete(3) + enregistrement(1, Genre::ListeCalibration, charge));
        LecteurJournal lecteur(entree);
        ASSERT_TRUE(lecteur.lireEntete());
        Enregistrement e;
        EXPECT_EQ(lecteur.suivant(e), Lecture::Corrompu);
        EXPECT_EQ(lecteur.erreur(), raison);
    }
    // A version-2 log holds no such record.
    std::istringstream v2(entete(2) + enregistrement(1, Genre::ListeCalibration,
                                                     std::string("\x02\0\0\0\0\x01\0\0\0", 9)));
    LecteurJournal lecteur(v2);
    ASSERT_TRUE(lecteur.lireEntete());
    Enregistrement e;
    EXPECT_EQ(lecteur.suivant(e), Lecture::Corrompu);
    EXPECT_EQ(lecteur.erreur(), "enregistrement de genre inconnu : 9");
}

TEST_F(JournalTest, PositionsOfTheFilterAreVersionFourRecordsOfEightBytes)
{
    const auto enregistrement = [](std::uint64_t temps, Genre genre, const std::string& charge) {
        std::string e(TailleEnteteEnregistrement, '\0');
        encoderEnregistrement(reinterpret_cast<std::uint8_t*>(e.data()), temps, genre,
                              charge.size());
        return e + charge;
    };
    const auto entete = [](std::uint16_t version) {
        std::string e(TailleEntete, '\0');
        encoderEntete(reinterpret_cast<std::uint8_t*>(e.data()), 7, version);
        return e;
    };
    std::uint64_t stable = 0;
    Enregistreur session({dossier / "journaux", 100000, 0},
                         {[&stable] { return stable; }, [] { return std::int64_t{0}; }});
    session.lien("ouvert COM1");
    stable = 50;
    session.position({499, 0, 137, 262});
    std::vector<Attendu> lus;
    EXPECT_EQ(toutLire(contenu(session.chemin()), lus), Lecture::Fin);
    ASSERT_EQ(lus.size(), 2u);
    EXPECT_EQ(lus[1].genre, Genre::Position);
    EXPECT_EQ(lus[1].charge, std::string("\xF3\x01\x00\x00\x89\x00\x06\x01", 8));
    PositionFiltree relue;
    ASSERT_TRUE(decoderPosition(reinterpret_cast<const std::uint8_t*>(lus[1].charge.data()),
                                lus[1].charge.size(), relue));
    EXPECT_EQ(relue, (PositionFiltree{499, 0, 137, 262}));

    // Off the field, another size, or in a version-3 log: damage, with the reason.
    for (const auto& [version, charge, raison] :
         std::vector<std::tuple<int, std::string, std::string>>{
             {4, std::string("\xF5\x01\0\0\0\0\0\0", 8), "position invalide (8 octets)"},
             {4, std::string(7, '\0'), "position invalide (7 octets)"},
             {3, std::string(8, '\0'), "enregistrement de genre inconnu : 10"}}) {
        std::istringstream entree(entete(static_cast<std::uint16_t>(version)) +
                                  enregistrement(1, Genre::Position, charge));
        LecteurJournal lecteur(entree);
        ASSERT_TRUE(lecteur.lireEntete());
        Enregistrement e;
        EXPECT_EQ(lecteur.suivant(e), Lecture::Corrompu);
        EXPECT_EQ(lecteur.erreur(), raison);
    }
}

TEST_F(JournalTest, LongWritesAreSplitIntoRecords)
{
    const std::string chemin = dossier / "long.kivlog";
    const std::string grand(ChargeMax + 10, 'q');
    {
        EcrivainJournal ecrivain;
        ASSERT_TRUE(ecrivain.ouvrir(chemin, 0));
        ASSERT_TRUE(ecrivain.ecrire(
            Genre::Recu, 7, reinterpret_cast<const std::uint8_t*>(grand.data()), grand.size()));
        EXPECT_EQ(ecrivain.taille(), TailleEntete + 2 * TailleEnteteEnregistrement + grand.size());
    }
    std::vector<Attendu> lus;
    EXPECT_EQ(toutLire(contenu(chemin), lus), Lecture::Fin);
    ASSERT_EQ(lus.size(), 2u);
    EXPECT_EQ(lus[0].charge.size(), ChargeMax);
    EXPECT_EQ(lus[0].charge + lus[1].charge, grand);
}

TEST_F(JournalTest, TheFolderKeepsUnderItsCapOldestFirst)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(dossier::nomJournal(1765139916123456), "kiv-2025-12-07_20-38-36.kivlog");
    EXPECT_EQ(dossier::nomJournal(0, 2), "kiv-1970-01-01_00-00-00_2.kivlog");
    EXPECT_TRUE(dossier::estNomJournal("kiv-1970-01-01_00-00-00_2.kivlog"));
    EXPECT_FALSE(dossier::estNomJournal("notes.kivlog"));
    EXPECT_FALSE(dossier::estNomJournal("kiv-1970-01-01_00-00-00.txt"));

    const auto fichier = [this](const std::string& nom, std::size_t taille) {
        std::ofstream(dossier / nom, std::ios::binary) << std::string(taille, 'x');
    };
    fichier("kiv-2026-01-02_10-00-00.kivlog", 100);
    fichier("kiv-2026-01-01_10-00-00_2.kivlog", 100);
    fichier("kiv-2026-01-01_10-00-00.kivlog", 100);
    fichier("kiv-2026-01-03_10-00-00.kivlog", 100);
    fichier("autre.bin", 5000);
    const fs::path base(dossier / "");
    EXPECT_EQ(dossier::journaux(base).front().filename(), "kiv-2026-01-01_10-00-00.kivlog");

    // 400 bytes of logs, capped at 250: the two oldest go, the kept one stays.
    const dossier::BilanLimite bilan =
        dossier::limiter(base, 250, base / "kiv-2026-01-01_10-00-00.kivlog");
    EXPECT_EQ(bilan.supprimes, 2);
    EXPECT_EQ(bilan.total, 200u);
    std::vector<std::string> restants;
    for (const fs::path& p : dossier::journaux(base)) {
        restants.push_back(p.filename().string());
    }
    EXPECT_EQ(restants, (std::vector<std::string>{"kiv-2026-01-01_10-00-00.kivlog",
                                                  "kiv-2026-01-03_10-00-00.kivlog"}));
    EXPECT_TRUE(fs::exists(base / "autre.bin"));
    EXPECT_EQ(dossier::limiter(base, 1000).supprimes, 0);
    EXPECT_EQ(dossier::limiter(base / "absent", 0).supprimes, 0);

    // Ranks sort by number ("_2" before "_10"), after the name without one.
    EXPECT_TRUE(
        dossier::avant("kiv-2026-01-01_10-00-00.kivlog", "kiv-2026-01-01_10-00-00_2.kivlog"));
    EXPECT_TRUE(
        dossier::avant("kiv-2026-01-01_10-00-00_2.kivlog", "kiv-2026-01-01_10-00-00_10.kivlog"));
    EXPECT_TRUE(
        dossier::avant("kiv-2026-01-01_10-00-00_10.kivlog", "kiv-2026-01-01_10-00-01.kivlog"));
    // A continuation always sorts after the file it continues, even when the clock went back.
    const std::string courant = "kiv-2025-12-07_20-38-36_3.kivlog";
    EXPECT_EQ(dossier::nomSuite(courant, 1765139916000000, 1), "kiv-2025-12-07_20-38-36_4.kivlog");
    EXPECT_EQ(dossier::nomSuite(courant, 1765139916000000 - 3600000000LL, 2),
              "kiv-2025-12-07_20-38-36_5.kivlog");
    EXPECT_EQ(dossier::nomSuite(courant, 1765139917000000, 1), "kiv-2025-12-07_20-38-37.kivlog");
}

TEST_F(JournalTest, ASessionRecordsFromItsFirstEventWithInjectedClocks)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    std::uint64_t stable = 5000000;
    const std::int64_t mur = 1765139916000000;
    ReglagesJournal reglages{dossier / "journaux", 1000, 0};
    // An older log beyond the cap goes when the session starts.
    fs::create_directories(reglages.dossier);
    std::ofstream(reglages.dossier + "/kiv-2020-01-01_00-00-00.kivlog") << std::string(2000, 'x');

    Enregistreur session(reglages, {[&stable] { return stable; }, [] { return mur; }});
    EXPECT_EQ(session.chemin(), "");
    session.lien("ouvert COM1");
    EXPECT_EQ(session.chemin(), reglages.dossier + "/kiv-2025-12-07_20-38-36.kivlog");
    EXPECT_FALSE(fs::exists(reglages.dossier + "/kiv-2020-01-01_00-00-00.kivlog"));
    stable += 1500;
    const std::uint8_t octet = 0x41;
    session.recu(&octet, 1);
    stable -= 1000; // a clock that steps back never makes time go back
    session.emis(&octet, 1);
    session.navigation("go");
    EXPECT_EQ(session.erreur(), "");

    std::vector<Attendu> lus;
    EXPECT_EQ(toutLire(contenu(session.chemin()), lus), Lecture::Fin);
    ASSERT_EQ(lus.size(), 4u);
    EXPECT_EQ(lus[0].temps, 0u);
    EXPECT_EQ(lus[1].temps, 1500u);
    EXPECT_EQ(lus[2].temps, 1500u);
    EXPECT_EQ(lus[3].genre, Genre::Navigation);

    // A folder that cannot be made: the session says why and records nothing.
    std::ofstream(dossier / "fichier") << "x";
    Enregistreur impossible({dossier / "fichier/sous", 1000, 0});
    impossible.lien("ouvert");
    EXPECT_NE(impossible.erreur().find("dossier des journaux impossible à créer"),
              std::string::npos);
    EXPECT_EQ(impossible.chemin(), "");
}
