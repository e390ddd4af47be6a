// Missions of the whole loop: N seeded random fields, each with painted walls
// (painted on the console's map as well) and, in the second series, hidden
// blocks that only the bumper finds, one of them on the straight route; the
// dense series has four walls and three hidden blocks, two on the route.
// Each field runs twice, the position filter off, then on (the settings
// store's Navigation/Filtre; the escape out of margins on for both, or off
// for both with KIV_MISSION_EVASION=off), and each series prints one line
// for each: arrivals (the console's word, and truly in the goal cell), the
// final distance from the goal cell's centre, give-ups (with a way out: the
// escape search finds one from the robot's known cell on the console's map),
// the error of the console's position and of the raw estimates (mean, 95th
// percentile), bumps, phantom marks, recoveries, the longest run of
// consecutive contacts (contacts at most 4 frames apart) and the escapes
// used (navigation passes that began one after a pass without).
// The virtual robot runs on a pseudo-terminal in --fast mode against the
// console offscreen (serial engine, network, navigation, bumper handling),
// each frame leaving once the navigation has handled every change (as
// between two frames of a robot in real time); each field ends arrived, stuck (no progress towards
// the goal for a long time) or gave up (the console finds no path).
//   bench_mission [fields per series, 100] [first seed, 1] [open|hidden|dense|both|all|faults]
// ("both": open and hidden; "all", the default: open, hidden and dense).
// "faults": the same open fields four times, the robot in real time (a frame
// every 100 ms, the console's silence threshold at 40 ms) through a relay
// that makes no fault, then loses bytes at 1e-4 and at 1e-3, then flips bits
// at 1e-4; phantom marks are marked cells with no obstacle nor side within
// two cells.
// KIV_MISSION_TRACE=k writes the robot's trace of field k to $TMPDIR/mission-k-off.csv and
// mission-k-on.csv (faults: mission-k.csv), and when it gives up or is stuck, the console's
// map beside the field's truth on the standard error. KIV_MISSION_FILTRE=off or on runs
// only that side (the faults: with the filter on unless off);
// KIV_MISSION_FAUTES=none,loss4,loss3,flips4 only those fault series.
#include "console/KIVView.h"
#include "console/MainFrame.h"
#include "console/ReglageEvasion.h"
#include "console/ReglageFiltre.h"
#include "console/ReglageSilence.h"
#include "core/CatalogueReglages.h"
#include "core/scripted/ScriptedPlatform.h"
#include "link/SerialPort.h"
#include "link/settings/EcritureScom.h"
#include "robot/Liaison.h"
#include "robot/Relais.h"
#include "robot/RobotVirtuel.h"
#include "robot/Session.h"
#include "world/MapEditing.h"
#include "world/PlanificateurEvasion.h"
#include "world/PositionFiltree.h"
#include "world/WorldChange.h"
#include "world/WorldState.h"
#include "world/WorldThreads.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <queue>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

enum class Issue { Arrive, Bloque, Abandon };

/** The fields of a series: painted walls only, with hidden blocks, or denser. */
enum class Genre { Ouvert, Caches, Dense };

/** Two contacts at most this many frames apart belong to one run of consecutive contacts. */
constexpr long EcartRafale = 4;

struct TerrainMission {
    Scenario scenario;
    int butC = 0, butR = 0;
};

/** Cells the planner may enter once every obstacle is known: free of them and of their margin. */
bool libre(const Scenario& s, int c, int r)
{
    if (c < 1 || r < 1 || c > 18 || r > 18) {
        return false;
    }
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            if (s.obstacle[r + dr][c + dc] != 0) {
                return false;
            }
        }
    }
    return true;
}

