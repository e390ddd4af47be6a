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
