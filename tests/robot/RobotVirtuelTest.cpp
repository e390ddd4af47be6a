// The virtual robot without its line: the scenario reader, the motion, the
// bumper contract and the beacon frames.
#include "robot/RobotVirtuel.h"
#include "link/protocol/RobotProtocol.h"
#include "robot/Caracteristiques.h"
#include "robot/Scenario.h"
#include "robot/Session.h"
#include "support/FluxDefaillant.h"
#include "world/BeaconModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <istream>
#include <sstream>
#include <streambuf>

using robotsim::RobotVirtuel;

namespace {

Scenario scenario(const std::string& texte)
{
    const LectureScenario lu = lireScenario(texte);
    EXPECT_TRUE(lu.valide) << lu.erreur;
    return lu.scenario;
}

std::string erreur(const std::string& texte)
{
    const LectureScenario lu = lireScenario(texte);
    EXPECT_FALSE(lu.valide);
    return lu.erreur;
}

} // namespace

TEST(ScenarioTest, ReadsEveryStatementWithCommentsAndDefaults)
{
    const Scenario s = scenario("# a field\r\n"
                                "  depart 100.5 200 -90   # facing up\r\n"
                                "cache 3 4\n"
                                "mur 5 1 6 2\n"
                                "\n"
                                "bruit 0.5\n");
    EXPECT_DOUBLE_EQ(s.x, 100.5);
    EXPECT_DOUBLE_EQ(s.y, 200.0);
    EXPECT_DOUBLE_EQ(s.cap, -90.0);
    EXPECT_EQ(s.obstacle[4][3], 1);
    EXPECT_EQ(s.obstacle[1][5] + s.obstacle[1][6] + s.obstacle[2][5] + s.obstacle[2][6], 8);
    EXPECT_EQ(s.obstacle[3][4], 0);
    EXPECT_EQ(s.batterie, 230);
    EXPECT_DOUBLE_EQ(s.bruit, 0.5);
    EXPECT_EQ(s.periodeMs, 500);
    EXPECT_EQ(s.graine, 1u);
}

TEST(ScenarioTest, RefusesWhatCannotBeRun)
{
    EXPECT_EQ(erreur("batterie 200\n"), "pas de position de départ (depart X Y CAP)");
    EXPECT_EQ(erreur("depart 50 50 0\nvitesse 3\n"), "ligne 2 : instruction inconnue « vitesse »");
    // The file's words are escaped: a refusal printed never drives the terminal.
    EXPECT_EQ(erreur("depart 50 50 0\n\x1b[2J\x9b\n"),
              "ligne 2 : instruction inconnue « \\x1B[2J\\x9B »");
    EXPECT_EQ(erreur("depart 50 50\n"), "ligne 1 : « depart » attend 3 nombres");
    EXPECT_EQ(erreur("depart 50 50 0\nbatterie\n"), "ligne 2 : « batterie » attend 1 nombre");
    EXPECT_EQ(erreur("depart nan 50 0\n"), "ligne 1 : le départ est hors du terrain (0 à 500 cm)");
    EXPECT_EQ(erreur("depart 50 50 inf\n"),
              "ligne 1 : le cap est un nombre de degrés de -3600 à 3600");
    EXPECT_EQ(erreur("depart 50 50 0\ncache 20 1\n"),
              "ligne 2 : la colonne et la ligne d'une case vont de 0 à 19");
    EXPECT_EQ(erreur("depart 50 50 0\nperiode 5\n"), "ligne 2 : la période va de 20 à 10000 ms");
    EXPECT_EQ(erreur("depart 50 50 0\nbatterie 256\n"), "ligne 2 : la batterie va de 0 à 255");
    EXPECT_EQ(erreur("depart 50 50 0\nbatterie 2x\n"), "ligne 2 : la batterie va de 0 à 255");
    // The body may not overlap a side or an obstacle at the start.
    EXPECT_EQ(erreur("depart " + std::to_string(robotsim::Rayon - 0.5) + " 50 0\n"),
              "au départ, le robot touche un obstacle ou un bord du terrain");
    EXPECT_EQ(erreur("depart 62 62 0\ncache 2 2\n"),
              "au départ, le robot touche un obstacle ou un bord du terrain");
    // Touching counts: a body tangent to two sides, or to an obstacle's edge.
    EXPECT_EQ(erreur("depart 6 6 0\n"),
              "au départ, le robot touche un obstacle ou un bord du terrain");
    EXPECT_EQ(erreur("depart 494 250 0\n"),
              "au départ, le robot touche un obstacle ou un bord du terrain");
    EXPECT_EQ(erreur("depart 44 62.5 0\ncache 2 2\n"),
              "au départ, le robot touche un obstacle ou un bord du terrain");
    scenario("depart 6.01 6.01 0\n");
    scenario("depart 43.99 62.5 0\ncache 2 2\n");
}

