// Calibration's building blocks: a point's frames averaged and judged, the
// grid of points to visit, the list written as a training set and read back
// by the trainer's reader.
#include "calibration/GrilleCalibration.h"
#include "calibration/ListeCalibration.h"
#include "calibration/MoyenneIntervalles.h"
#include "calibration/SeanceCalibration.h"
#include "core/Erreur.h"
#include "support/RepertoireTemporaire.h"
#include "trainer/Preparation.h"
#include "trainer/TexteWindows.h"
#include "world/FichierGeometrie.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

using namespace calibration;

namespace {

/** Three frames whose first interval is 0.1500, 0.1502, 0.1504 s; the others steady. */
MoyenneIntervalles troisTrames()
{
    MoyenneIntervalles m;
    for (const double t : {0.1500, 0.1502, 0.1504}) {
        EXPECT_TRUE(m.ajouter({t, 0.140, 0.160}));
    }
    return m;
}

} // namespace

TEST(MoyenneIntervalles, MeanAndSpreadInSecondsAndCmOfSound)
{
    MoyenneIntervalles m = troisTrames();
    EXPECT_EQ(m.trames(), 3);
    EXPECT_NEAR(m.moyenne()[0], 0.1502, 1e-15);
    EXPECT_NEAR(m.moyenne()[2], 0.160, 1e-15);
    EXPECT_NEAR(m.ecartType()[0], 0.0002, 1e-12);
    EXPECT_NEAR(m.ecartType()[1], 0.0, 1e-12);
    EXPECT_NEAR(m.dispersion(), 0.0002, 1e-12);
    // 0.2 ms of sound at 343 m/s: 6.86 cm; with a 1 MHz counter a console
    // second (two ticks of 0.5 us) is two true seconds: 13.72 cm at the same speed.
    EXPECT_NEAR(m.dispersionCm(balises::Geometrie{}), 6.86, 1e-9);
    balises::Geometrie lente;
    lente.horloge = 1e6;
    EXPECT_NEAR(m.dispersionCm(lente), 13.72, 1e-9);

    // A frame that is not numbers is not counted; one frame has no spread.
    EXPECT_FALSE(m.ajouter({std::nan(""), 0.15, 0.15}));
    EXPECT_FALSE(m.ajouter({0.15, std::numeric_limits<double>::infinity(), 0.15}));
    EXPECT_EQ(m.trames(), 3);
    m.recommencer();
    const float console[3] = {0.15f, 0.16f, 0.14f};
    EXPECT_TRUE(m.ajouter(console));
    EXPECT_EQ(m.trames(), 1);
    EXPECT_EQ(m.moyenne()[1], static_cast<double>(0.16f));
    EXPECT_EQ(m.dispersion(), 0.0);
}

TEST(MoyenneIntervalles, APointIsKeptOnlyWhenTheFramesAgree)
{
    const MoyenneIntervalles m = troisTrames();
    const balises::Geometrie g;
    CriteresPoint c;
    c.trames = 3;
    c.dispersionMaxCm = 6.86;
    // At the limit the point is kept (the spread is 6.86 cm to within rounding).
    c.dispersionMaxCm = 6.8600001;
    ResultatPoint r = fermerPoint(m, {250.0, 100.0}, g, c);
    ASSERT_TRUE(r.accepte) << r.refus;
    EXPECT_EQ(r.point.position.x, 250.0);
    EXPECT_EQ(r.point.trames, 3);
    EXPECT_NEAR(r.point.intervalles[0], 0.1502, 1e-15);
    EXPECT_NEAR(r.point.dispersionCm, 6.86, 1e-9);

    c.dispersionMaxCm = 5.0;
    EXPECT_EQ(fermerPoint(m, {250.0, 100.0}, g, c).refus,
              "Dispersion de 6.9 cm (au plus 5.0 cm) : le robot a bougé, recommencez la mesure");
    c = CriteresPoint{};
    EXPECT_EQ(c.trames, 20);
    EXPECT_EQ(fermerPoint(m, {250.0, 100.0}, g, c).refus,
              "Seulement 3 trames sur 20 : la mesure n'est pas finie");
    c.trames = 3;
    c.dispersionMaxCm = 10.0;
    for (const balises::Position p : {balises::Position{-0.1, 10.0}, balises::Position{10.0, 500.5},
                                      balises::Position{std::nan(""), 10.0}}) {
        EXPECT_EQ(fermerPoint(m, p, g, c).refus,
                  "La position doit être sur le terrain (x et y de 0 à 500 cm)");
    }
    EXPECT_TRUE(fermerPoint(m, {0.0, 500.0}, g, c).accepte);
    for (const CriteresPoint mauvais : {CriteresPoint{0, 5.0}, CriteresPoint{1001, 5.0},
                                        CriteresPoint{20, -1.0}, CriteresPoint{20, std::nan("")}}) {
        EXPECT_EQ(fermerPoint(m, {1.0, 1.0}, g, mauvais).refus,
                  "Le nombre de trames va de 1 à 1000 et la dispersion admise est un nombre "
                  "positif de cm");
    }
}