bool chemin(const Scenario& s, int c0, int r0, int c1, int r1)
{
    bool vu[20][20] = {};
    std::queue<std::pair<int, int>> file;
    file.push({c0, r0});
    vu[r0][c0] = true;
    while (!file.empty()) {
        const auto [c, r] = file.front();
        file.pop();
        if (c == c1 && r == r1) {
            return true;
        }
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                const int nc = c + dc;
                const int nr = r + dr;
                if (libre(s, nc, nr) && !vu[nr][nc]) {
                    vu[nr][nc] = true;
                    file.push({nc, nr});
                }
            }
        }
    }
    return false;
}

/** A hidden block of `taille` x `taille` cells at the fraction `f` of the straight route. */
void bloquerRoute(Scenario& s, int c0, int r0, int c1, int r1, double f, int taille)
{
    const int bc = static_cast<int>(std::lround(c0 + f * (c1 - c0)));
    const int br = static_cast<int>(std::lround(r0 + f * (r1 - r0)));
    for (int dr = 0; dr < taille; ++dr) {
        for (int dc = 0; dc < taille; ++dc) {
            s.obstacle[std::min(19, br + dr)][std::min(19, bc + dc)] = 1;
        }
    }
}

/**
 * A random field: painted walls (two, four when dense), hidden blocks (one
 * on the straight route and one anywhere; dense: two on the route), a start
 * and a goal joined by a path.
 */
TerrainMission tirer(std::mt19937& alea, Genre genre)
{
    const bool caches = genre != Genre::Ouvert;
    const int murs = genre == Genre::Dense ? 4 : 2;
    auto u = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(alea); };
    for (;;) {
        TerrainMission t;
        Scenario& s = t.scenario;
        s.graine = alea();
        for (int k = 0; k < murs; ++k) {
            const bool horizontal = u(0, 1) == 1;
            const int longueur = u(3, 8);
            const int c = u(2, horizontal ? 17 - longueur : 17);
            const int r = u(2, horizontal ? 17 : 17 - longueur);
            for (int i = 0; i < longueur; ++i) {
                s.obstacle[horizontal ? r : r + i][horizontal ? c + i : c] = 2;
            }
        }
        const int c0 = u(1, 18), r0 = u(1, 18), c1 = u(1, 18), r1 = u(1, 18);
        if (!libre(s, c0, r0) || !libre(s, c1, r1) || std::hypot(c1 - c0, r1 - r0) < 8) {
            continue;
        }
        if (caches) {
            // One block on the straight route, one anywhere; dense: one more
            // on the route.
            if (genre == Genre::Dense) {
                bloquerRoute(s, c0, r0, c1, r1, u(25, 40) / 100.0, u(1, 2));
                bloquerRoute(s, c0, r0, c1, r1, u(60, 75) / 100.0, u(1, 2));
            } else {
                bloquerRoute(s, c0, r0, c1, r1, u(35, 65) / 100.0, u(1, 2));
            }
            s.obstacle[u(2, 17)][u(2, 17)] = 1;
            if (!libre(s, c0, r0) || !libre(s, c1, r1)) {
                continue;
            }
        }
        if (!chemin(s, c0, r0, c1, r1)) {
            continue;
        }
        s.x = c0 * 25 + 12.5;
        s.y = r0 * 25 + 12.5;
        s.cap = u(0, 359);
        t.butC = c1;
        t.butR = r1;
        return t;
    }
}

std::size_t marquees()
{
    std::size_t n = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            n += valeurCellule(x, y) == 3 ? 1 : 0;
        }
    }
    return n;
}

/** Marked cells with no obstacle of the field nor side within two cells: marks of no contact. */
std::size_t fantomes(const Scenario& s)
{
    std::size_t n = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (valeurCellule(x, y) != 3) {
                continue;
            }
            bool explique = x < 3 || y < 3 || x > 16 || y > 16;
            for (int dy = -2; dy <= 2 && !explique; ++dy) {
                for (int dx = -2; dx <= 2 && !explique; ++dx) {
                    const int c = x + dx;
                    const int r = y + dy;
                    explique = c >= 0 && r >= 0 && c < 20 && r < 20 && s.obstacle[r][c] != 0;
                }
            }
            n += explique ? 0 : 1;
        }
    }
    return n;
}

