// The whole field in the session log (kind 8): its bytes and their checks,
// the recorder that writes it at the start of each file of a session, and
// the session reader that comes back to a position taken earlier, in the
// first file or in a continuation.
#include "link/recorder/DossierJournaux.h"
#include "link/recorder/Enregistreur.h"
#include "link/recorder/LecteurSession.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

namespace {

using namespace journal;

EtatTerrain terrainEssai()
{
    EtatTerrain t;
    for (int y = 0; y < CellulesTerrain; ++y) {
        for (int x = 0; x < CellulesTerrain; ++x) {
            t.cellules[y][x] = static_cast<std::uint8_t>((x + 3 * y) % 4);
        }
    }
    t.robotX = 500;
    t.robotY = 0;
    t.destinationPlacee = true;
    t.destinationX = 250;
    t.destinationY = 499;
    t.quadrillage = true;
    return t;
}

bool memes(const EtatTerrain& a, const EtatTerrain& b)
{
    return std::memcmp(a.cellules, b.cellules, sizeof a.cellules) == 0 && a.robotX == b.robotX &&
           a.robotY == b.robotY && a.destinationPlacee == b.destinationPlacee &&
           a.destinationX == b.destinationX && a.destinationY == b.destinationY &&
           a.banditVisible == b.banditVisible && a.banditX == b.banditX && a.banditY == b.banditY &&
           a.quadrillage == b.quadrillage;
}

std::string enregistrement(std::uint64_t temps, Genre genre, const std::string& charge)
{
    std::string e(TailleEnteteEnregistrement, '\0');
    encoderEnregistrement(reinterpret_cast<std::uint8_t*>(e.data()), temps, genre, charge.size());
    return e + charge;
}

std::string charge(const EtatTerrain& t)
{
    std::string octets(TailleTerrain, '\0');
    encoderTerrain(reinterpret_cast<std::uint8_t*>(octets.data()), t);
    return octets;
}

struct Lu {
    std::vector<Enregistrement> enregistrements;
    std::vector<PositionSession> positions;
    Lecture fin = Lecture::Fin;
};

Lu lireSession(const std::string& chemin)
{
    std::ifstream entree(chemin, std::ios::binary);
    LecteurSession lecteur(entree, chemin);
    Lu lu;
    EXPECT_TRUE(lecteur.lireEntete());
    Enregistrement e;
    while ((lu.fin = lecteur.suivant(e)) == Lecture::Enregistrement) {
        lu.enregistrements.push_back(e);
        const auto position = lecteur.position();
        EXPECT_TRUE(position.has_value());
        lu.positions.push_back(position.value_or(PositionSession{}));
    }
    return lu;
}

class TerrainJournalTest : public ::testing::Test {
protected:
    kiv_test::RepertoireTemporaire dossier;
    std::uint64_t stable = 0;
    Horloges horloges()
    {
        return {[this] { return stable; },
                [this] { return std::int64_t{1765139916000000} + std::int64_t(stable); }};
    }
};

} // namespace