TEST(ScenarioTest, TheRunSummaryIsFrench)
{
    robotsim::BilanSession b;
    b.trames = 12;
    b.reponses = 11;
    b.manquantes = 1;
    b.contacts = 2;
    b.finale.x = 62.5;
    b.finale.y = 100.0;
    b.finale.cap = 90.0;
    b.batterie = 200.0;
    std::ostringstream texte;
    texte << b;
    EXPECT_EQ(texte.str(), "trames 12, réponses 11, manquantes 1, inattendues 0, invalides 0, "
                           "contacts 2, position 62.5 100.0 cap 90.0, batterie 200");
    b.partie = true;
    texte.str("");
    texte << b;
    EXPECT_TRUE(texte.str().ends_with(", batterie 200, l'autre bout a fermé la ligne"));
}

TEST(ScenarioTest, LinesAreCappedAndAnEndlessOneIsNeverHeld)
{
    const std::string longue(LongueurLigneMax, ' ');
    scenario("depart 50 50 0\n" + longue + "\n# " + std::string(LongueurLigneMax - 2, 'c'));
    EXPECT_EQ(erreur("depart 50 50 0\n#" + longue + "\nbatterie 3\n"),
              "ligne 2 : plus de 1000 caractères");

    // An input without end and without a line end (/dev/zero): refused at
    // the cap, having read no further than it.
    kiv_test::TamponZeros zeros;
    std::istream flux(&zeros);
    const LectureScenario lu = lireScenario(flux);
    EXPECT_FALSE(lu.valide);
    EXPECT_EQ(lu.erreur, "ligne 1 : plus de 1000 caractères");
    EXPECT_LE(zeros.lus, LongueurLigneMax + 1);
}

TEST(ScenarioTest, AReadErrorIsARefusalNeverAnException)
{
    // A file buffer throws on a read error (a folder opened as a stream):
    // the reader says where, and nothing read before it is taken.
    kiv_test::TamponDefaillant tampon("depart 50 50 0\nbatterie 3\n");
    std::istream flux(&tampon);
    const LectureScenario lu = lireScenario(flux);
    EXPECT_FALSE(lu.valide);
    EXPECT_EQ(lu.erreur, "ligne 3 : le fichier ne peut pas être lu");
    EXPECT_TRUE(flux.bad());
}

TEST(RobotVirtuelTest, TurnsInPlaceBeforeTheWheelsAndSteersLikeADifferentialDrive)
{
    RobotVirtuel r(scenario("depart 250 250 0\nbruit 0\n"));
    // Both wheels at code 3: 6 cm/s for 0.5 s, straight to the right.
    ASSERT_TRUE(r.commande(0x80 + 4 * 3 + 3));
    r.avancer();
    EXPECT_NEAR(r.pose().x, 253.0, 1e-9);
    EXPECT_NEAR(r.pose().y, 250.0, 1e-9);
    // Turn code 1 (90 degrees clockwise on the map) then code 2 on both: down by 2.5 cm.
    ASSERT_TRUE(r.commande(0x80 + 16 + 4 * 2 + 2));
    r.avancer();
    EXPECT_NEAR(r.pose().cap, 90.0, 1e-9);
    EXPECT_NEAR(r.pose().x, 253.0, 1e-9);
    EXPECT_NEAR(r.pose().y, 252.5, 1e-9);
    // Left 3, right 2: veers clockwise by (6 - 5) / 15 rad/s.
    ASSERT_TRUE(r.commande(0x80 + 4 * 2 + 3));
    r.avancer();
    EXPECT_NEAR(r.pose().cap, 90.0 + 1.0 / 15.0 * 0.5 * 180.0 / M_PI, 1e-6);
    // Codes 4 (135 ccw) and 3 (180).
    ASSERT_TRUE(r.commande(0x80 + 16 * 4));
    ASSERT_TRUE(r.commande(0x80 + 16 * 3));
    EXPECT_NEAR(r.pose().cap, 90.0 + 1.0 / 15.0 * 0.5 * 180.0 / M_PI + 45.0, 1e-6);
    // Headings stay within [0, 360), even a hair below zero.
    EXPECT_EQ(robotsim::normaliserCap(-1e-15), 0.0);
    EXPECT_EQ(robotsim::normaliserCap(-90.0), 270.0);
    EXPECT_EQ(robotsim::normaliserCap(720.0), 0.0);
    // Not commands: bit 7 clear, turn codes 6 and 7. Nothing changes.
    EXPECT_FALSE(r.commande(0x7F));
    EXPECT_FALSE(r.commande(0xE0));
    EXPECT_FALSE(r.commande(0xF3));
    EXPECT_EQ(r.gauche(), 0);
    EXPECT_EQ(r.droite(), 0);
}

