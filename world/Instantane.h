#pragma once

#include "world/Planificateur.h"

#include <array>

/**
 * What the display shows of the world, taken at one moment: the grid, the
 * markers, the planned route, the heading and the wheel codes. The display
 * draws from it alone, so that it never reads the world while threads
 * change it, and never writes it.
 */
struct Instantane {
    GrilleMonde grille{};
    Point robotPos{};
    Point robotCell{};
    /** The frame's raw estimate beside the filtered robot, cm; (-1, -1) when none is shown. */
    Point brutPos{-1, -1};
    Point destPos{};
    Point banditPos{};
    bool banditVisible = false;
    bool quadrillage = false;
    /** The robot's heading code (0 unknown). */
    int cap = 0;
    int roueGauche = 0;
    int roueDroite = 0;
    /** The planned route as monde().route holds it: element 0 the goal. */
    std::array<PathNode, geo::CellulesTerrain> chemin{};
    int longueurChemin = 0;
    /** The route is an escape out of the margins (element 0 its exit), not the way to the goal. */
    bool evasion = false;
    /** versionAffichage() when it was taken: a display that showed it has nothing new to show. */
    unsigned version = 0;
};

/** The two pictures show the same map (the wheel codes and the version aside). */
bool memeCarte(const Instantane& a, const Instantane& b);

/**
 * The two pictures show the same map but for the robot: its position and
 * heading may differ, nothing else (the route included, which is drawn from
 * the robot's cell).
 */
bool memeFond(const Instantane& a, const Instantane& b);

/**
 * Takes the world now, each part whole under its own lock: the robot's
 * pose, the route, the orders (wheel codes, heading). No allocation.
 */
void prendreInstantane(Instantane& instantane);

/**
 * Moves the destination marker to the centre of its cell, as every picture
 * of the map shows it (a click stores the point clicked; the next picture
 * snaps it). The display calls it before it takes the world.
 */
void AccrocherDestination();
