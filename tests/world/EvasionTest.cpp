// The escape out of margins: the pure search on hand-made grids, then the
// navigation thread using it (a robot shut in by margins drives out and
// arrives; one shut in by obstacles still stops; with the setting off, or
// where a route exists, everything is as without it).
#include "WorldFixture.h"

#include "core/scripted/ScriptedPlatform.h"
#include "world/Evasion.h"
#include "world/GridEdits.h"
#include "world/Navigation.h"
#include "world/PlanificateurEvasion.h"
#include "world/RaisonSansChemin.h"
#include "world/RobotReports.h"
#include "world/WorldClock.h"
#include "world/WorldThreads.h"

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

/**
 * A grid from 20 rows of 20 characters: '.' free, 'm' margin, '#' operator
 * obstacle, 'x' sensor obstacle; the border around them holds 1.
 */
GrilleMonde grilleDe(const std::vector<std::string>& lignes)
{
    GrilleMonde g{};
    for (auto& ligne : g) {
        ligne.fill(1);
    }
    EXPECT_EQ(lignes.size(), 20u);
    for (int y = 0; y < geo::Cells; ++y) {
        EXPECT_EQ(lignes[static_cast<std::size_t>(y)].size(), 20u) << "row " << y;
        for (int x = 0; x < geo::Cells; ++x) {
            const char c = lignes[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            g[y + 1][x + 1] = c == '.' ? 0 : c == 'm' ? 2 : c == '#' ? 1 : 3;
        }
    }
    return g;
}

/** The cells of a route, from the one next to the start to the end. */
std::vector<Point> cellules(const Itineraire& it)
{
    std::vector<Point> v;
    for (int k = it.longueur - 1; k >= 0; --k) {
        const PathNode& n = it.chemin[static_cast<std::size_t>(k)];
        v.push_back({n.x, n.y});
    }
    return v;
}

// The robot at (5, 3) stands in margin between two sensor marks diagonal to
// each other; the route search cannot leave its cell.
const std::vector<std::string> DeuxMarques = {
    "mmmmmmmmmmmmmmmmmmmm", //  0
    "m..................m", //  1
    "m..mmm.............m", //  2
    "m..mxm.............m", //  3: (4, 3) marked
    "m..mmmm............m", //  4
    "m...mxm............m", //  5: (5, 5) marked
    "m...mmm............m", //  6
    "m..................m", //  7
    "m..................m", //  8
    "m..................m", //  9
    "m..................m", // 10
    "m..................m", // 11
    "m..................m", // 12
    "m..................m", // 13
    "m..................m", // 14
    "m..................m", // 15
    "m..................m", // 16
    "m..................m", // 17
    "m..................m", // 18
    "mmmmmmmmmmmmmmmmmmmm", // 19
};

} // namespace

TEST(PlanificateurEvasion, LeavesMarginsByTheNearestExitThatReachesTheGoal)
{
    const GrilleMonde g = grilleDe(DeuxMarques);
    thread_local Itineraire route;
    planifier(g, {5, 4}, {15, 15}, route);
    ASSERT_FALSE(route.trouve) << "the case the escape is for";

    thread_local Itineraire evasion;
    planifierEvasion(g, {5, 4}, {15, 15}, evasion);
    ASSERT_TRUE(evasion.trouve);
    // One diagonal step up-right, past the margins of both marks, to the free (6, 3).
    EXPECT_EQ(cellules(evasion), (std::vector<Point>{{6, 3}}));
    EXPECT_EQ(evasion.chemin[0].direction, 2);
    planifier(g, {6, 3}, {15, 15}, route);
    EXPECT_TRUE(route.trouve) << "from the exit the route search goes on";

    // A free cell one step away that leads nowhere (a pocket walled by
    // obstacles) is passed over for the farther one that reaches the goal.
    const GrilleMonde poche = grilleDe({
        "mmmmmmmmmmmmmmmmmmmm", "m..................m", "m..................m",
        "m..................m", "m..................m", "m..................m",
        "m..................m", "m..#####...........m", "m..##mm#...........m",
        "m..#.mm#...........m", "m..##mm#...........m", "m..##mm#...........m",
        "m..................m", "m..................m", "m..................m",
        "m..................m", "m..................m", "m..................m",
        "m..................m", "mmmmmmmmmmmmmmmmmmmm",
    });
    planifier(poche, {5, 9}, {15, 15}, route);
    ASSERT_FALSE(route.trouve);
    planifierEvasion(poche, {5, 9}, {15, 15}, evasion);
    ASSERT_TRUE(evasion.trouve);
    EXPECT_EQ(cellules(evasion), (std::vector<Point>{{5, 10}, {5, 11}, {5, 12}}))
        << "not into the pocket (4, 9)";
}

