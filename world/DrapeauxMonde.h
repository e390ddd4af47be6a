#pragma once

#include <atomic>

/** The world's flags and counters: each a whole value by itself, written alone. */
struct DrapeauxMonde {
    DrapeauxMonde() { reinitialiser(); }

    /** The values the program starts with; no world thread may run. */
    void reinitialiser()
    {
        premierPas = 0;
        sansCheminAffiche = 0;
        quadrillage = 0;
        miseEnPlaceAttendue = 1;
        evasionPermise = 1;
        contactRepete = 0;
        simulation = 0;
        passesNavigation = 0;
    }

    /** Direction of the first step of the last route (1 .. 8), 0 when none. */
    std::atomic<int> premierPas;
    /** 1 while the map shows the last failed search. */
    std::atomic<int> sansCheminAffiche;
    /** 1: the map draws the cell grid. */
    std::atomic<int> quadrillage;
    /** 1 while the map window's one-time set-up is still to run (InitWorld). */
    std::atomic<int> miseEnPlaceAttendue;
    /**
     * 1 (the default): the navigation may escape from margins (Evasion.h), a
     * side contact on a cell already marked marks the cell straight ahead
     * (HandleBumpers), and a contact that marks nothing turns the robot away
     * (contactRepete); 0: it stops where PlanPath finds no route, and a
     * repeated contact marks nothing and turns nothing.
     */
    std::atomic<int> evasionPermise;
    /**
     * A contact that marked nothing (evasionPermise only): 1 the right side
     * (bit 0), 2 the left (bit 1), 3 both, 0 none. Set by HandleBumpers, taken
     * by the navigation: its next pass turns the robot away from a wall it
     * keeps grinding along, and a heading probe turns round.
     */
    std::atomic<int> contactRepete;
    /** 1 while a virtual run is wanted (SetSimRunning). */
    std::atomic<int> simulation;
    /** Navigation passes begun; tests and benchmarks count them. */
    std::atomic<unsigned> passesNavigation;
};
