#pragma once

// Shared by the trainer's tests: a small training file and views of a
// network's structure and values.

#include "neural/Perceptron.h"

#include <vector>

namespace kiv_test {

/** Three measures to a position (two outputs), in the raw units of the robot. */
inline const char* const kEntrainement = "# three measures -> position\n"
                                         "(4)\n"
                                         "(3,1) 0.15 0.16 0.14\n(2,1) 1 4\n"
                                         "(3,1) 0.25 0.10 0.12\n(2,1) 2 3\n"
                                         "(3,1) 0.05 0.20 0.18\n(2,1) 4 1\n"
                                         "(3,1) 0.10 0.12 0.30\n(2,1) 0 5\n";

/**
 * A weights file whose network answers (200.7, 200.7) cm whatever its inputs:
 * one layer of two neurons with all weights and biases 0 (outputs 0.5),
 * de-scaled by 0.5 / 0.002 - 49.3.
 */
inline const char* const kPoidsConstants = "(3,3) 1 0 0  0 1 0  0 0 1\n"
                                           "(2,2) 0.002 0  0 0.002\n"
                                           "(3,1) 0 0 0\n"
                                           "(2,1) -49.3 -49.3\n"
                                           "(1)\n(2)\n0\n(3)\n0\n0\n0\n\n0\n(3)\n0\n0\n0\n\n\n";

/** Every bias and weight, layer by layer, neuron by neuron. */
inline std::vector<double> poids(const Perceptron& p)
{
    std::vector<double> v;
    for (int i = 0; i < p.taille(); ++i) {
        for (int r = 0; r < p[i].taille(); ++r) {
            v.push_back(p[i][r].biais.valeur);
            for (int k = 0; k < p[i][r].taille(); ++k) {
                v.push_back(p[i][r][k].valeur);
            }
        }
    }
    return v;
}

/** The layer sizes, inputs first. */
inline std::vector<int> couches(const Perceptron& p)
{
    std::vector<int> v{p.nombreEntrees()};
    for (int i = 0; i < p.taille(); ++i) {
        v.push_back(p[i].taille());
    }
    return v;
}

} // namespace kiv_test
