#pragma once

/**
 * What the console orders the robot, one value: the wheel codes, the turn
 * order with the heading it changes, and the operator's hold. Written whole
 * (Monde::ordres), so that a status byte's reply never takes a turn without
 * its heading, nor wheel codes chosen before a hold.
 */
struct OrdresRobot {
    /** The wheel codes, left and right; 0 and 0 while the operator holds the robot. */
    int roueGauche = 0;
    int roueDroite = 0;
    /**
     * The robot's estimated heading (direction code 1 .. 8, 0 unknown); while
     * a turn order waits to go out, the heading after the turn.
     */
    int cap = 0;
    /** The turn order: 0 none, 1 90° cw, 2 135° cw, 3 180°, 4 135° ccw, 5 90° ccw. */
    int virage = 0;
    /** A turn order waits to be transmitted. */
    bool virageEnAttente = false;
    /** The heading the robot still has while the turn order waits. */
    int capAvantVirage = 0;
    /**
     * The operator holds the robot ("Arrêt", "Saisie", the stop key): every
     * reply is the neutral command, the wheel codes stay 0, a turn order
     * waits, the virtual robot does not step and the navigation stands in
     * its stop state. Only the operator's resume (ReprendreOperateur) ends
     * it; a new destination, a reopened link or a field opened do not.
     */
    bool arretOperateur = false;

    /** The heading the robot has now: before a turn still on its way to it. */
    int capActuel() const { return virageEnAttente ? capAvantVirage : cap; }

    bool operator==(const OrdresRobot&) const = default;
};
