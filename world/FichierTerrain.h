#pragma once

#include "world/Geometry.h"

#include <array>
#include <iosfwd>
#include <optional>
#include <string>

/**
 * The field as the operator leaves it: the 20 x 20 cell values, the robot,
 * the destination, the bandit and the grid-lines flag. It is what a ".kiv"
 * document holds.
 *
 * The file is text, lines ending in CR LF:
 *
 *     KIV-ZUL terrain 1
 *     <20 lines of 20 digits, the cell values 0 .. 3, row 0 first>
 *     Robot <x> <y>
 *     Destination <x> <y>
 *     Bandit <x> <y> <1 when placed, else 0>
 *     Quadrillage <1 or 0>
 *
 * Positions are in cm, 0 .. 500; the destination is -25 -25 while none is
 * placed, and so may be a bandit never placed.
 */
struct Terrain {
    std::array<std::array<int, geo::Cells>, geo::Cells> cellules{}; ///< [y][x]
    Point robot{25, 25};
    Point destination{-25, -25};
    Point bandit{0, 0};
    bool banditPlace = false;
    bool quadrillage = false;

    bool operator==(const Terrain&) const = default;
};

/** The field of a new document: empty, ringed by its margin, robot at (25, 25). */
Terrain terrainInitial();

/** Writes `terrain` in the layout above. */
void ecrireTerrain(std::ostream& sortie, const Terrain& terrain);

/**
 * Reads a field. A file that is not exactly the layout above, holds a value
 * or a position out of range, or a grid the console could not have drawn
 * (a free cell touching an obstacle, a margin touching none, a free cell on
 * the field's outer ring) is refused: nothing is returned and `erreur`
 * says why, in French, with the line number. Reads at most a few kilobytes.
 */
std::optional<Terrain> lireTerrain(std::istream& entree, std::string& erreur);