/** How the robot talks to the console: in --fast lock step, or in real time through a relay. */
struct Ligne {
    /** Null: no relay, --fast. */
    const robotsim::ReglagesRelais* relais = nullptr;
    int periodeMs = 100;
};

struct Resultat {
    Issue issue = Issue::Bloque;
    bool vraiArrive = false;
    long trames = 0;
    long contacts = 0;
    double erreurMoyenne = 0.0;
    std::string cause;
    std::size_t fantomes = 0;
    std::uint64_t resynchros = 0;
    robotsim::BilanRelais relais;
    long manquantes = 0;
    /** The longest run of consecutive contacts. */
    long rafale = 0;
    /** Escapes begun by the navigation. */
    long evasions = 0;
    /** Errors of the console's position and of the raw estimates, cm, one per period. */
    std::vector<double> erreurs, erreursBrutes;
    /** Final distance from the goal cell's centre, cm. */
    double distanceFinale = 0.0;
    /** Recoveries the navigation made. */
    int degagements = 0;
    /** Gave up although the escape search finds a way out from the robot's known cell. */
    bool issuePossible = false;
};

/** Escapes the navigation began, from its trace: a pass planning one after a pass that did not. */
long evasionsTracees()
{
    long debuts = 0;
    bool precedente = false;
    bool celleCi = false;
    for (const auto& t : static_cast<ScriptedPlatform&>(platform()).traces()) {
        if (t.channel != TraceChannel::Navigation) {
            continue;
        }
        if (t.line.rfind("escape", 0) == 0) {
            debuts += !precedente && !celleCi ? 1 : 0;
            celleCi = true;
        } else if (t.line.rfind("wheels", 0) == 0 || t.line == "no path" || t.line == "stop") {
            precedente = celleCi;
            celleCi = false;
        }
    }
    return debuts;
}

/** What the robot's thread shares with the bench's: the truth after each period. */
struct Verite {
    std::mutex m;
    robotsim::Pose pose;
    long periodes = 0;
    double sommeErreur = 0.0;
    std::vector<double> erreurs, erreursBrutes;
    long contacts = 0;
    long dernierContact = -1000;
    long rafale = 0;
    long pireRafale = 0;
};