TEST(GrilleCalibration, EvenPointsOverTheUsableAreaInDrivingOrder)
{
    const auto g3 = grilleSuggeree(3);
    const balises::Position attendus[] = {{25, 25},  {250, 25}, {475, 25},  {475, 250}, {250, 250},
                                          {25, 250}, {25, 475}, {250, 475}, {475, 475}};
    ASSERT_EQ(g3.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(g3[i].x, attendus[i].x) << i;
        EXPECT_EQ(g3[i].y, attendus[i].y) << i;
    }
    const auto g6 = grilleSuggeree(6);
    ASSERT_EQ(g6.size(), 36u);
    EXPECT_EQ(g6[6].x, 475.0); // the second row starts on the right
    EXPECT_EQ(g6[6].y, 115.0);
    for (std::size_t i = 1; i < g6.size(); ++i) {
        // One step of 90 cm between two visits, never a run back across the field.
        EXPECT_NEAR(std::hypot(g6[i].x - g6[i - 1].x, g6[i].y - g6[i - 1].y), 90.0, 1e-9) << i;
    }
    EXPECT_EQ(grilleSuggeree(2).size(), 4u);
    EXPECT_EQ(grilleSuggeree(12).size(), 144u);
    EXPECT_TRUE(grilleSuggeree(1).empty());
    EXPECT_TRUE(grilleSuggeree(13).empty());
}

TEST(ListeCalibration, WritesATrainingSetTheTrainerReadsBack)
{
    ListeCalibration liste;
    PointCalibration a;
    a.position = {25.0, 475.0};
    a.intervalles = {0.1354321, 0.15, 0.1646};
    a.trames = 20;
    a.dispersionCm = 1.234;
    PointCalibration b = a;
    b.position = {250.5, 100.0};
    b.intervalles = {0.15, 0.151, 0.152};
    liste.ajouter(a);
    liste.ajouter(b);
    liste.ajouter(a);
    liste.retirer(2);
    liste.retirer(7); // nothing
    ASSERT_EQ(liste.taille(), 2);

    std::ostringstream texte;
    liste.ecrire(texte);
    EXPECT_EQ(texte.str(),
              "# Points de calibration : intervalles (s) -> position du robot (cm).\n"
              "# Entrées : les trois intervalles moyens lus par la console.\n"
              "# Sorties : y, puis x.\n"
              "(2)\n"
              "# point 1 : x 25 y 475, 20 trames, dispersion 1.23 cm\n"
              "(3,1)\n   0.135432\n       0.15\n     0.1646\n(2,1)\n        475\n         25\n\n"
              "# point 2 : x 250.5 y 100, 20 trames, dispersion 1.23 cm\n"
              "(3,1)\n       0.15\n      0.151\n      0.152\n(2,1)\n        100\n      250.5\n\n");

    kiv_test::RepertoireTemporaire dossier;
    const std::string chemin = dossier / "points.dat";
    ASSERT_TRUE(liste.ecrireFichier(chemin));
    std::ifstream brut(chemin, std::ios::binary);
    const std::string octets((std::istreambuf_iterator<char>(brut)),
                             std::istreambuf_iterator<char>());
    EXPECT_NE(octets.find("# Entr\xE9"
                          "es : "),
              std::string::npos)
        << "Windows-1252";
    EXPECT_NE(octets.find("# Sorties : y, puis x.\r\n(2)\r\n"), std::string::npos) << "CR LF";

    FichierTexteEntree fichier(chemin);
    const Table1D<Exemple> relu = lireEnsemble(fichier);
    ASSERT_EQ(relu.taille(), 2);
    EXPECT_EQ(relu[1].entree.taille(), 3);
    EXPECT_EQ(relu[1].entree[1], 0.151);
    EXPECT_EQ(relu[1].desire[0], 100.0); // output 0 is y
    EXPECT_EQ(relu[1].desire[1], 250.5); // output 1 is x
    const ListeCalibration depuis = ListeCalibration::depuisEnsemble(relu);
    ASSERT_EQ(depuis.taille(), 2);
    EXPECT_EQ(depuis[0].position.x, 25.0);
    EXPECT_EQ(depuis[0].position.y, 475.0);

    // A folder in the file's place: refused, with the system's reason.
    std::string raison;
    EXPECT_FALSE(liste.ecrireFichier(dossier / ".", &raison));
    EXPECT_FALSE(raison.empty());

    Table1D<Exemple> autre(1);
    autre[0].entree.redimensionner(2);
    autre[0].desire.redimensionner(2);
    try {
        ListeCalibration::depuisEnsemble(autre);
        FAIL() << "two inputs accepted";
    } catch (const Erreur& e) {
        EXPECT_STREQ(e.what(), "Vecteur d'entree invalide!");
    }
}