TEST(PlanificateurEvasion, NeverThroughAnObstacleTheOuterRingOrAnObstaclesCorner)
{
    // Shut in by obstacles above, below and to the right; the only ways on
    // are along the outer ring (left) or past two obstacles' corners (up-right).
    const std::string libre = "m..................m";
    const std::string ligneDe = "mmmmm..............m";
    const GrilleMonde g = grilleDe({
        "mmmmmmmmmmmmmmmmmmmm",
        libre,
        libre,
        libre,
        "mmmm...............m",
        "m##mm..............m",
        "mmm#m..............m",
        "mmmxm..............m",
        "m###m..............m",
        ligneDe,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        "mmmmmmmmmmmmmmmmmmmm",
    });
    thread_local Itineraire evasion;
    planifierEvasion(g, {1, 6}, {10, 10}, evasion);
    EXPECT_FALSE(evasion.trouve);
    EXPECT_EQ(evasion.longueur, 0);
    // Every cell the search settled is neither an obstacle nor on the ring.
    for (int y = 0; y < geo::Cells; ++y) {
        for (int x = 0; x < geo::Cells; ++x) {
            if (evasion.directions[y][x] > 0) {
                const int v = g[y + 1][x + 1];
                EXPECT_TRUE(v == 0 || v == 2) << x << "," << y;
                EXPECT_TRUE(x > 0 && y > 0 && x < 19 && y < 19) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(evasion.directions[7][1], 5) << "the margin below is entered";

    // The same pen opened by one margin cell in its right wall: out through it.
    GrilleMonde ouvert = g;
    ouvert[7 + 1][3 + 1] = 2;
    planifierEvasion(ouvert, {1, 6}, {10, 10}, evasion);
    ASSERT_TRUE(evasion.trouve);
    EXPECT_EQ(cellules(evasion), (std::vector<Point>{{2, 7}, {3, 7}, {4, 7}, {5, 7}}));
}

TEST(PlanificateurEvasion, ARobotSqueezedIntoTheOuterRingLeavesAlongIt)
{
    // (5, 19): between a hidden block marked at (5, 18) and the wall; every
    // move the route search allows is refused, and no diagonal passes the
    // mark's corner. Along the ring to (3, 19), then up into the field.
    const std::string libre = "m..................m";
    const GrilleMonde g = grilleDe({
        "mmmmmmmmmmmmmmmmmmmm",
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        libre,
        "m...mmm............m",
        "m...mxm............m",
        "mmmmmmmmmmmmmmmmmmmm",
    });
    thread_local Itineraire evasion;
    planifierEvasion(g, {5, 19}, {10, 10}, evasion);
    ASSERT_TRUE(evasion.trouve);
    const std::vector<Point> pas = cellules(evasion);
    ASSERT_FALSE(pas.empty());
    EXPECT_EQ(pas.front(), (Point{4, 19}));
    EXPECT_EQ(g[pas.back().y + 1][pas.back().x + 1], 0) << "it ends on a free cell";

    // From inside the field the ring stays out of every escape (above).
    planifierEvasion(g, {4, 18}, {10, 10}, evasion);
    ASSERT_TRUE(evasion.trouve);
    for (const Point p : cellules(evasion)) {
        EXPECT_TRUE(p.x > 0 && p.y > 0 && p.x < 19 && p.y < 19) << p.x << "," << p.y;
    }
}

TEST(PlanificateurEvasion, NoneWithoutAWayOutOrAFreeGoal)
{
    const GrilleMonde g = grilleDe(DeuxMarques);
    thread_local Itineraire evasion;
    // Walled in by obstacles all round.
    GrilleMonde muree = g;
    for (int k = 1; k <= 8; ++k) {
        muree[4 + 1 + geo::Steps[k].dy][5 + 1 + geo::Steps[k].dx] = 1;
    }
    planifierEvasion(muree, {5, 4}, {15, 15}, evasion);
    EXPECT_FALSE(evasion.trouve);
    // A goal in margin or an obstacle: no free cell leads there.
    planifierEvasion(g, {5, 4}, {5, 3}, evasion);
    EXPECT_FALSE(evasion.trouve);
    planifierEvasion(g, {5, 4}, {4, 3}, evasion);
    EXPECT_FALSE(evasion.trouve);
    // A start that needs no escape, or cells outside the field.
    planifierEvasion(g, {10, 10}, {15, 15}, evasion);
    EXPECT_FALSE(evasion.trouve);
    planifierEvasion(g, {5, 4}, {20, 15}, evasion);
    EXPECT_FALSE(evasion.trouve);
    planifierEvasion(g, {-1, 4}, {15, 15}, evasion);
    EXPECT_FALSE(evasion.trouve);
}

namespace {

ScriptedPlatform& scripted()
{
    return static_cast<ScriptedPlatform&>(platform());
}

std::pair<int, int> roues()
{
    const OrdresRobot o = monde().ordres.lire();
    return {o.roueGauche, o.roueDroite};
}

Point celluleRobot()
{
    return monde().robot.cellule();
}

class EvasionNavigationTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        scripted().clear();
        scripted().setSleepScale(0.0);
        setWorldClock(&horloge);
    }
    void TearDown() override
    {
        WorldTest::TearDown();
        scripted().setSleepScale(1.0);
    }

    /** The robot at (5, 4) between sensor marks at (4, 3) and (5, 5), as DeuxMarques. */
    static void deuxMarques()
    {
        MarkObstacle(3 + 1, 4 + 1);
        MarkObstacle(5 + 1, 5 + 1);
        SetRobotPosition(25 * 5 + 12, 25 * 4 + 12);
    }

    /**
     * Eight obstacles `pas` cells around (8, 8), the robot there, the
     * destination at (14, 8); the navigation started.
     */
    static void entourer(int pas)
    {
        for (int k = 1; k <= 8; ++k) {
            PlaceObstacle(8 + 1 + pas * geo::Steps[k].dy, 8 + 1 + pas * geo::Steps[k].dx);
        }
        SetRobotPosition(25 * 8 + 12, 25 * 8 + 12);
        SetDestination(25 * 14 + 12, 25 * 8 + 12);
        StartNavigation();
    }

    ManualWorldClock horloge;
};

} // namespace

TEST_F(EvasionNavigationTest, EnclosedRobotWithAWayOutEscapesAndArrives)
{
    deuxMarques();
    SetDestination(25 * 9 + 12, 25 * 4 + 12);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_TRUE(routeEvasion());
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 0) << "the map shows the escape";
    const std::vector<PathNode> evasion = pathCopy();
    ASSERT_EQ(evasion.size(), 1u);
    EXPECT_EQ(evasion[0].x, 6);
    EXPECT_EQ(evasion[0].y, 3);
    EXPECT_EQ(monde().drapeaux.premierPas, 2);
    // The heading is unknown: the probe drives straight, as on a route.
    EXPECT_EQ(roues(), (std::pair{2, 2}));
    EXPECT_EQ(navigationTrace(), (std::vector<std::string>{"escape 2", "probe"}));

    // A virtual run: the first cell is the escape's exit, then the route.
    SetSimRunning(1);
    StartSimulation();
    ASSERT_TRUE(threadsAtRest(2));
    EXPECT_EQ(celluleRobot(), (Point{6, 3}));
    EXPECT_FALSE(routeEvasion()) << "from the exit the route search takes over";
    EXPECT_TRUE(pathIsLegal(pathCopy(), snapshotGrid(), 6, 3, 9, 4));
    for (int pas = 0; pas < 10 && !(celluleRobot() == Point{9, 4}); ++pas) {
        horloge.advance(1500ms);
        ASSERT_TRUE(threadsAtRest(2)) << "the run goes on past the escape's exit";
    }
    EXPECT_EQ(celluleRobot(), (Point{9, 4}));
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    EXPECT_EQ(navigationTrace().back(), "stop");
}