TEST_F(TerrainJournalTest, AWholeFieldReadsBackExactlyAndAnythingElseIsDamage)
{
    const EtatTerrain t = terrainEssai();
    const std::string octets = charge(t);
    ASSERT_EQ(octets.size(), 413u);
    // Row 0 first, each from column 0; then the points and the flags.
    EXPECT_EQ(octets[1], '\x01');
    EXPECT_EQ(octets[20], '\x03');
    EXPECT_EQ(octets.substr(400, 4), std::string("\xF4\x01\x00\x00", 4));
    EXPECT_EQ(octets.substr(404, 4), std::string("\xFA\x00\xF3\x01", 4));
    EXPECT_EQ(octets.substr(408, 4), std::string(4, '\0'));
    EXPECT_EQ(octets[412], '\x05'); // a destination, the grid lines
    EtatTerrain relu;
    ASSERT_TRUE(decoderTerrain(reinterpret_cast<const std::uint8_t*>(octets.data()), 413, relu));
    EXPECT_TRUE(memes(relu, t));

    // An absent marker is written at 0, 0 whatever it held.
    EtatTerrain cache = t;
    cache.destinationPlacee = false;
    cache.banditX = 120;
    EXPECT_EQ(charge(cache).substr(404, 9), std::string(8, '\0') + '\x04');

    const auto refuse = [](std::string abime) {
        EtatTerrain e;
        return !decoderTerrain(reinterpret_cast<const std::uint8_t*>(abime.data()), abime.size(),
                               e);
    };
    EXPECT_TRUE(refuse(octets.substr(0, 412)));
    EXPECT_TRUE(refuse(octets + '\0'));
    std::string abime = octets;
    abime[57] = 4; // a cell value no edit makes
    EXPECT_TRUE(refuse(abime));
    abime = octets;
    abime[400] = '\xF5'; // x 501
    EXPECT_TRUE(refuse(abime));
    abime = octets;
    abime[412] = 8;
    EXPECT_TRUE(refuse(abime));
    abime = octets;
    abime[412] = 4; // no destination, yet a point for it
    EXPECT_TRUE(refuse(abime));
    abime = octets;
    abime[409] = 1; // a hidden bandit somewhere
    EXPECT_TRUE(refuse(abime));

    // In a log: the reader stops there and says why.
    std::string entete(TailleEntete, '\0');
    encoderEntete(reinterpret_cast<std::uint8_t*>(entete.data()), 7);
    std::string mauvais = octets;
    mauvais[0] = 9;
    std::istringstream entree(entete + enregistrement(0, Genre::Terrain, octets) +
                              enregistrement(1, Genre::Terrain, mauvais));
    LecteurJournal lecteur(entree);
    ASSERT_TRUE(lecteur.lireEntete());
    Enregistrement e;
    EXPECT_EQ(lecteur.suivant(e), Lecture::Enregistrement);
    EXPECT_EQ(e.genre, Genre::Terrain);
    EXPECT_EQ(lecteur.suivant(e), Lecture::Corrompu);
    EXPECT_EQ(lecteur.erreur(), "terrain invalide (413 octets)");
}

TEST_F(TerrainJournalTest, EachFileOfASessionStartsWithTheFieldAsItStandsThen)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    // The field the console holds, changed as the session goes.
    int version = 0;
    const std::string journaux = dossier / "journaux";
    // Files of 20000 bytes, none deleted.
    Enregistreur session({journaux, 80000, 0}, horloges());
    session.fournirTerrain([&version] {
        EtatTerrain t;
        t.robotX = version;
        return t;
    });
    session.lien("ouvert COM1 9600 bauds 8N1");
    for (int k = 0; k < 200; ++k) {
        stable += 1000;
        version = k;
        const std::string octets = std::string(290, 'o') + std::to_string(k);
        session.recu(reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size());
        if (k == 3) {
            EtatTerrain ouvert = terrainEssai();
            session.terrain(ouvert); // a field opened
        }
    }
    ASSERT_EQ(session.erreur(), "");
    const std::vector<std::filesystem::path> fichiers = dossier::journaux(journaux);
    ASSERT_GE(fichiers.size(), 3u);

    // The first file: the field, then what asked for the file.
    const Lu premier = lireSession(fichiers.front());
    ASSERT_EQ(premier.fin, Lecture::Fin);
    ASSERT_GE(premier.enregistrements.size(), 8u);
    EXPECT_EQ(premier.enregistrements[0].genre, Genre::Terrain);
    EXPECT_EQ(premier.enregistrements[0].tempsUs, 0u);
    EXPECT_EQ(premier.enregistrements[1].texte(), "ouvert COM1 9600 bauds 8N1");
    int terrains = 0;
    int reprises = 0;
    for (std::size_t k = 0; k < premier.enregistrements.size(); ++k) {
        const Enregistrement& e = premier.enregistrements[k];
        if (e.genre != Genre::Terrain) {
            continue;
        }
        ++terrains;
        EtatTerrain t;
        ASSERT_TRUE(decoderTerrain(e.charge.data(), e.charge.size(), t));
        if (k == 0) {
            EXPECT_EQ(t.robotX, 0);
        } else if (premier.enregistrements[k - 1].texte().starts_with("reprise ")) {
            // A continuation's field is the one of the moment it began.
            ++reprises;
            const Enregistrement& avant = premier.enregistrements[k - 2];
            ASSERT_EQ(avant.genre, Genre::Lien);
            EXPECT_TRUE(avant.texte().starts_with("suite "));
            EXPECT_EQ(e.tempsUs, avant.tempsUs);
            EXPECT_EQ(t.robotX, static_cast<int>(e.tempsUs / 1000) - 1);
        } else {
            EXPECT_TRUE(memes(t, terrainEssai())) << "the field opened, once";
        }
    }
    EXPECT_EQ(reprises, static_cast<int>(fichiers.size()) - 1);
    EXPECT_EQ(terrains, reprises + 2);

    // Each later file on its own: its first records are "reprise", then the field.
    for (std::size_t f = 1; f < fichiers.size(); ++f) {
        std::ifstream entree(fichiers[f], std::ios::binary);
        LecteurJournal lecteur(entree);
        ASSERT_TRUE(lecteur.lireEntete());
        Enregistrement e;
        ASSERT_EQ(lecteur.suivant(e), Lecture::Enregistrement);
        EXPECT_TRUE(e.texte().starts_with("reprise kiv-")) << fichiers[f];
        ASSERT_EQ(lecteur.suivant(e), Lecture::Enregistrement);
        EXPECT_EQ(e.genre, Genre::Terrain) << fichiers[f];
    }

    // Without a source nothing of the kind is written.
    Enregistreur sans({dossier / "sans", 1 << 20, 0}, horloges());
    sans.lien("ouvert COM1");
    const Lu lu = lireSession(sans.chemin());
    ASSERT_EQ(lu.enregistrements.size(), 1u);
    EXPECT_EQ(lu.enregistrements[0].genre, Genre::Lien);
}

