// A beacon geometry: its text form, its refusals, and the model's timings on it.
#include "link/protocol/RobotProtocol.h"
#include "support/FluxDefaillant.h"
#include "world/BeaconModel.h"
#include "world/FichierGeometrie.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace balises;

namespace {

std::string refus(const std::string& texte)
{
    const LectureGeometrie lu = lireGeometrie(texte);
    EXPECT_FALSE(lu.valide) << texte;
    return lu.erreur;
}

const char* const kPoteaux = "# posts\r\n"
                             "balise -20 -20\r\n"
                             "balise\t520 -10   # B2\r\n"
                             "\r\n"
                             "  balise 515 520\r\n"
                             "balise -10 510\r\n"
                             "intervalle 183\r\n"
                             "son 34700\r\n"
                             "horloge 2e6";

} // namespace

TEST(GeometrieBalises, ReadsEveryStatementAndDefaultsToTheBundledModel)
{
    const LectureGeometrie lu = lireGeometrie(kPoteaux);
    ASSERT_TRUE(lu.valide) << lu.erreur;
    const Geometrie& g = lu.geometrie;
    EXPECT_EQ(g.balises[1].x, 520.0);
    EXPECT_EQ(g.balises[1].y, -10.0);
    EXPECT_EQ(g.balises[3].x, -10.0);
    EXPECT_EQ(g.periode, 0.183);
    EXPECT_EQ(g.horloge, 2e6);
    EXPECT_EQ(g.vitesseSon, 34700.0);

    // Nothing, or the bundled model spelt out: the model's own numbers, to the bit.
    for (const char* texte : {"", "# rien\n\n", "intervalle 150\nhorloge 2000000\nson 34300\n"}) {
        const LectureGeometrie d = lireGeometrie(std::string(texte));
        ASSERT_TRUE(d.valide) << d.erreur;
        EXPECT_EQ(d.geometrie.periode, Periode);
        EXPECT_EQ(d.geometrie.horloge, Horloge);
        EXPECT_EQ(d.geometrie.vitesseSon, VitesseSon);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(d.geometrie.balises[k].x, Balises[k].x);
            EXPECT_EQ(d.geometrie.balises[k].y, Balises[k].y);
        }
    }
    // The text form reads back to the same text and values.
    const std::string texte = texteGeometrie(g);
    const LectureGeometrie relu = lireGeometrie(texte);
    ASSERT_TRUE(relu.valide) << relu.erreur;
    EXPECT_EQ(texteGeometrie(relu.geometrie), texte);
    EXPECT_EQ(relu.geometrie.periode, g.periode);
    EXPECT_EQ(relu.geometrie.balises[2].y, 520.0);
}

TEST(GeometrieBalises, RefusalsSayWhatAndWhere)
{
    EXPECT_EQ(refus("balise 0 0\nbalize 1 1\n"), "ligne 2 : instruction inconnue « balize »");
    EXPECT_EQ(refus("\nbalise 0\n"), "ligne 2 : balise attend deux nombres (X Y en cm)");
    for (const char* v : {"nan", "inf", "1e400", "1500.5", "-1000.1", "12cm", "0x10"}) {
        EXPECT_EQ(refus(std::string("balise ") + v + " 0\n"),
                  "ligne 1 : une balise se place de -1000 à 1500 cm")
            << v;
    }
    EXPECT_EQ(refus("balise 0 0\nbalise 500 0\nbalise 500 500\nbalise 0 500\nbalise 1 1\n"),
              "ligne 5 : une cinquième balise : le robot en horodate quatre");
    EXPECT_EQ(refus("intervalle 150\nintervalle 150\n"),
              "ligne 2 : intervalle est donné deux fois");
    for (const char* v : {"0", "0.99", "1000.5", "-nan", "150ms"}) {
        EXPECT_EQ(refus(std::string("intervalle ") + v),
                  "ligne 1 : l'intervalle entre deux tirs va "
                  "de 1 à 1000 ms")
            << v;
    }
    EXPECT_EQ(refus("horloge 9999\n"),
              "ligne 1 : l'horloge du compteur va de 10000 à 100000000 Hz");
    EXPECT_EQ(refus("son 24999\n"), "ligne 1 : la vitesse du son va de 25000 à 40000 cm/s");
    EXPECT_EQ(refus("son\n"), "ligne 1 : son attend un nombre");
    EXPECT_EQ(refus("son 34300 34300\n"), "ligne 1 : son attend un nombre");
    EXPECT_EQ(
        refus("balise 1 1\nbalise 2 2\n"),
        "quatre balises ou aucune (aux coins du terrain), pas 2"); // The file's words are escaped:
                                                                   // a refusal printed never drives
                                                                   // the terminal.
    EXPECT_EQ(refus("\x1b]0;pwned\x07\x1b[2J 1 1\n"),
              "ligne 1 : instruction inconnue « \\x1B]0;pwned\\x07\\x1B[2J »");
}

