// The replay model on logs written by the recorder: the field recorded at
// the start, the destinations, edits, positions (with the console's dead
// band), commands and battery at their times, no bumper logic of its own;
// seeking anywhere gives the state of a straight play; an older log starts
// from an empty field; a damaged log plays up to its damage; the clock, the
// speed and the turns of work.
#include "link/rejeu/ModeleRejeu.h"
#include "link/protocol/RobotProtocol.h"
#include "link/recorder/Enregistreur.h"
#include "support/RepertoireTemporaire.h"
#include "world/EditionsGrille.h"
#include "world/Instantane.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>

namespace {

using journal::EditionCarte;

constexpr std::uint64_t Ms = 1000;

/** A frame's timestamps, distinct for each frame number (their intervals key the estimates). */
std::array<std::int16_t, 4> horodatages(int numero)
{
    const auto h = static_cast<std::int16_t>(1000 + 37 * numero);
    return {0, h, static_cast<std::int16_t>(2 * h), static_cast<std::int16_t>(3 * h)};
}

float premierIntervalle(int numero)
{
    const auto h = horodatages(numero);
    float intervalles[3];
    protocole::calculerIntervalles(h.data(), intervalles);
    return intervalles[0];
}

/** A field of the console's: its cells from a grid, the markers given. */
journal::EtatTerrain terrain(const GrilleMonde& grille, Point robot,
                             std::optional<Point> destination, bool quadrillage)
{
    journal::EtatTerrain t;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            t.cellules[y][x] = static_cast<std::uint8_t>(grille[y + 1][x + 1]);
        }
    }
    t.robotX = robot.x;
    t.robotY = robot.y;
    t.destinationPlacee = destination.has_value();
    t.destinationX = destination ? destination->x : 0;
    t.destinationY = destination ? destination->y : 0;
    t.quadrillage = quadrillage;
    return t;
}

class ModeleRejeuTest : public ::testing::Test {
protected:
    /**
     * A session as the console records it: the field at its start (an
     * obstacle at (5, 5), robot at (50, 50), destination (400, 400)), frames
     * placing the robot (one with a bumper contact that the live session
     * did not mark), the commands sent, a destination, edits (a bumper mark
     * among them), a field opened later, the port closed.
     */
    std::string ecrireSession(const std::string& nom = "journaux")
    {
        std::uint64_t stable = 0;
        journal::Enregistreur session(
            {dossier / nom, 1 << 20, 0},
            {[&stable] { return stable; }, [] { return std::int64_t{1765139916000000}; }});
        session.fournirTerrain([this] { return terrainDepart; });
        const auto a = [&](std::uint64_t ms) { stable = ms * Ms; };
        const auto trame = [&](std::uint64_t ms, int numero, int x, int y, std::uint8_t etat,
                               std::uint8_t batterie, std::uint8_t commande) {
            positions[premierIntervalle(numero)] = {x, y};
            const auto octets = protocole::encoderTrame(horodatages(numero), etat, batterie);
            a(ms);
            session.recu(octets.data(), 9);
            session.emis(&commande, 1);
            a(ms + 1);
            session.recu(octets.data() + 9, 1);
        };
        a(0);
        session.lien("ouvert COM1 9600 bauds 8N1");
        trame(100, 0, 300, 200, 0, 220, protocole::octetCommande(2, 3, 0));
        trame(600, 1, 310, 210, 0, 218, protocole::octetCommande(3, 3, 0)); // within 25 cm
        a(1000);
        session.destination(200, 300);
        a(1100);
        session.navigation("go robot 300 200 destination 200 300");
        trame(1150, 2, 100, 400, 0, 210, protocole::octetCommande(1, 0, 2));
        a(1200);
        session.edition(EditionCarte::Peinte, 10, 10);
        a(1300);
        session.edition(EditionCarte::Trouvee, 12, 3);
        trame(1400, 3, 100, 400, 1, 205, protocole::octetCommande(0, 0, 0)); // a contact
        a(1600);
        session.edition(EditionCarte::Effacee, 5, 5);
        a(2500);
        GrilleMonde vide = EtatRejeu().grille;
        session.terrain(terrain(vide, {250, 250}, std::nullopt, true));
        trame(2600, 4, 120, 130, 0, 200, protocole::octetCommande(3, 2, 0));
        a(3000);
        session.lien("fermé");
        return session.chemin();
    }

