#pragma once

#include "world/Geometry.h"
#include "world/PathNode.h"

#include <array>
#include <functional>

/** The cell values the route search reads: the grid with its border, [row][column]. */
using GrilleMonde = std::array<std::array<int, geo::GridSize>, geo::GridSize>;

/** What a route search finds. */
struct Itineraire {
    /**
     * directions[y][x]: -1 cell never reached, 0 the start, 1 .. 8 the
     * direction of the step by which the search first settled the cell.
     */
    int directions[geo::Cells][geo::Cells];
    /** False when the goal cannot be reached (or a cell lies outside the field). */
    bool trouve = false;
    /** The route from the goal (element 0) back to the cell next to the start. */
    std::array<PathNode, geo::CellulesTerrain> chemin;
    int longueur = 0;

    /** Nothing found, no cell reached: the state a search starts from. */
    void effacer();
    /**
     * Fills `chemin` by walking `directions` back from `fin` to the start;
     * `fin` never reached leaves it empty. Returns whether `fin` was reached.
     */
    bool remonterDepuis(Point fin);
};

/**
 * The cheapest route over eight neighbours (10 straight, 14 diagonal) from
 * cell `depart` to cell `but` on `grille`: Dijkstra's search with a binary
 * heap and lazy deletion. Only free cells (0) are entered; the start cell
 * itself is not tested; a diagonal step is refused only when both cells
 * beside it are blocked; neighbours are pushed in the order 1 .. 8. Pure: it
 * reads `grille` alone and writes `resultat` alone.
 */
void planifier(const GrilleMonde& grille, Point depart, Point but, Itineraire& resultat);

/** A route search, for PlanPathAvec (tests put one of their own). */
using Planificateur =
    std::function<void(const GrilleMonde& grille, Point depart, Point but, Itineraire& resultat)>;

/** The world's grid as the search sees it now. */
void copierGrille(GrilleMonde& grille);

/**
 * True when a route may end in `but` although the cell is a safety margin
 * (2): with the position filter on, when only contact marks of this session
 * made it one (no painted or loaded obstacle beside it). A margin is the
 * ring kept clear around an obstacle, not an obstacle, and the robot may
 * stand in it; the operator chose the cell, and with the filter arrival is
 * judged by where the robot truly is. A contact mark beside the goal is most
 * often a block two cells away marked a cell off, and clearing it only has
 * the robot mark it again. Only the goal is opened: no route crosses another
 * margin, and the field's outer ring (along its wall) stays closed. With the
 * filter off, or beside an obstacle the operator painted, a margin goal has
 * no route, as ever.
 */
bool butEnMargeOuvert(Point but);

/** The grid as the search for a route to `but` sees it: copierGrille, the goal opened if
 * butEnMargeOuvert. */
void copierGrille(GrilleMonde& grille, Point but);
