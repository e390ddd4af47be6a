#pragma once

#include "neural/Matrice.h"
#include "neural/Perceptron.h"
#include "trainer/ReseauNeurones.h"

#include <cstdint>
#include <memory>
#include <mutex>

/**
 * A copy of the network in place and its scaling, evaluated on another
 * thread (the link's, which estimates the robot's position as the bytes are
 * read): the owner's thread publishes a new copy each time the network
 * changed; an evaluation uses the latest copy, under the copy's lock. The
 * network keeps training, loading and testing on its own thread meanwhile.
 */
class ReseauPublie {
public:
    /** Owner's thread: copies `reseau` when it changed since the last copy. */
    void suivre(const ReseauNeurones& reseau);

    /**
     * Any thread: ReseauNeurones::Evaluer on the latest copy; false
     * (resultat untouched) without a network. Throws as it does.
     */
    bool Evaluer(double e1, double e2, double e3, Vecteur& resultat);

private:
    std::mutex m_verrou;
    std::unique_ptr<Perceptron> m_perceptron;
    MiseAEchelle m_echelles;
    /** The scaled inputs of the evaluation under way (under the lock). */
    Vecteur m_entree;
    /** The version copied (owner's thread only). */
    std::uint64_t m_version = UINT64_MAX;
};
