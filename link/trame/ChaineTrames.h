#pragma once

#include "link/protocol/AnalyseurTrame.h"

#include <cstdint>
#include <functional>

namespace protocole {

/** What became of one byte along the chain. */
struct Etape {
    /** The parser's event (Position: the frame's timestamps and intervals). */
    Evenement evenement;
    /** Position: the network's estimate (not valide: none). */
    Estimation estimation;
    /** Position, on the world: the robot moved (the estimate lay more than 25 cm away). */
    bool deplace = false;
    /** Etat, on the world: the command byte sent in reply; -1 when none was. */
    int commande = -1;
};

/**
 * The robot's bytes, one at a time, from the line to the world: the frame
 * parser, the position estimate from the frame's intervals, the world's
 * update (the robot placed, the bumpers' marks) and the command byte that
 * answers each status byte. Plain C++: the console runs it on the bytes of
 * the link, `kiv-log` on the bytes of a log (without the world), the
 * benchmarks on theirs.
 */
class ChaineTrames {
public:
    /** What the chain is connected to. */
    struct Branchements {
        /** Turns intervals into the network's outputs; empty: no estimate. */
        Estimateur estimateur;
        /** The frames act on the shared world (the console); false: a reading alone. */
        bool monde = true;
        /**
         * Told where the filter put the robot after a frame's estimate (the
         * raw estimate and the filtered position, cm), while the filter is
         * on; only with `monde`.
         */
        std::function<void(int brutX, int brutY, int x, int y)> position;
    };

    explicit ChaineTrames(Branchements branchements);

    /** A new opening of the line: frames counted from the next byte, with this silence threshold.
     */
    void demarrer(Instant seuilSilence);

    /** One received byte, read at `arrivee` (InstantInconnu: counted only). */
    Etape recevoir(int octet, Instant arrivee = InstantInconnu);

    /** A byte was written to the robot at `instant`. */
    void noterEmission(Instant instant) { m_analyseur.noterEmission(instant); }

    const AnalyseurTrame& analyseur() const { return m_analyseur; }

private:
    Branchements m_branchements;
    AnalyseurTrame m_analyseur;
};

} // namespace protocole
