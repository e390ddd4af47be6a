// The ".kiv" field file: exact bytes, the round trip, and what is refused.
#include "world/FichierTerrain.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string ecrit(const Terrain& t)
{
    std::ostringstream sortie;
    ecrireTerrain(sortie, t);
    return sortie.str();
}

std::optional<Terrain> lu(const std::string& texte, std::string& erreur)
{
    std::istringstream entree(texte);
    return lireTerrain(entree, erreur);
}

/** A field with an operator obstacle at (5, 5) and a sensor one at (12, 8), margins around. */
Terrain exemple()
{
    Terrain t = terrainInitial();
    for (auto [x, y, v] : {std::tuple{5, 5, 1}, {12, 8, 3}}) {
        t.cellules[y][x] = v;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                int& n = t.cellules[y + dy][x + dx];
                n = n == 0 ? 2 : n;
            }
        }
    }
    t.robot = {60, 260};
    t.destination = {412, 62};
    t.bandit = {300, 300};
    t.banditPlace = true;
    t.quadrillage = true;
    return t;
}

TEST(FichierTerrainTest, InitialFieldBytesAndRoundTrip)
{
    const std::string texte = ecrit(terrainInitial());
    std::string attendu = "KIV-ZUL terrain 1\r\n22222222222222222222\r\n";
    for (int k = 0; k < 18; ++k) {
        attendu += "20000000000000000002\r\n";
    }
    attendu += "22222222222222222222\r\nRobot 25 25\r\nDestination -25 -25\r\nBandit 0 0 0\r\n"
               "Quadrillage 0\r\n";
    EXPECT_EQ(texte, attendu);

    std::string erreur;
    for (const Terrain& t : {terrainInitial(), exemple()}) {
        const auto relu = lu(ecrit(t), erreur);
        ASSERT_TRUE(relu) << erreur;
        EXPECT_EQ(*relu, t);
    }
    // LF line ends and trailing blank lines are read too.
    std::string lf = ecrit(exemple());
    std::erase(lf, '\r');
    ASSERT_TRUE(lu(lf + "\n\n", erreur)) << erreur;
}

TEST(FichierTerrainTest, MalformedFilesAreRefusedWithTheirLine)
{
    const std::string bon = ecrit(exemple());
    auto refus = [](const std::string& texte) {
        std::string erreur;
        EXPECT_FALSE(lu(texte, erreur)) << texte;
        return erreur;
    };
    auto remplacer = [&bon](const std::string& de, const std::string& par) {
        std::string t = bon;
        t.replace(t.find(de), de.size(), par);
        return t;
    };
    EXPECT_EQ(refus(""), "ligne 1 : ce n'est pas un terrain KIV-ZUL");
    EXPECT_EQ(refus(std::string(100000, 'K')), "ligne 1 : ligne trop longue");
    EXPECT_EQ(refus(bon.substr(0, 200)).substr(0, 11), "ligne 10 : ");
    EXPECT_EQ(refus(remplacer("Robot 60 260", "Robot 60 501")),
              "ligne 22 : position du robot attendue (Robot x y, de 0 à 500)");
    EXPECT_EQ(refus(remplacer("Robot 60 260", "Robot 60 260 7")).substr(0, 11), "ligne 22 : ");
    EXPECT_EQ(refus(remplacer("Destination 412 62", "Destination nan 62")).substr(0, 11),
              "ligne 23 : ");
    EXPECT_EQ(refus(remplacer("Bandit 300 300 1", "Bandit -25 -25 1")).substr(0, 11),
              "ligne 24 : ");
    EXPECT_EQ(refus(remplacer("Quadrillage 1", "Quadrillage 2")).substr(0, 11), "ligne 25 : ");
    EXPECT_EQ(refus(bon + "Robot 1 1\r\n"), "ligne 26 : texte après la fin du terrain");
    // A value out of range, and grids no edit could have made: a free cell
    // beside an obstacle, a margin beside none.
    EXPECT_EQ(refus(remplacer("\r\n20000000000000000002\r\n", "\r\n20000000000000000042\r\n")),
              "ligne 3 : valeur de cellule invalide (0 à 3 attendu)");
    std::string libre = bon;
    libre[libre.find("\r\n20002120") + 6] = '0'; // the margin left of the obstacle at (5, 5)
    EXPECT_EQ(refus(libre).rfind("ligne 7 : grille incohérente", 0), 0u);
    std::string marge = ecrit(terrainInitial());
    marge[marge.find("\r\n20000000000000000002") + 12] = '2';
    EXPECT_NE(refus(marge).find("grille incohérente"), std::string::npos);
}

} // namespace