TEST(GeometrieBalises, BeaconsThatCannotTellPlacesApartAreRefused)
{
    // Four beacons at one place: every interval the same everywhere (the
    // set was written and a network trained to 212 cm of error).
    EXPECT_EQ(refus("balise 100 100\nbalise 100 100\nbalise 100 100\nbalise 100 100\n"),
              "les balises 1 et 2 sont au même endroit (à moins de 1 cm) : le robot ne "
              "distingue plus leurs tirs");
    EXPECT_EQ(refus("balise 0 0\nbalise 500 0\nbalise 500 500\nbalise 0.6 -0.7\n"),
              "les balises 1 et 4 sont au même endroit (à moins de 1 cm) : le robot ne "
              "distingue plus leurs tirs");
    // One centimetre apart they are two places (and the rest decides).
    EXPECT_TRUE(verifierPlaces({{{0, 0}, {500, 0}, {500, 500}, {0, 501}}}).empty());
    // All four on a line across the field: a place and its mirror image read alike.
    const std::string travers =
        "balise -200 250\nbalise 100 250.5\nbalise 400 249.5\nbalise 700 250\n";
    EXPECT_EQ(refus(travers), "les quatre balises sont sur une ligne qui traverse le terrain : "
                              "de part et d'autre de la ligne, deux places se lisent de même");
    EXPECT_FALSE(verifierPlaces({{{-200, -200}, {0, 0}, {300, 300}, {700, 700}}}).empty())
        << "the diagonal too";
    // Along the field's edge or beside it, every place has its own reading.
    EXPECT_TRUE(verifierPlaces({{{0, 0}, {100, 0}, {300, 0}, {500, 0}}}).empty());
    EXPECT_TRUE(verifierPlaces({{{-50, -300}, {100, -300}, {300, -300}, {550, -300}}}).empty());
    EXPECT_TRUE(verifierPlaces(Geometrie{}).empty());
}

TEST(GeometrieBalises, LineCapIsExactAndReadingStopsThere)
{
    const std::string pleine = "son 34300" + std::string(1000 - 9, ' ');
    EXPECT_TRUE(lireGeometrie(pleine + "\n").valide);
    // A line one character too long: refused, and nothing after it is read
    // (the unknown statement on line 3 is never reached).
    EXPECT_EQ(refus("# a\n" + pleine + " \ninconnu\n"), "ligne 2 : plus de 1000 caractères");
}

TEST(GeometrieBalises, AReadErrorIsARefusalNeverAnException)
{
    // A file buffer throws on a read error (kiv-beacons --geometry FOLDER
    // aborted on it): the reader says where, and the lines before are not
    // taken for a whole geometry.
    kiv_test::TamponDefaillant tampon("intervalle 150\n");
    std::istream flux(&tampon);
    const LectureGeometrie lu = lireGeometrie(flux);
    EXPECT_FALSE(lu.valide);
    EXPECT_EQ(lu.erreur, "ligne 2 : le fichier ne peut pas être lu");
}