Resultat courir(const TerrainMission& t, std::ostream* trace, const Ligne& ligne = {})
{
    Resultat res;
    std::string erreur;
    auto liaison = robotsim::Liaison::creerPty({}, erreur);
    if (!liaison) {
        std::fprintf(stderr, "%s\n", erreur.c_str());
        std::exit(1);
    }
    std::unique_ptr<robotsim::Relais> relais;
    if (ligne.relais != nullptr) {
        relais = robotsim::Relais::creer(liaison->nom(), *ligne.relais, erreur);
        if (!relais) {
            std::fprintf(stderr, "%s\n", erreur.c_str());
            std::exit(1);
        }
        relais->demarrer();
    }
    qputenv("KIV_COM1", QByteArray::fromStdString(relais ? relais->nom() : liaison->nom()));
    Scenario scenario = t.scenario;
    if (relais) {
        scenario.periodeMs = ligne.periodeMs;
    }
    robotsim::RobotVirtuel robot(scenario);
    Verite verite;
    std::atomic<bool> arret{false};
    robotsim::OptionsSession options;
    options.rapide = !relais;
    // Without its reply a robot in real time waits three periods, then stops its wheels.
    options.delaiReponseMs = relais ? 3 * ligne.periodeMs : 2000;
    options.trace = trace;
    options.apresPeriode = [&verite](const robotsim::RobotVirtuel& r) {
        const Point estime = monde().robot.position();
        const Point brut = monde().suivi.actif != 0 ? monde().suivi.brut.get() : Point{-1, -1};
        {
            std::lock_guard verrou(verite.m);
            verite.pose = r.pose();
            ++verite.periodes;
            const double e = std::hypot(estime.x - r.pose().x, estime.y - r.pose().y);
            verite.sommeErreur += e;
            verite.erreurs.push_back(e);
            if (brut.x >= 0) {
                verite.erreursBrutes.push_back(
                    std::hypot(brut.x - r.pose().x, brut.y - r.pose().y));
            }
            if (r.contacts() > verite.contacts) {
                verite.contacts = r.contacts();
                const bool suite = verite.periodes - verite.dernierContact <= EcartRafale;
                verite.rafale = suite ? verite.rafale + 1 : 1;
                verite.pireRafale = std::max(verite.pireRafale, verite.rafale);
                verite.dernierContact = verite.periodes;
            }
        }
        // Lock step with the navigation: the next frame leaves once it has
        // handled every change, as between two frames of a robot in real time.
        for (int k = 0; k < 100000 && blockedWorldWaiters() < 1; ++k) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    };
    // In lock step (no relay) each status byte leaves once the console has
    // handled the frame's timestamps and the navigation has acted on them, so
    // that its reply carries the decision taken from this frame, whatever the
    // machine's load: the same field runs the same way every time.
    std::shared_ptr<const std::atomic<std::uint64_t>> traites;
    if (!relais) {
        options.avantEtat = [&traites, &arret](long envoyes) {
            const auto fin = std::chrono::steady_clock::now() + std::chrono::minutes(2);
            while (
                !arret && std::chrono::steady_clock::now() < fin &&
                (traites->load(std::memory_order_acquire) < static_cast<std::uint64_t>(envoyes) ||
                 blockedWorldWaiters() < 1)) {
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        };
    }
    robotsim::BilanSession bilan;
    std::thread fil;

    ResetWorld();
    static_cast<ScriptedPlatform&>(platform()).clear();
    {
        OptionsConsole oc;
        oc.poids = KIV_DATA_DIR "/beacons.wgh";
        oc.lien = [] { return makeSerialPort(); };
        CMainFrame frame(std::move(oc));
        frame.show();
        // The robot starts once the console listens on its line: every byte
        // it sends is one the console counts.
        while (!(frame.view()->lien() && frame.view()->lien()->threadAlive())) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        // Painted once the map window exists: its creation sets the world up
        // afresh (InitWorld), which would wipe walls painted before.
        for (int r = 0; r < 20; ++r) {
            for (int c = 0; c < 20; ++c) {
                if (t.scenario.obstacle[r][c] == 2) {
                    OnMapLeftButtonDown(Selection::Obstacle, c * 25 + 12, r * 25 + 12);
                }
            }
        }
        traites = frame.view()->compteurOctetsTraites();
        fil = std::thread(
            [&] { bilan = robotsim::executerSession(robot, *liaison, options, arret); });
        auto periodes = [&] {
            std::lock_guard verrou(verite.m);
            return verite.periodes;
        };
        // The event loop turns; it sleeps while nothing happens (a tick wakes it).
        QTimer tic;
        tic.start(10);
        auto tourner = [] {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        };
        // Localised first: the first frames put the robot where it is.
        while (periodes() < 5) {
            tourner();
        }
        const long depart = periodes();
        SetDestination(t.butC * 25 + 12, t.butR * 25 + 12);
        double meilleure = 1e9;
        long progres = depart;
        long sansChemin = 0;
        for (;;) {
            tourner();
            const long n = periodes();
            robotsim::Pose p;
            {
                std::lock_guard verrou(verite.m);
                p = verite.pose;
            }
            const bool arrive = monde().robot.cellule() == monde().destination.lire().cellule;
            const double d = std::hypot(p.x - (t.butC * 25 + 12.5), p.y - (t.butR * 25 + 12.5));
            res.distanceFinale = d;
            if (arrive) {
                res.issue = Issue::Arrive;
                res.trames = n - depart;
                res.vraiArrive =
                    static_cast<int>(p.x / 25) == t.butC && static_cast<int>(p.y / 25) == t.butR;
                break;
            }
            if (d < meilleure - 5.0) {
                meilleure = d;
                progres = n;
            }
            sansChemin =
                monde().drapeaux.sansCheminAffiche == 1 ? (sansChemin == 0 ? n : sansChemin) : 0;
            const bool abandon = sansChemin != 0 && n - sansChemin > 50;
            if (abandon || n - progres > 2000) {
                res.issue = abandon ? Issue::Abandon : Issue::Bloque;
                const Point connue = monde().robot.cellule();
                char c[200];
                std::snprintf(c, sizeof c,
                              "true (%.0f, %.0f) cell (%d, %d), known cell (%d, %d) holding %d, "
                              "goal holding %d, heading %d, %zu cells marked",
                              p.x, p.y, static_cast<int>(p.x / 25), static_cast<int>(p.y / 25),
                              connue.x, connue.y, valeurCellule(connue.x, connue.y),
                              valeurCellule(t.butC, t.butR), capRobot(), marquees());
                res.cause = c;
                if (trace != nullptr) {
                    // The console's map (grid values, R the known cell, G the
                    // goal) beside the field's truth (# an obstacle).
                    for (int y = 0; y < 20; ++y) {
                        std::string ligne;
                        for (int x = 0; x < 20; ++x) {
                            const bool robot = connue.x == x && connue.y == y;
                            const bool but = t.butC == x && t.butR == y;
                            ligne += robot ? 'R'
                                     : but ? 'G'
                                           : static_cast<char>('0' + valeurCellule(x, y));
                        }
                        ligne += "   ";
                        for (int x = 0; x < 20; ++x) {
                            ligne += t.scenario.obstacle[y][x] != 0 ? '#' : '.';
                        }
                        std::fprintf(stderr, "%s\n", ligne.c_str());
                    }
                }
                if (abandon) {
                    GrilleMonde grille;
                    copierGrille(grille);
                    thread_local Itineraire sortie;
                    planifierEvasion(grille, connue, {t.butC, t.butR}, sortie);
                    res.issuePossible = sortie.trouve;
                }
                break;
            }
        }
        res.fantomes = fantomes(t.scenario);
        res.evasions = evasionsTracees();
        res.degagements = monde().suivi.degagements.lire().nombre;
        res.resynchros = frame.view()->resynchronisations();
        arret = true;
    }
    fil.join();
    if (relais) {
        res.relais = relais->bilan();
        relais.reset();
    }
    ResetWorld();
    res.contacts = bilan.contacts;
    res.manquantes = bilan.manquantes;
    res.erreurMoyenne =
        verite.periodes > 0 ? verite.sommeErreur / static_cast<double>(verite.periodes) : 0.0;
    res.rafale = verite.pireRafale;
    res.erreurs = std::move(verite.erreurs);
    res.erreursBrutes = std::move(verite.erreursBrutes);
    return res;
}

/** The mean and the 95th percentile of `v` (0 and 0 when empty). */
std::pair<double, double> moyenneEtP95(std::vector<double>& v)
{
    if (v.empty()) {
        return {0.0, 0.0};
    }
    double somme = 0.0;
    for (const double e : v) {
        somme += e;
    }
    const auto k = static_cast<std::size_t>(0.95 * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
    return {somme / static_cast<double>(v.size()), v[k]};
}

/** A series' figures with the filter off or on. */
struct BilanSerie {
    int arrives = 0, vrais = 0, bloques = 0, abandons = 0, abandonsAvecIssue = 0;
    long somme = 0, pire = 0, contacts = 0, pireRafale = 0, evasions = 0;
    int champsRafaleLongue = 0, champsEvasion = 0, degagements = 0;
    std::size_t fantomes = 0;
    double sommeDistance = 0.0, pireDistance = 0.0;
    std::vector<double> erreurs, erreursBrutes;

    void ajouter(const Resultat& r)
    {
        erreurs.insert(erreurs.end(), r.erreurs.begin(), r.erreurs.end());
        erreursBrutes.insert(erreursBrutes.end(), r.erreursBrutes.begin(), r.erreursBrutes.end());
        contacts += r.contacts;
        fantomes += r.fantomes;
        degagements += r.degagements;
        sommeDistance += r.distanceFinale;
        pireDistance = std::max(pireDistance, r.distanceFinale);
        pireRafale = std::max(pireRafale, r.rafale);
        champsRafaleLongue += r.rafale > 5 ? 1 : 0;
        evasions += r.evasions;
        champsEvasion += r.evasions > 0 ? 1 : 0;
        if (r.issue == Issue::Arrive) {
            ++arrives;
            vrais += r.vraiArrive ? 1 : 0;
            somme += r.trames;
            pire = std::max(pire, r.trames);
        } else if (r.issue == Issue::Bloque) {
            ++bloques;
        } else {
            ++abandons;
            abandonsAvecIssue += r.issuePossible ? 1 : 0;
        }
    }

    void imprimer(const char* titre, const char* filtre, int n, double secondes)
    {
        const auto [erreur, erreur95] = moyenneEtP95(erreurs);
        const auto [brute, brute95] = moyenneEtP95(erreursBrutes);
        std::printf("%s, filter %s: %d fields, arrived %d (%.1f %%; truly in the goal cell %d, "
                    "%.1f %%), final distance from the goal cell's centre mean %.1f worst %.1f "
                    "cm, stuck %d, gave up %d (with a way out %d); frames to arrive mean %.0f "
                    "worst %ld; position error mean %.1f p95 %.1f cm, raw estimates mean %.1f "
                    "p95 %.1f cm; bumps %ld (%.2f a field); phantom marks %zu; recoveries %d; "
                    "longest run of contacts %ld (fields over 5: %d); escapes %ld in %d fields; "
                    "%.0f s\n",
                    titre, filtre, n, arrives, 100.0 * arrives / n, vrais, 100.0 * vrais / n,
                    sommeDistance / n, pireDistance, bloques, abandons, abandonsAvecIssue,
                    arrives > 0 ? static_cast<double>(somme) / arrives : 0.0, pire, erreur,
                    erreur95, brute, brute95, contacts, static_cast<double>(contacts) / n, fantomes,
                    degagements, pireRafale, champsRafaleLongue, evasions, champsEvasion, secondes);
    }
};

/** Runs the field with the filter off (false) or on, as the console's setting says. */
Resultat courirAvecFiltre(const TerrainMission& t, bool filtre, std::ostream* trace)
{
    const char* evasion = std::getenv("KIV_MISSION_EVASION");
    QSettings().setValue(QString::fromLatin1(reglages::Evasion.nom),
                         evasion == nullptr || std::strcmp(evasion, "off") != 0);
    QSettings().setValue(QString::fromLatin1(reglages::Filtre.nom), filtre);
    return courir(t, trace);
}

void serie(const char* titre, int n, std::uint32_t graine, Genre genre)
{
    std::mt19937 alea(graine);
    BilanSerie sans, avec;
    double secondes[2] = {0.0, 0.0};
    // KIV_MISSION_CHAMPS=16,23 runs only those fields (drawn all the same, so
    // each is the field of the full run); KIV_MISSION_FILTRE=on or off runs
    // only that side.
    const char* champs = std::getenv("KIV_MISSION_CHAMPS");
    const char* cote = std::getenv("KIV_MISSION_FILTRE");
    const int premierCote = cote != nullptr && std::strcmp(cote, "on") == 0 ? 1 : 0;
    const int dernierCote = cote != nullptr && std::strcmp(cote, "off") == 0 ? 0 : 1;
    int courus = 0;
    for (int k = 0; k < n; ++k) {
        const TerrainMission t = tirer(alea, genre);
        if (champs != nullptr &&
            (std::string(",") + champs + ",").find("," + std::to_string(k) + ",") ==
                std::string::npos) {
            continue;
        }
        ++courus;
        // KIV_MISSION_TRACE=k writes field k's traces (CSV), filter off and on,
        // to mission-k-off.csv and mission-k-on.csv.
        const char* suivi = std::getenv("KIV_MISSION_TRACE");
        const bool tracer = suivi != nullptr && std::atoi(suivi) == k;
        for (int evasion = premierCote; evasion <= dernierCote; ++evasion) {
            std::ofstream trace;
            if (tracer) {
                trace.open(QDir::tempPath().toStdString() + "/mission-" + std::to_string(k) +
                           (evasion ? "-on" : "-off") + ".csv");
            }
            QElapsedTimer montre;
            montre.start();
            const Resultat r =
                courirAvecFiltre(t, evasion == 1, trace.is_open() ? &trace : nullptr);
            secondes[evasion] += static_cast<double>(montre.elapsed()) / 1000.0;
            (evasion ? avec : sans).ajouter(r);
            if (r.issue != Issue::Arrive || r.rafale > 5) {
                const char* issue = r.issue == Issue::Arrive   ? "arrived"
                                    : r.issue == Issue::Bloque ? "stuck"
                                                               : "gave up";
                std::printf("  field %d (seed %u), filter %s: %s%s, start (%.0f, %.0f) goal cell "
                            "(%d, %d), %ld contacts, longest run %ld, %ld escapes %s\n",
                            k, t.scenario.graine, evasion ? "on" : "off", issue,
                            r.issuePossible ? " with a way out" : "", t.scenario.x, t.scenario.y,
                            t.butC, t.butR, r.contacts, r.rafale, r.evasions, r.cause.c_str());
            }
        }
    }
    if (premierCote == 0) {
        sans.imprimer(titre, "off", courus, secondes[0]);
    }
    if (dernierCote == 1) {
        avec.imprimer(titre, "on", courus, secondes[1]);
    }
    QSettings().remove(QString::fromLatin1(reglages::Evasion.nom));
    QSettings().remove(QString::fromLatin1(reglages::Filtre.nom));
    std::fflush(stdout);
}

/** The same fields through a relay making `reglages`'s faults; one line of figures. */
void serieFautes(const char* titre, int n, std::uint32_t graine,
                 const robotsim::ReglagesRelais& reglages)
{
    std::mt19937 alea(graine);
    int arrives = 0, bloques = 0, abandons = 0, perdusParFantome = 0;
    long somme = 0, contacts = 0;
    std::size_t fantomes = 0;
    std::uint64_t resynchros = 0, perdus = 0, inverses = 0, lus = 0;
    long manquantes = 0;
    QElapsedTimer montre;
    montre.start();
    for (int k = 0; k < n; ++k) {
        const TerrainMission t = tirer(alea, Genre::Ouvert);
        robotsim::ReglagesRelais r = reglages;
        r.graine = graine * 1000 + static_cast<std::uint32_t>(k);
        const char* suivi = std::getenv("KIV_MISSION_TRACE");
        std::ofstream trace;
        if (suivi != nullptr && std::atoi(suivi) == k) {
            trace.open(QDir::tempPath().toStdString() + "/mission-" + std::to_string(k) + ".csv");
        }
        const char* filtre = std::getenv("KIV_MISSION_FILTRE");
        QSettings().setValue(QString::fromLatin1(reglages::Filtre.nom),
                             filtre == nullptr || std::strcmp(filtre, "off") != 0);
        const Resultat res = courir(t, trace.is_open() ? &trace : nullptr, Ligne{&r, 100});
        manquantes += res.manquantes;
        contacts += res.contacts;
        fantomes += res.fantomes;
        resynchros += res.resynchros;
        perdus += res.relais.perdus;
        inverses += res.relais.inverses;
        lus += res.relais.lus;
        if (res.issue == Issue::Arrive) {
            ++arrives;
            somme += res.trames;
        } else {
            (res.issue == Issue::Bloque ? bloques : abandons)++;
            perdusParFantome += res.fantomes > 0 ? 1 : 0;
            std::printf("  field %d: %s, %zu phantom marks, %ld contacts %s\n", k,
                        res.issue == Issue::Bloque ? "stuck" : "gave up", res.fantomes,
                        res.contacts, res.cause.c_str());
        }
    }
    std::printf(
        "%s: %d fields, arrived %d (%.1f %%), stuck %d, gave up %d (%d of them with "
        "phantom marks); frames to arrive mean %.0f; bumps %ld; phantom marks %zu; "
        "bytes %llu, lost %llu, flipped %llu; frames cut short %llu; frames unanswered %ld; "
        "%.0f s\n",
        titre, n, arrives, 100.0 * arrives / n, bloques, abandons, perdusParFantome,
        arrives > 0 ? static_cast<double>(somme) / arrives : 0.0, contacts, fantomes,
        static_cast<unsigned long long>(lus), static_cast<unsigned long long>(perdus),
        static_cast<unsigned long long>(inverses), static_cast<unsigned long long>(resynchros),
        manquantes, static_cast<double>(montre.elapsed()) / 1000.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ScriptedPlatform scripted;
    setPlatform(&scripted);
    QTemporaryDir dossier;
    if (!dossier.isValid() || !QDir::setCurrent(dossier.path()) ||
        !ecrireScom(PortSettings{1, 38400})) {
        std::fprintf(stderr, "cannot prepare the settings file\n");
        return 1;
    }
    // This run's settings store: the user's is neither read nor changed, and
    // two runs side by side do not share one.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier.path());
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const auto graine = static_cast<std::uint32_t>(argc > 2 ? std::atoi(argv[2]) : 1);
    const std::string series = argc > 3 ? argv[3] : "all";
    if (series == "faults") {
        // A robot in real time at 100 ms: its frames are parted by at least
        // 50 ms of silence, above this threshold.
        QSettings().setValue(QString::fromLatin1(reglages::SilenceResynchro.nom), 40);
        robotsim::ReglagesRelais sans;
        robotsim::ReglagesRelais perte4;
        perte4.tauxPerte = 1e-4;
        robotsim::ReglagesRelais perte3;
        perte3.tauxPerte = 1e-3;
        robotsim::ReglagesRelais bits4;
        bits4.tauxInversion = 1e-4;
        // KIV_MISSION_FAUTES=none,loss4,loss3,flips4 runs only those series.
        const char* choix = std::getenv("KIV_MISSION_FAUTES");
        const auto lancer = [&](const char* nom, const char* titre,
                                const robotsim::ReglagesRelais& reglages) {
            if (choix == nullptr ||
                (std::string(",") + choix + ",").find(std::string(",") + nom + ",") !=
                    std::string::npos) {
                serieFautes(titre, n, graine, reglages);
            }
        };
        lancer("none", "no fault", sans);
        lancer("loss4", "bytes lost at 1e-4", perte4);
        lancer("loss3", "bytes lost at 1e-3", perte3);
        lancer("flips4", "bits flipped at 1e-4", bits4);
        QSettings().remove(QString::fromLatin1(reglages::SilenceResynchro.nom));
        setPlatform(nullptr);
        return 0;
    }
    // In lock step the robot waits inside its frames for the console: no
    // silence may start a new frame there.
    QSettings().setValue(QString::fromLatin1(reglages::SilenceResynchro.nom), 0);
    const bool tout = series == "all";
    if (tout || series == "both" || series == "open") {
        serie("without hidden obstacles", n, graine, Genre::Ouvert);
    }
    if (tout || series == "both" || series == "hidden") {
        serie("with hidden obstacles", n, graine + 1000, Genre::Caches);
    }
    if (tout || series == "dense") {
        serie("dense", n, graine + 2000, Genre::Dense);
    }
    QSettings().remove(QString::fromLatin1(reglages::SilenceResynchro.nom));
    setPlatform(nullptr);
    return 0;
}