TEST(ListeCalibration, SimulatedFramesOnAGeometryAverageToItsReadings)
{
    // A robot standing still on a field that is not the bundled one: its
    // frames, noiseless, average to what the model says the console reads.
    const balises::LectureGeometrie lu = balises::lireGeometrie(
        std::string("balise -20 -20\nbalise 520 -10\nbalise 515 520\nbalise -10 510\n"
                    "intervalle 183\nson 34700\n"));
    ASSERT_TRUE(lu.valide) << lu.erreur;
    MoyenneIntervalles m;
    const balises::Position p{130.0, 370.0};
    const auto lus = balises::intervallesLus(lu.geometrie, p);
    for (int k = 0; k < 20; ++k) {
        std::array<double, 3> t{};
        for (std::size_t i = 0; i < 3; ++i) {
            // A tick either way, as the counter's phase falls.
            t[i] = lus[i] + (k % 2 == 0 ? 5e-7 : -5e-7);
        }
        m.ajouter(t);
    }
    const ResultatPoint r = fermerPoint(m, p, lu.geometrie, CriteresPoint{});
    ASSERT_TRUE(r.accepte) << r.refus;
    EXPECT_NEAR(r.point.intervalles[1], lus[1], 1e-12);
    // A tick is 0.017 cm of sound: the spread is about that.
    EXPECT_NEAR(r.point.dispersionCm, 5e-7 * 34700.0 * std::sqrt(20.0 / 19.0), 1e-6);
}

TEST(SeanceCalibration, FramesCloseThePointAndTheGridAdvances)
{
    SeanceCalibration seance;
    ASSERT_EQ(seance.grille().size(), 16u) << "a 4 x 4 grid by default";
    const balises::Position premier = *seance.prochainPointGrille();
    EXPECT_EQ(premier.x, MargeGrille);
    EXPECT_EQ(premier.y, MargeGrille);
    const auto lus = balises::intervallesLus(balises::Geometrie{}, premier);

    // Outside a measure, frames count for nothing.
    EXPECT_FALSE(seance.trame(lus));
    seance.setCriteres({3, 5.0});
    seance.commencer(premier);
    EXPECT_FALSE(seance.trame(lus));
    EXPECT_FALSE(seance.trame({lus[0], std::nan(""), lus[2]})) << "not finite: not counted";
    EXPECT_FALSE(seance.trame(lus));
    EXPECT_EQ(seance.mesure().trames(), 2);
    const auto fin = seance.trame(lus);
    ASSERT_TRUE(fin);
    ASSERT_TRUE(fin->accepte) << fin->refus;
    EXPECT_FALSE(seance.mesureEnCours());
    EXPECT_EQ(seance.liste().taille(), 1);
    EXPECT_TRUE(seance.pointGrilleVisite(0));
    // The next grid point in driving order; a kept point within half a
    // cell of a grid point visits it.
    EXPECT_EQ(seance.prochainPointGrille()->x, seance.grille()[1].x);
    EXPECT_EQ(seance.prochainPointGrille()->y, seance.grille()[1].y);

    // The robot moved during the measure: refused, nothing kept.
    const balises::Position loin{300.0, 300.0};
    seance.commencer(seance.grille()[1]);
    seance.trame(balises::intervallesLus(balises::Geometrie{}, seance.grille()[1]));
    seance.trame(balises::intervallesLus(balises::Geometrie{}, loin));
    const auto refus = seance.trame(balises::intervallesLus(balises::Geometrie{}, loin));
    ASSERT_TRUE(refus);
    EXPECT_FALSE(refus->accepte);
    EXPECT_FALSE(refus->refus.empty());
    EXPECT_EQ(seance.liste().taille(), 1);

    // Cancelled: the frames after it count for nothing.
    seance.commencer(loin);
    seance.annuler();
    EXPECT_FALSE(seance.trame(lus));
    EXPECT_FALSE(seance.trame(lus));
    EXPECT_FALSE(seance.trame(lus));
    EXPECT_EQ(seance.liste().taille(), 1);

    // A grid side outside its range suggests nothing.
    seance.setCoteGrille(CoteGrilleMax + 1);
    EXPECT_TRUE(seance.grille().empty());
    EXPECT_FALSE(seance.prochainPointGrille());
}