TEST_F(EvasionNavigationTest, EnclosedRobotWithoutAWayOutStillStops)
{
    // Obstacles on all eight sides of the robot's cell.
    entourer(1);
    ASSERT_TRUE(threadsAtRest());
    EXPECT_FALSE(routeEvasion());
    EXPECT_EQ(monde().drapeaux.premierPas, 0);
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 1);
    EXPECT_TRUE(pathCopy().empty());
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    EXPECT_EQ(navigationTrace(), (std::vector<std::string>{"no path"}));
    EXPECT_STREQ(texteRaisonSansChemin(raisonSansChemin({8, 8}, {14, 8})),
                 "Pas de chemin : le robot est enfermé");

    // A pass that finds neither a route nor an escape ends in a wait.
    const unsigned passes = monde().drapeaux.passesNavigation;
    notifyWorldChange();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_LE(monde().drapeaux.passesNavigation - passes, 2u);
}

TEST_F(EvasionNavigationTest, AFreeCellWalledInByMarginsIsLeftToo)
{
    // Eight obstacles two cells around (8, 8): the robot's cell is free, but
    // every cell around it is margin, and the route search cannot leave it.
    entourer(2);
    ASSERT_EQ(valeurCellule(8, 8), 0);
    ASSERT_TRUE(threadsAtRest());
    EXPECT_TRUE(routeEvasion());
    EXPECT_NE(monde().drapeaux.premierPas, 0);
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 0);
    const std::vector<PathNode> evasion = pathCopy();
    ASSERT_FALSE(evasion.empty());
    EXPECT_EQ(valeurCellule(evasion[0].x, evasion[0].y), 0) << "the exit is free";
    for (const PathNode& n : evasion) {
        EXPECT_NE(valeurCellule(n.x, n.y), 1) << "never through an obstacle";
    }
}

