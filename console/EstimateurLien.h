#pragma once

#include "link/protocol/AnalyseurTrame.h"
#include "trainer/ReseauPublie.h"

#include <mutex>
#include <string>

class ReseauNeurones;

/**
 * The robot's position estimate as the link's thread makes it, frame after
 * frame: the trainer's network through its published copy (ReseauPublie).
 * A network that refuses the frame's inputs gives no estimate; its reason
 * waits for the display to tell the operator.
 */
class EstimateurLien {
public:
    /** Display's thread: the copy follows `reseau` when it changed. */
    void suivre(const ReseauNeurones& reseau) { m_reseau.suivre(reseau); }

    /** Any thread: the estimate from a frame's three intervals; never throws. */
    protocole::Estimation estimer(double t1, double t2, double t3);

    /** Display's thread: the reason of the latest refusal not yet taken; empty: none. */
    std::string prendreRefus();

private:
    ReseauPublie m_reseau;
    std::mutex m_verrou;
    std::string m_refus;
};