TEST(GeometrieBalises, AGeometryTheConsoleCannotReadIsRefused)
{
    // 120 ms apart, the first interval runs from 0.10542 to 0.13458 s as the
    // console reads it: across its fold at 0.134 s.
    EXPECT_EQ(refus("intervalle 120\n"),
              "l'intervalle 1 (balises 1 et 2) se lit de 0.10542 à 0.13458 s sur le terrain et "
              "franchit un repli de la console (tous les 32.768 ms depuis 0.134 s, à 0.5 ms "
              "près) : changez l'intervalle entre les tirs");
    // A whole turn later the same geometry reads the same: accepted.
    EXPECT_TRUE(lireGeometrie("intervalle 183\n").valide);
    // The margin: at 149.1 ms the lowest reading, 0.13452 s, keeps 0.52 ms
    // above the fold; at 149 ms, 0.42 ms is too close.
    EXPECT_TRUE(lireGeometrie("intervalle 149.1\n").valide);
    EXPECT_FALSE(lireGeometrie("intervalle 149\n").valide);
    const Etendue e = etendueLue(Geometrie{}, 0);
    EXPECT_NEAR(e.min, 0.150 - 500.0 / 34300.0 - 5e-7, 1e-9);
    EXPECT_NEAR(e.max, 0.150 + 500.0 / 34300.0 - 5e-7, 1e-9);
}

TEST(GeometrieBalises, TimingsOfAHandComputedPosition)
{
    // Beacons on a 300 x 400 rectangle, 200 ms apart, a 1 MHz counter, 340 m/s;
    // the robot on B1: distances 0, 300, 500 and 400 cm.
    Geometrie g;
    g.balises[0] = {0, 0};
    g.balises[1] = {300, 0};
    g.balises[2] = {300, 400};
    g.balises[3] = {0, 400};
    g.periode = 0.2;
    g.horloge = 1e6;
    g.vitesseSon = 34000.0;
    const Position p{0.0, 0.0};
    EXPECT_DOUBLE_EQ(arrivee(g, 2, p), 0.4 + 500.0 / 34000.0);
    const auto t = intervallesExacts(g, p);
    EXPECT_DOUBLE_EQ(t[0], 0.2 + 300.0 / 34000.0);
    EXPECT_DOUBLE_EQ(t[1], 0.2 + 200.0 / 34000.0);
    EXPECT_DOUBLE_EQ(t[2], 0.2 - 100.0 / 34000.0);
    // Arrivals at 0, 208823.5, 414705.9 and 611764.7 us; the counter shows
    // them modulo 65536 from its phase.
    const auto h = horodatages(g, p, 0);
    EXPECT_EQ(h[0], 0);
    EXPECT_EQ(h[1], 208823 - 3 * 65536);
    EXPECT_EQ(h[2], 414705 - 6 * 65536);
    EXPECT_EQ(h[3], 611764 - 9 * 65536);
    const auto decale = horodatages(g, p, 65535, {0.0, -1e-6, 0.0, 0.0});
    EXPECT_EQ(decale[0], -1);
    EXPECT_EQ(decale[1], 208822 - 3 * 65536 - 1);
    // The console takes each tick of this counter for 0.5 us.
    EXPECT_DOUBLE_EQ(intervallesLus(g, p)[0], (t[0] * 1e6 - 1.0) * 5e-7);
    EXPECT_DOUBLE_EQ(secondesLues(g, 0.2), 0.1);
}

TEST(GeometrieBalises, TheConsoleReadsWhatTheModelSaysOnAnyUsableGeometry)
{
    // The console's reading rules of the model are the protocol's own.
    EXPECT_EQ(lecture::Tic, protocole::Tick);
    EXPECT_EQ(lecture::Tour, protocole::Tour);
    EXPECT_EQ(lecture::Plancher, protocole::Plancher);
    const LectureGeometrie lu = lireGeometrie(kPoteaux);
    ASSERT_TRUE(lu.valide);
    for (double y = 0.0; y <= 500.0; y += 62.5) {
        for (double x = 0.0; x <= 500.0; x += 62.5) {
            const auto lus = intervallesLus(lu.geometrie, {x, y});
            for (std::uint32_t phase : {0u, 40000u, 65535u}) {
                const auto h = horodatages(lu.geometrie, {x, y}, phase);
                float t[3];
                protocole::calculerIntervalles(h.data(), t);
                for (std::size_t k = 0; k < 3; ++k) {
                    // Folded by whole turns, within a tick of rounding and the float's.
                    const double tours = std::round((t[k] - lus[k]) / protocole::Tour);
                    ASSERT_NEAR(t[k], lus[k] + tours * protocole::Tour, 1.1e-6) << x << "," << y;
                    ASSERT_EQ(tours, -1.0) << "one window for the whole field";
                }
            }
        }
    }
}