TEST_F(EvasionNavigationTest, SettingOffKeepsTheStopWhereNoRouteIsFound)
{
    monde().drapeaux.evasionPermise = 0;
    deuxMarques();
    SetDestination(25 * 9 + 12, 25 * 4 + 12);
    StartNavigation();
    ASSERT_TRUE(threadsAtRest());
    EXPECT_FALSE(routeEvasion());
    EXPECT_EQ(monde().drapeaux.premierPas, 0);
    EXPECT_TRUE(pathCopy().empty());
    EXPECT_EQ(monde().drapeaux.sansCheminAffiche, 1);
    EXPECT_EQ(roues(), (std::pair{0, 0}));
    EXPECT_EQ(navigationTrace(), (std::vector<std::string>{"no path"}));
    EXPECT_FALSE(chercherEvasion({5, 4}, {9, 4}));
}

TEST_F(EvasionNavigationTest, WhereARouteExistsTheEscapeChangesNothing)
{
    // The robot in margin beside a mark, a free cell next to it: PlanPath
    // finds the route. The same field with the escape on and off gives the
    // same route, wheel codes, turn orders and trace.
    struct Issue {
        std::vector<PathNode> chemin;
        std::pair<int, int> roues;
        int premierPas = 0;
        int cap = 0;
        std::vector<std::string> trace;
        std::size_t bips = 0;
    };
    const auto courir = [this](int permise) {
        ResetWorld();
        InitWorld();
        scripted().clear();
        setWorldClock(&horloge);
        monde().drapeaux.evasionPermise = permise;
        MarkObstacle(4 + 1, 6 + 1);
        SetRobotPosition(25 * 5 + 12, 25 * 5 + 12);
        fixerCap(1);
        SetDestination(25 * 12 + 12, 25 * 12 + 12);
        StartNavigation();
        EXPECT_TRUE(threadsAtRest());
        SetRobotPosition(25 * 6 + 12, 25 * 6 + 12); // one cell along it
        EXPECT_TRUE(threadsAtRest());
        Issue i{pathCopy(), roues(),           monde().drapeaux.premierPas,
                capRobot(), navigationTrace(), scripted().beeps().size()};
        EXPECT_FALSE(routeEvasion());
        StopWorldThreads();
        return i;
    };
    const Issue avec = courir(1);
    const Issue sans = courir(0);
    ASSERT_FALSE(avec.chemin.empty());
    ASSERT_EQ(avec.chemin.size(), sans.chemin.size());
    for (std::size_t k = 0; k < avec.chemin.size(); ++k) {
        EXPECT_EQ(avec.chemin[k].x, sans.chemin[k].x);
        EXPECT_EQ(avec.chemin[k].y, sans.chemin[k].y);
        EXPECT_EQ(avec.chemin[k].direction, sans.chemin[k].direction);
    }
    EXPECT_EQ(avec.roues, sans.roues);
    EXPECT_EQ(avec.premierPas, sans.premierPas);
    EXPECT_EQ(avec.cap, sans.cap);
    EXPECT_EQ(avec.trace, sans.trace);
    EXPECT_EQ(avec.bips, sans.bips);
    for (const std::string& ligne : avec.trace) {
        EXPECT_EQ(ligne.rfind("escape", 0), std::string::npos) << ligne;
    }
}