TEST(SeanceCalibration, APointFarFromTheEstimateWaitsForTheOperatorsWord)
{
    SeanceCalibration seance;
    seance.setCriteres({1, 5.0});
    const balises::Position ici{200.0, 300.0};
    const auto lus = balises::intervallesLus(balises::Geometrie{}, ici);
    // The network says where the test tells it to; the distance allowed is 50 cm.
    std::optional<balises::Position> estime;
    int appels = 0;
    seance.setEstimateur(
        [&](const std::array<double, 3>& t) {
            ++appels;
            EXPECT_EQ(t, lus) << "the point's mean intervals";
            return estime;
        },
        50.0);
    const auto fermer = [&] {
        seance.commencer(ici);
        return *seance.trame(lus);
    };

    // Exactly 50 cm away: kept at once.
    estime = balises::Position{230.0, 340.0};
    ResultatPoint r = fermer();
    EXPECT_TRUE(r.accepte);
    EXPECT_FALSE(r.aConfirmer);
    EXPECT_EQ(r.ecartCm, 50.0);
    EXPECT_EQ(seance.liste().taille(), 1);
    // No estimate (no network): kept at once, as without an estimator.
    estime.reset();
    r = fermer();
    EXPECT_FALSE(r.aConfirmer);
    EXPECT_FALSE(r.estimation);
    EXPECT_EQ(seance.liste().taille(), 2);
    EXPECT_EQ(appels, 2);

    // Farther: it waits; "no" drops it, "yes" keeps it, once.
    estime = balises::Position{200.0, 350.5};
    r = fermer();
    EXPECT_TRUE(r.accepte);
    EXPECT_TRUE(r.aConfirmer);
    EXPECT_DOUBLE_EQ(r.ecartCm, 50.5);
    EXPECT_EQ(r.estimation->y, 350.5);
    EXPECT_EQ(seance.liste().taille(), 2);
    ASSERT_TRUE(seance.enAttente());
    const std::uint64_t premier = seance.numeroAttente();
    EXPECT_TRUE(seance.confirmer(premier, false));
    EXPECT_FALSE(seance.enAttente());
    EXPECT_EQ(seance.liste().taille(), 2);
    EXPECT_FALSE(seance.confirmer(premier, true)) << "answered already";
    fermer();
    const std::uint64_t second = seance.numeroAttente();
    EXPECT_NE(second, premier);
    EXPECT_FALSE(seance.confirmer(premier, true)) << "an answer meant for another point";
    EXPECT_TRUE(seance.confirmer(second, true));
    EXPECT_EQ(seance.liste().taille(), 3);
    EXPECT_EQ(seance.liste()[2].position.y, 300.0) << "kept where the operator said";

    // A new measure drops a point still waiting.
    fermer();
    seance.commencer(ici);
    EXPECT_FALSE(seance.enAttente());
    EXPECT_FALSE(seance.confirmer(seance.numeroAttente(), true));
    EXPECT_EQ(seance.liste().taille(), 3);

    // A refused point asks nothing.
    seance.setCriteres({2, 5.0});
    seance.commencer(ici);
    seance.trame(lus);
    r = *seance.trame(balises::intervallesLus(balises::Geometrie{}, {400.0, 100.0}));
    EXPECT_FALSE(r.accepte);
    EXPECT_FALSE(r.aConfirmer);
    EXPECT_FALSE(seance.enAttente());
}