    OptionsRejeu options(const std::string& fichier)
    {
        OptionsRejeu o;
        o.fichier = fichier;
        o.estimateur = [this](double t1, double, double) {
            protocole::Estimation e;
            const auto p = positions.find(static_cast<float>(t1));
            if (p != positions.end()) {
                e.valide = true;
                e.sortie1 = p->second.x + 0.7; // x, truncated as the console does
                e.sortie0 = p->second.y;
            }
            return e;
        };
        o.horloge = [this] { return horloge; };
        o.dureeTourMaxUs = 0;
        return o;
    }

    /** Plays until `m` has no work left that waits for nothing; the turns it took. */
    static int finir(ModeleRejeu& m)
    {
        int tours = 0;
        while (m.avancer().encore) {
            ++tours;
        }
        return tours + 1;
    }

    void SetUp() override
    {
        GrilleMonde grille = EtatRejeu().grille;
        peindreObstacle(grille, 5, 5);
        terrainDepart = terrain(grille, {50, 50}, Point{400, 400}, false);
    }

    kiv_test::RepertoireTemporaire dossier;
    journal::EtatTerrain terrainDepart;
    std::map<float, Point> positions;
    std::uint64_t horloge = 0;
};

} // namespace

TEST_F(ModeleRejeuTest, PlaysWhatWasRecordedFromTheFieldAtTheStartAndNothingElse)
{
    ModeleRejeu m(options(ecrireSession()));
    ASSERT_TRUE(m.ouvrir()) << m.erreur();
    m.lire();
    finir(m);
    ASSERT_TRUE(m.lu());
    EXPECT_EQ(m.tempsDebut(), 0u);
    EXPECT_EQ(m.tempsFin(), 3000 * Ms);
    EXPECT_EQ(m.terrains(), 2u);
    EXPECT_EQ(m.versionJournal(), 4);
    EXPECT_EQ(m.debutSessionUnixUs(), 1765139916000000);

    // At 0: the field of the start, whole.
    const EtatRejeu& e = m.etat();
    EXPECT_EQ(m.position(), 0u);
    EXPECT_TRUE(e.terrainEnregistre);
    EXPECT_EQ(e.grille[6][6], 1);
    EXPECT_EQ(e.grille[5][5], 2);
    EXPECT_EQ(e.grille[11][11], 0);
    EXPECT_EQ(e.robot, (Point{50, 50}));
    EXPECT_TRUE(e.destinationPlacee);
    EXPECT_EQ(e.destination, (Point{400, 400}));
    EXPECT_EQ(e.evenementLien, "ouvert COM1 9600 bauds 8N1");
    EXPECT_EQ(e.batterie, -1);
    EXPECT_EQ(e.commande, -1);
    EXPECT_TRUE(m.enLecture());

    const auto a = [&](std::uint64_t ms) {
        horloge = ms * Ms;
        finir(m);
        EXPECT_EQ(m.position(), ms * Ms);
    };
    // The first frame: placed where the network says, its command's codes.
    a(99);
    EXPECT_EQ(e.robot, (Point{50, 50}));
    a(100);
    EXPECT_EQ(e.robot, (Point{300, 200}));
    EXPECT_EQ(e.commande, protocole::octetCommande(2, 3, 0));
    EXPECT_EQ(e.roueGauche, 2);
    EXPECT_EQ(e.roueDroite, 3);
    EXPECT_EQ(e.batterie, -1) << "the battery byte comes 1 ms later";
    a(101);
    EXPECT_EQ(e.batterie, 220);
    EXPECT_EQ(e.trames, 1u);
    // 14 cm away: taken as noise, as the console does.
    a(601);
    EXPECT_EQ(e.robot, (Point{300, 200}));
    EXPECT_EQ(e.roueGauche, 3);
    a(1000);
    EXPECT_EQ(e.destination, (Point{200, 300}));
    a(1100);
    EXPECT_EQ(e.evenementNavigation, "go robot 300 200 destination 200 300");
    EXPECT_EQ(e.tempsEvenementNavigation, 1100 * Ms);
    a(1300);
    EXPECT_EQ(e.robot, (Point{100, 400}));
    EXPECT_EQ(e.grille[11][11], 1);
    EXPECT_EQ(e.grille[4][13], 3) << "the bumper mark the live session made";
    EXPECT_EQ(e.grille[3][12], 2);
    // A contact the live session did not mark marks nothing here either.
    const GrilleMonde avant = e.grille;
    a(1401);
    EXPECT_EQ(e.bit0, 1);
    EXPECT_EQ(e.grille, avant);
    EXPECT_EQ(e.commande, 0x80);
    a(1600);
    EXPECT_EQ(e.grille[6][6], 0) << "erased with its margin";
    EXPECT_EQ(e.grille[5][5], 0);
    EXPECT_EQ(e.grille[11][11], 1);
    // A field opened: everything in its place at once.
    a(2500);
    EXPECT_EQ(e.grille, EtatRejeu().grille);
    EXPECT_EQ(e.robot, (Point{250, 250}));
    EXPECT_FALSE(e.destinationPlacee);
    EXPECT_TRUE(e.quadrillage);
    EXPECT_FALSE(m.termine());
    a(3000);
    EXPECT_EQ(e.robot, (Point{120, 130}));
    EXPECT_EQ(e.evenementLien, "fermé");
    EXPECT_EQ(e.trames, 5u);
    EXPECT_EQ(e.commandes.total, 5u);
    EXPECT_EQ(e.recus.total, 50u);
    EXPECT_EQ(e.recus[e.recus.taille() - 1], 200);
    EXPECT_FALSE(m.enLecture());
    EXPECT_TRUE(m.termine());
    EXPECT_EQ(m.finJournal(), journal::Lecture::Fin);
    EXPECT_EQ(m.raisonFin(), "");

    // The picture drawn: the route the planner finds on the replayed field.
    horloge = 0;
    m.chercher(1300 * Ms);
    finir(m);
    Instantane image;
    Itineraire itineraire;
    instantaneRejeu(m.etat(), image, itineraire);
    EXPECT_EQ(image.grille, m.etat().grille);
    EXPECT_EQ(image.robotPos, (Point{100, 400}));
    EXPECT_EQ(image.robotCell, (Point{4, 16}));
    EXPECT_EQ(image.destPos, (Point{200, 300}));
    EXPECT_EQ(image.cap, 0);
    ASSERT_GT(image.longueurChemin, 0);
    EXPECT_EQ(image.chemin[0].x, 8);
    EXPECT_EQ(image.chemin[0].y, 12);
}