TEST_F(EvasionNavigationTest, ASideContactOnAMarkedCellMarksTheCellAhead)
{
    // Heading right from (8, 8): ahead-right is (9, 9), ahead (9, 8).
    SetRobotPosition(25 * 8 + 12, 25 * 8 + 12);
    fixerCap(3);
    HandleBumpers(1, 0);
    EXPECT_EQ(valeurCellule(9, 9), 3);
    EXPECT_EQ(valeurCellule(9, 8), 2);
    monde().grille.modifiee = 0;
    HandleBumpers(1, 0);
    EXPECT_EQ(valeurCellule(9, 8), 3) << "pressed again: the cell straight ahead";
    EXPECT_EQ(monde().grille.modifiee, 1) << "the navigation plans again";
    EXPECT_TRUE(gridIsConsistent());
    // Both marked, or both bits (straight ahead already marked): nothing more.
    const GridSnapshot marque = snapshotGrid();
    HandleBumpers(1, 0);
    HandleBumpers(1, 1);
    EXPECT_EQ(snapshotGrid(), marque);
    // The other side on a fresh cell is a first contact there.
    HandleBumpers(0, 1);
    EXPECT_EQ(valeurCellule(9, 7), 3);

    // Beside the wall the side cell is the border: a contact with the wall
    // marks nothing, however often.
    ResetWorld();
    InitWorld();
    SetRobotPosition(25 * 8 + 12, 25 * 19 + 12);
    fixerCap(3);
    HandleBumpers(1, 0);
    HandleBumpers(1, 0);
    EXPECT_EQ(valeurCellule(9, 19), 2);

    // With the setting off a repeated contact marks nothing.
    ResetWorld();
    InitWorld();
    monde().drapeaux.evasionPermise = 0;
    SetRobotPosition(25 * 8 + 12, 25 * 8 + 12);
    fixerCap(3);
    HandleBumpers(1, 0);
    HandleBumpers(1, 0);
    EXPECT_EQ(valeurCellule(9, 9), 3);
    EXPECT_EQ(valeurCellule(9, 8), 2);
}