TEST_F(TerrainJournalTest, TheSessionReaderComesBackToAPositionAcrossItsFiles)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const std::string journaux = dossier / "journaux";
    {
        // Files of 2000 bytes, none deleted.
        Enregistreur session({journaux, 8000, 0}, horloges());
        session.lien("ouvert COM1 9600 bauds 8N1");
        for (int k = 0; k < 60; ++k) {
            stable += 1000;
            const std::string octets = std::string(90, 'o') + std::to_string(k);
            session.recu(reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size());
        }
    }
    const std::vector<std::filesystem::path> fichiers = dossier::journaux(journaux);
    ASSERT_GE(fichiers.size(), 3u);
    const Lu tout = lireSession(fichiers.front());
    ASSERT_EQ(tout.fin, Lecture::Fin);
    const std::size_t n = tout.enregistrements.size();
    ASSERT_GT(n, 60u);

    // From any position taken, in any order, the same records follow.
    std::ifstream entree(fichiers.front(), std::ios::binary);
    LecteurSession lecteur(entree, fichiers.front());
    ASSERT_TRUE(lecteur.lireEntete());
    for (const std::size_t k :
         {n - 2, std::size_t{0}, n / 2, std::size_t{5}, n - 1, std::size_t{5}}) {
        ASSERT_TRUE(lecteur.reprendre(tout.positions[k])) << lecteur.erreur();
        EXPECT_EQ(lecteur.fichiers(), tout.positions[k].fichiers);
        Enregistrement e;
        for (std::size_t j = k + 1; j < n; ++j) {
            ASSERT_EQ(lecteur.suivant(e), Lecture::Enregistrement) << k << " " << j;
            ASSERT_EQ(e.tempsUs, tout.enregistrements[j].tempsUs);
            ASSERT_EQ(e.genre, tout.enregistrements[j].genre);
            ASSERT_EQ(e.charge, tout.enregistrements[j].charge);
        }
        EXPECT_EQ(lecteur.suivant(e), Lecture::Fin);
        EXPECT_EQ(lecteur.nombre(), n);
    }

    // A continuation gone meanwhile: reading stops and says which.
    const PositionSession dans = tout.positions[n - 2];
    ASSERT_GT(dans.fichiers, 1);
    std::filesystem::remove(fichiers.back());
    EXPECT_FALSE(lecteur.reprendre(dans));
    EXPECT_EQ(lecteur.erreur(), "suite introuvable : " + fichiers.back().string());
    Enregistrement e;
    EXPECT_EQ(lecteur.suivant(e), Lecture::Tronque);
}
