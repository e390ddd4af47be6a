// Which cell a bumper touched, from the robot's true position: corners off
// the cell's centre, known obstacles, the wall, the footprint, nothing.
#include "world/CelluleContact.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using contact::Nature;
using contact::Touche;

constexpr int Droite = 0x01;
constexpr int Gauche = 0x02;
constexpr int Devant = 0x03;

/** A field where the listed cells are known obstacles or excluded, the rest free. */
struct Champ {
    std::set<std::pair<int, int>> connues;
    std::set<std::pair<int, int>> exclues;

    Touche toucher(double x, double y, double cap, int bits) const
    {
        contact::Situation s;
        s.x = x;
        s.y = y;
        s.cap = cap;
        return contact::celluleTouchee(s, bits, [this](int cx, int cy) {
            if (exclues.contains({cx, cy})) {
                return Nature::Exclue;
            }
            return connues.contains({cx, cy}) ? Nature::Connue : Nature::Libre;
        });
    }
};

void attendre(const Touche& t, int x, int y, bool connue = false)
{
    ASSERT_EQ(t.quoi, Touche::Quoi::Cellule);
    EXPECT_EQ(t.x, x);
    EXPECT_EQ(t.y, y);
    EXPECT_EQ(t.connue, connue);
}

constexpr double Est = 0.0;
constexpr double Nord = -3.14159265358979323846 / 2.0;

} // namespace

TEST(CelluleContact, TheCellTouchedDependsOnWhereInItsCellTheRobotStands)
{
    const Champ vide;
    // Heading east, the right bumper: at the cell's lower right corner the
    // diagonal cell; low in the cell but halfway along it, the cell below
    // (the known cell's diagonal neighbour is out of the body's reach).
    attendre(vide.toucher(20.0, 20.0, Est, Droite), 1, 1);
    attendre(vide.toucher(12.5, 20.0, Est, Droite), 0, 1);
    // The left bumper mirrors it; both bumpers, what lies ahead.
    attendre(vide.toucher(20.0, 30.0, Est, Gauche), 1, 0);
    attendre(vide.toucher(19.0, 12.5, Est, Devant), 1, 0);
    // Heading north from low in cell (3, 4): what is ahead is (3, 3).
    attendre(vide.toucher(87.5, 106.0, Nord, Devant), 3, 3);
    // At the centre of its cell the body reaches nothing: the caller keeps
    // its own rule.
    EXPECT_EQ(vide.toucher(12.5, 12.5, Est, Devant).quoi, Touche::Quoi::Rien);
}

TEST(CelluleContact,
     TheLikeliestKnownObstacleOrTheWallExplainsAContactAndTheFootprintIsNeverTouched)
{
    // A known diagonal cell explains a right contact at the corner; a known
    // cell below does not, the free diagonal cell being likelier.
    Champ champ;
    champ.connues.insert({1, 1});
    attendre(champ.toucher(20.0, 20.0, Est, Droite), 1, 1, true);
    Champ dessous;
    dessous.connues.insert({0, 1});
    attendre(dessous.toucher(20.0, 20.0, Est, Droite), 1, 1);
    // The robot has been inside the diagonal cell: the cell below is left.
    Champ foule;
    foule.exclues.insert({1, 1});
    attendre(foule.toucher(20.0, 20.0, Est, Droite), 0, 1);
    // At the field's east side, driving east: the wall.
    EXPECT_EQ(Champ{}.toucher(494.0, 12.5, Est, Devant).quoi, Touche::Quoi::Mur);
    // Nothing touched outside the field, even from its edge.
    const Touche coin = Champ{}.toucher(3.0, 3.0, Nord, Devant);
    EXPECT_EQ(coin.quoi, Touche::Quoi::Mur);
}