TEST_F(EvasionNavigationTest, AContactThatMarksNothingTurnsTheRobotTowardsTheRoute)
{
    // A contact that marks nothing (the field's wall, or a cell and the cell
    // ahead already marked) while the route's first step lies one code from
    // the heading: with the setting on the robot turns a quarter towards the
    // route instead of grinding along the obstacle; off, it only veers.
    struct Cas {
        int permise, bit0, bit1, cap, robotX, robotY, butX, butY;
        std::vector<Point> marques;
        std::vector<std::string> trace; ///< after the contact
        int virage, capApres;
    };
    const Cas cas[] = {
        // Heading right along the bottom wall, the route up-right.
        {1, 1, 0, 3, 8, 19, 14, 13, {}, {"away 1", "turn 5", "wheels 3 2"}, 5, 1},
        // Heading left along it, the route up-left: the other side, across 8/1.
        {1, 0, 1, 7, 8, 19, 2, 13, {}, {"away 2", "turn 1", "wheels 2 3"}, 1, 1},
        // Straight into a marked cell, the route down-right past it.
        {1, 1, 1, 3, 8, 8, 14, 14, {{9, 8}}, {"away 3", "turn 1", "wheels 2 3"}, 1, 5},
        {0, 1, 0, 3, 8, 19, 14, 13, {}, {}, 0, 3},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << c.bit0 << c.bit1 << " heading " << c.cap);
        ResetWorld();
        InitWorld();
        scripted().clear();
        setWorldClock(&horloge);
        monde().drapeaux.evasionPermise = c.permise;
        for (const Point& m : c.marques) {
            monde().grille[m.y + 1][m.x + 1] =
                3; // alone, as a robot ahead of its known cell finds it
        }
        SetRobotPosition(25 * c.robotX + 12, 25 * c.robotY + 12);
        SetDestination(25 * c.butX + 12, 25 * c.butY + 12);
        fixerCap(c.cap); // known: no probe
        StartNavigation();
        ASSERT_TRUE(threadsAtRest());
        ReportRobotStatus(0, 0, [](int, int, int) {}); // whatever the first pass turned
        ASSERT_TRUE(threadsAtRest());
        fixerCap(c.cap); // as the robot has been seen driving
        const int d = (monde().drapeaux.premierPas - capRobot() + 8) % 8;
        ASSERT_TRUE(d == 1 || d == 7) << monde().drapeaux.premierPas;
        const std::size_t avant = navigationTrace().size();
        const GridSnapshot grille = snapshotGrid();

        std::vector<int> virages;
        const auto envoyer = [&](int, int, int v) { virages.push_back(v); };
        ReportRobotStatus(c.bit0, c.bit1, envoyer);
        ASSERT_TRUE(threadsAtRest());
        ReportRobotStatus(0, 0, envoyer);
        ASSERT_TRUE(threadsAtRest());
        EXPECT_EQ(snapshotGrid(), grille) << "nothing new to mark";
        // The turn leaves with the contact's own answer or with the next one,
        // as the navigation is quick to order it.
        ASSERT_EQ(virages.size(), 2u);
        EXPECT_EQ(virages[0] + virages[1], c.virage);
        EXPECT_EQ(virages[0] * virages[1], 0);
        const std::vector<std::string> trace = navigationTrace();
        EXPECT_EQ(std::vector<std::string>(trace.begin() + static_cast<long>(avant), trace.end()),
                  c.trace);
        EXPECT_EQ(capRobot(), c.capApres);
        EXPECT_EQ(monde().drapeaux.contactRepete, 0);
        StopWorldThreads();
    }
}

TEST_F(EvasionNavigationTest, AContactDuringTheProbeTurnsItRound)
{
    // The heading unknown, the probe drives straight into something without
    // leaving its cell: nothing can be marked, and with the setting on the
    // probe turns round and goes on the other way, its heading measured on
    // the new leg alone; off, it presses on.
    for (const int permise : {1, 0}) {
        SCOPED_TRACE(permise);
        ResetWorld();
        InitWorld();
        scripted().clear();
        setWorldClock(&horloge);
        monde().drapeaux.evasionPermise = permise;
        SetRobotPosition(25 * 8 + 2, 25 * 1 + 12);
        SetDestination(25 * 8 + 12, 25 * 12 + 12);
        StartNavigation();
        ASSERT_TRUE(threadsAtRest());
        ASSERT_EQ(navigationTrace(), (std::vector<std::string>{"probe"}));
        SetRobotPosition(25 * 8 + 22, 25 * 1 + 12); // along its cell, to the right
        ASSERT_TRUE(threadsAtRest());
        const GridSnapshot grille = snapshotGrid();

        std::vector<int> virages;
        const auto envoyer = [&](int, int, int v) { virages.push_back(v); };
        ReportRobotStatus(1, 1, envoyer);
        ASSERT_TRUE(threadsAtRest());
        ReportRobotStatus(0, 0, envoyer);
        ASSERT_TRUE(threadsAtRest());
        EXPECT_EQ(snapshotGrid(), grille);
        EXPECT_EQ(roues(), (std::pair{2, 2})) << "still probing";
        ASSERT_EQ(virages.size(), 2u);
        EXPECT_EQ(virages[0] + virages[1], permise ? 3 : 0);
        EXPECT_EQ(navigationTrace(),
                  permise ? (std::vector<std::string>{"probe", "probe turn", "turn 3"})
                          : (std::vector<std::string>{"probe"}));
        // Out of its cell, straight down since the turn: the probe ends as
        // ever. Measured from where the probe began, the move would read as
        // down-right.
        SetRobotPosition(25 * 8 + 22, 25 * 2 + 12);
        ASSERT_TRUE(threadsAtRest());
        EXPECT_EQ(capRobot(), permise ? 5 : 4);
        EXPECT_EQ(roues(), permise ? (std::pair{3, 3}) : (std::pair{3, 2}));
        StopWorldThreads();
    }
}