TEST(RobotVirtuelTest, AContactIsReportedInOneFrameThenTheRobotBacksOff)
{
    // Facing right towards a hidden cell whose left side is at x = 150.
    RobotVirtuel r(scenario("depart 112 112 0\ncache 6 4\nbruit 0\n"));
    ASSERT_TRUE(r.commande(0x80 + 4 * 3 + 3));
    int avant = 0;
    while (r.contacts() == 0 && avant < 100) {
        EXPECT_EQ(r.trame()[8], 0);
        r.avancer();
        ++avant;
    }
    ASSERT_EQ(r.contacts(), 1);
    EXPECT_GE(150.0 - r.pose().x, robotsim::Rayon - 1e-9);
    EXPECT_LT(150.0 - r.pose().x, robotsim::Rayon + robotsim::PasMaximal);
    const double contre = r.pose().x;
    EXPECT_EQ(r.trame()[8], 0x03);
    // The period after the contact is the back-off, whatever the wheels say.
    r.avancer();
    EXPECT_NEAR(r.pose().x, contre - 3.0, 1e-9);
    EXPECT_EQ(r.trame()[8], 0);
    // Driving on meets the obstacle again: a new contact, reported again.
    for (int k = 0; k < 3 && r.contacts() == 1; ++k) {
        r.avancer();
    }
    EXPECT_EQ(r.contacts(), 2);
    EXPECT_EQ(r.trame()[8], 0x03);

    // A corner ahead-right presses the right bumper only (bit 0).
    RobotVirtuel d(scenario("depart 130 95 0\ncache 6 4\nbruit 0\n"));
    ASSERT_TRUE(d.commande(0x80 + 4 * 3 + 3));
    for (int k = 0; k < 100 && d.contacts() == 0; ++k) {
        d.avancer();
    }
    EXPECT_EQ(d.trame()[8], 0x01);
}

TEST(RobotVirtuelTest, StaysOnTheFieldAndItsFramesCarryItsPositionAndBattery)
{
    RobotVirtuel r(scenario("depart 480 250 0\nbruit 0\nbatterie 200\n"));
    const auto premiere = r.trame();
    EXPECT_EQ(premiere[9], 200);
    // The stamps give the model's exact intervals, to a tick or two.
    std::int16_t t[4];
    for (std::size_t k = 0; k < 4; ++k) {
        t[k] = static_cast<std::int16_t>(premiere[2 * k] | premiere[2 * k + 1] << 8);
    }
    float intervalles[3];
    protocole::calculerIntervalles(t, intervalles);
    const auto exacts = balises::intervallesExacts({480.0, 250.0});
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(intervalles[k], exacts[static_cast<std::size_t>(k)], 2.5e-6);
    }
    // Driving into the side of the field: stopped a radius short, the bumper pressed.
    ASSERT_TRUE(r.commande(0x80 + 4 * 3 + 3));
    for (int k = 0; k < 20; ++k) {
        r.avancer();
        EXPECT_LE(r.pose().x, 500.0 - robotsim::Rayon + 1e-9);
    }
    EXPECT_GE(r.contacts(), 1);
    EXPECT_LT(r.trame()[9], 200);
}

TEST(RobotVirtuelTest, ItsFramesAreTimedByTheFieldsGeometry)
{
    // Posts outside the corners, 183 ms apart, a warm day: every frame the
    // console reads a turn of the counter below the geometry's intervals,
    // and the noise is in cm of that day's sound.
    balises::Geometrie g;
    g.balises[0] = {-20, -20};
    g.balises[1] = {520, -10};
    g.balises[2] = {515, 520};
    g.balises[3] = {-10, 510};
    g.periode = 0.183;
    g.vitesseSon = 34700.0;
    RobotVirtuel r(scenario("depart 120 340 0\nbruit 0\n"), g);
    EXPECT_EQ(r.geometrie().periode, 0.183);
    const auto lus = balises::intervallesLus(g, {120.0, 340.0});
    for (int n = 0; n < 5; ++n) {
        const auto trame = r.trame();
        std::int16_t t[4];
        for (std::size_t k = 0; k < 4; ++k) {
            t[k] = static_cast<std::int16_t>(trame[2 * k] | trame[2 * k + 1] << 8);
        }
        float intervalles[3];
        protocole::calculerIntervalles(t, intervalles);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_NEAR(intervalles[k], lus[k] - protocole::Tour, 1.1e-6) << n;
        }
    }
    // The same robot on the bundled field reads otherwise.
    RobotVirtuel defaut(scenario("depart 120 340 0\nbruit 0\n"));
    const auto trame = defaut.trame();
    std::int16_t t[4];
    for (std::size_t k = 0; k < 4; ++k) {
        t[k] = static_cast<std::int16_t>(trame[2 * k] | trame[2 * k + 1] << 8);
    }
    float intervalles[3];
    protocole::calculerIntervalles(t, intervalles);
    EXPECT_NEAR(intervalles[0], balises::intervallesExacts({120.0, 340.0})[0], 2.5e-6);
}