TEST_F(ModeleRejeuTest, SeekingAnywhereInAnyOrderGivesTheStateOfAStraightPlay)
{
    const std::string fichier = ecrireSession();
    // Straight: the state at every record's time and between them.
    std::map<std::uint64_t, EtatRejeu> attendus;
    {
        ModeleRejeu m(options(fichier));
        ASSERT_TRUE(m.ouvrir());
        m.lire();
        finir(m);
        for (std::uint64_t t = 0; t <= 3000 * Ms; t += 50 * Ms) {
            for (const std::uint64_t d : {0ULL, 1000ULL, 1001ULL}) {
                horloge = t + d;
                finir(m);
                attendus[t + d] = m.etat();
            }
        }
        ASSERT_TRUE(m.termine());
    }

    // A snapshot every third record, three records a turn at most.
    OptionsRejeu o = options(fichier);
    o.pasInstantanes = 3;
    o.dureeTourMaxUs = 30;
    std::int64_t travail = 0;
    o.horlogeTravail = [&travail] { return travail += 10; };
    ModeleRejeu m(o);
    ASSERT_TRUE(m.ouvrir());
    EXPECT_GT(finir(m), 5) << "the first reading goes in turns";
    EXPECT_EQ(m.instantanes(), 1u + 24u / 3u) << "one at the start, one every third record";
    std::vector<std::uint64_t> temps;
    for (const auto& [t, etat] : attendus) {
        temps.push_back(t);
    }
    std::mt19937 alea(7);
    std::shuffle(temps.begin(), temps.end(), alea);
    for (const std::uint64_t t : temps) {
        m.chercher(t);
        EXPECT_TRUE(m.rechercheEnCours());
        finir(m);
        ASSERT_FALSE(m.rechercheEnCours());
        EXPECT_EQ(m.position(), std::min(t, 3000 * Ms));
        ASSERT_TRUE(m.etat() == attendus[t]) << "at " << t;
    }
    // Beyond the ends: brought within them.
    m.chercher(99'000 * Ms);
    finir(m);
    EXPECT_EQ(m.position(), 3000 * Ms);
    EXPECT_TRUE(m.termine());
    EXPECT_TRUE(m.etat() == attendus[3000 * Ms]);
}

TEST_F(ModeleRejeuTest, AnOlderLogStartsFromAnEmptyFieldAndDamageStopsThePlayThere)
{
    // Version 2: no field recorded; its edits apply to an empty field.
    const auto enregistrement = [](std::uint64_t temps, journal::Genre genre,
                                   const std::string& charge) {
        std::string e(journal::TailleEnteteEnregistrement, '\0');
        journal::encoderEnregistrement(reinterpret_cast<std::uint8_t*>(e.data()), temps, genre,
                                       charge.size());
        return e + charge;
    };
    std::string v2(journal::TailleEntete, '\0');
    journal::encoderEntete(reinterpret_cast<std::uint8_t*>(v2.data()), 5, 2);
    v2 += enregistrement(2 * Ms, journal::Genre::Lien, "ouvert COM1 9600 bauds 8N1") +
          enregistrement(3 * Ms, journal::Genre::Carte, std::string("\x01\x03\x04", 3)) +
          enregistrement(9 * Ms, journal::Genre::Destination, std::string("\x64\x00\xC8\x00", 4));
    std::ofstream(dossier / "v2.kivlog", std::ios::binary) << v2;
    ModeleRejeu ancien(options(dossier / "v2.kivlog"));
    ASSERT_TRUE(ancien.ouvrir());
    ancien.chercher(9 * Ms);
    finir(ancien);
    EXPECT_EQ(ancien.versionJournal(), 2);
    EXPECT_EQ(ancien.terrains(), 0u);
    EXPECT_EQ(ancien.tempsDebut(), 2 * Ms);
    EXPECT_FALSE(ancien.etat().terrainEnregistre);
    GrilleMonde attendue = EtatRejeu().grille;
    peindreObstacle(attendue, 3, 4);
    EXPECT_EQ(ancien.etat().grille, attendue);
    EXPECT_EQ(ancien.etat().robot, (Point{25, 25}));
    EXPECT_EQ(ancien.etat().destination, (Point{100, 200}));
    EXPECT_TRUE(ancien.termine());

    // Damaged after its records: they play, then it stops and says why.
    const std::string fichier = ecrireSession();
    std::string octets;
    {
        std::ifstream source(fichier, std::ios::binary);
        octets.assign(std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>());
    }
    std::ofstream(dossier / "abime.kivlog", std::ios::binary)
        << octets << enregistrement(5 * Ms, journal::Genre::Recu, "x");
    ModeleRejeu abime(options(dossier / "abime.kivlog"));
    ASSERT_TRUE(abime.ouvrir());
    abime.lire();
    finir(abime);
    horloge = 10'000 * Ms;
    finir(abime);
    EXPECT_EQ(abime.finJournal(), journal::Lecture::Corrompu);
    EXPECT_EQ(abime.raisonFin(), "le temps d'un enregistrement recule");
    EXPECT_EQ(abime.tempsFin(), 3000 * Ms);
    EXPECT_TRUE(abime.termine());
    EXPECT_EQ(abime.etat().robot, (Point{120, 130}));

    // Cut short inside its last record (a crash): up to the last whole one.
    std::ofstream(dossier / "coupe.kivlog", std::ios::binary)
        << octets.substr(0, octets.size() - 4);
    ModeleRejeu coupe(options(dossier / "coupe.kivlog"));
    ASSERT_TRUE(coupe.ouvrir());
    coupe.lire();
    finir(coupe);
    EXPECT_EQ(coupe.finJournal(), journal::Lecture::Tronque);
    EXPECT_EQ(coupe.tempsFin(), 2601 * Ms);

    // A log still written to: played as far as it went when first read.
    const std::string vivant = dossier / "vivant.kivlog";
    std::ofstream(vivant, std::ios::binary) << octets;
    ModeleRejeu enCours(options(vivant));
    ASSERT_TRUE(enCours.ouvrir());
    enCours.lire();
    finir(enCours);
    std::ofstream(vivant, std::ios::binary | std::ios::app)
        << enregistrement(3500 * Ms, journal::Genre::Lien, "ouvert COM1 9600 bauds 8N1");
    horloge += 5000 * Ms;
    finir(enCours);
    EXPECT_TRUE(enCours.termine());
    EXPECT_FALSE(enCours.enLecture());
    EXPECT_EQ(enCours.position(), 3000 * Ms);
    EXPECT_EQ(enCours.etat().evenementLien, "fermé");

    // No log at all.
    std::ofstream(dossier / "faux.kivlog") << "rien";
    ModeleRejeu faux(options(dossier / "faux.kivlog"));
    EXPECT_FALSE(faux.ouvrir());
    EXPECT_EQ(faux.erreur(), "Le journal " + dossier / "faux.kivlog" +
                                 " ne peut pas être lu : journal trop court pour son en-tête");
    EXPECT_EQ(faux.avancer().appliques, 0);
    ModeleRejeu absent(options(dossier / "absent.kivlog"));
    EXPECT_FALSE(absent.ouvrir());
    EXPECT_EQ(absent.erreur(), "Le journal " + dossier / "absent.kivlog" +
                                   " ne peut pas être ouvert : No such file or directory");
    // A FIFO held the window, and the console with it, in open() for good.
    ASSERT_EQ(::mkfifo((dossier / "tube.kivlog").c_str(), 0600), 0);
    ModeleRejeu tube(options(dossier / "tube.kivlog"));
    EXPECT_FALSE(tube.ouvrir());
    EXPECT_EQ(tube.erreur(), "Le journal " + dossier / "tube.kivlog" +
                                 " ne peut pas être ouvert : c'est un tube (FIFO)");
}

TEST_F(ModeleRejeuTest, TheClockTheSpeedAndPausesMoveThePositionAndTurnsAreBounded)
{
    OptionsRejeu o = options(ecrireSession());
    o.vitesse = 2.0;
    horloge = 5000 * Ms; // any origin
    ModeleRejeu m(o);
    ASSERT_TRUE(m.ouvrir());
    m.lire();
    finir(m);
    EXPECT_EQ(m.position(), 0u);
    // 50 ms of clock at 2 x: 100 ms of log, the first frame due then.
    horloge += 40 * Ms;
    ModeleRejeu::Tour tour = m.avancer();
    EXPECT_EQ(m.position(), 80 * Ms);
    EXPECT_EQ(tour.attenteUs, 10 * Ms) << "the next record in 20 ms of log";
    horloge += 10 * Ms;
    m.avancer();
    EXPECT_EQ(m.etat().robot, (Point{300, 200}));
    // Faster while it plays: on from where it is.
    m.reglerVitesse(10.0);
    EXPECT_EQ(m.vitesse(), 10.0);
    m.reglerVitesse(0.0);
    m.reglerVitesse(std::nan(""));
    EXPECT_EQ(m.vitesse(), 10.0) << "a speed that is no speed is ignored";
    horloge += 50 * Ms;
    m.avancer();
    EXPECT_EQ(m.position(), 600 * Ms);
    // Paused: the clock runs, the position stays.
    m.suspendre();
    horloge += 1000 * Ms;
    EXPECT_EQ(m.avancer().attenteUs, -1);
    EXPECT_EQ(m.position(), 600 * Ms);
    m.lire();
    horloge += 10 * Ms;
    m.avancer();
    EXPECT_EQ(m.position(), 700 * Ms);
    // To the end, then from the start again.
    horloge += 1'000'000 * Ms;
    finir(m);
    EXPECT_TRUE(m.termine());
    EXPECT_EQ(m.position(), 3000 * Ms);
    m.lire();
    finir(m);
    EXPECT_EQ(m.position(), 0u);
    EXPECT_TRUE(m.enLecture());
    EXPECT_EQ(m.etat().robot, (Point{50, 50}));

    // Far behind the clock, each turn does one turn's work (here three
    // records), the position that of the last record applied.
    OptionsRejeu lent = options(o.fichier);
    lent.dureeTourMaxUs = 30;
    std::int64_t travail = 0;
    lent.horlogeTravail = [&travail] { return travail += 10; };
    ModeleRejeu l(lent);
    ASSERT_TRUE(l.ouvrir());
    l.lire();
    finir(l);
    horloge += 1'000'000 * Ms;
    std::vector<int> tours;
    ModeleRejeu::Tour t;
    do {
        t = l.avancer();
        tours.push_back(t.appliques);
        if (t.encore) {
            EXPECT_LT(l.position(), 3000 * Ms);
        }
    } while (t.encore);
    ASSERT_GT(tours.size(), 5u);
    for (std::size_t k = 0; k + 1 < tours.size(); ++k) {
        EXPECT_EQ(tours[k], 3) << k;
    }
    EXPECT_TRUE(l.termine());
}

TEST_F(ModeleRejeuTest, ASessionOfTheFilterShowsWhereItPutTheRobotWithTheRawEstimateBeside)
{
    const OptionsRejeu o = options("");
    EtatRejeu etat;
    const auto trame = [&](int numero, int x, int y) {
        positions[premierIntervalle(numero)] = {x, y};
        const auto octets = protocole::encoderTrame(horodatages(numero), 0, 200);
        journal::Enregistrement e;
        e.genre = journal::Genre::Recu;
        e.charge.assign(octets.begin(), octets.end());
        etat.appliquer(e, o.estimateur);
    };
    const auto position = [&](journal::PositionFiltree p) {
        journal::Enregistrement e;
        e.genre = journal::Genre::Position;
        e.charge.resize(journal::TaillePosition);
        journal::encoderPosition(e.charge.data(), p);
        etat.appliquer(e, o.estimateur);
    };
    // An older session: the frame places the robot itself.
    trame(0, 300, 200);
    EXPECT_EQ(etat.robot, (Point{300, 200}));
    EXPECT_EQ(etat.brut, (Point{-1, -1}));
    // The filter's session: its record follows the frame and stands.
    position({304, 198, 296, 201});
    EXPECT_EQ(etat.robot, (Point{296, 201}));
    EXPECT_EQ(etat.brut, (Point{304, 198}));
    trame(1, 100, 100); // a jump the live filter refused: no record moved it
    EXPECT_EQ(etat.robot, (Point{296, 201}));
    Instantane image;
    Itineraire itineraire;
    instantaneRejeu(etat, image, itineraire);
    EXPECT_EQ(image.robotPos, (Point{296, 201}));
    EXPECT_EQ(image.brutPos, (Point{304, 198}));
}
