#pragma once

#include "neural/Perceptron.h"
#include "trainer/ReseauNeurones.h"

#include <istream>
#include <ostream>

/**
 * The weights file: the blocks Echelle1, Echelle2, Translation1 and
 * Translation2 one after the other, then the perceptron's weights text. The
 * sizes come from the file and are not compared with one another.
 */
void ecrirePoids(std::ostream& os, const MiseAEchelle& echelles, const Perceptron& perceptron);

/**
 * Reads the form written above into `echelles` and `perceptron`, which are
 * left partly filled when it throws; read into new objects and keep them
 * only on success. A translation block of more than one column, or a stream
 * that holds nothing, gives "Format invalide!".
 */
void lirePoids(std::istream& is, MiseAEchelle& echelles, Perceptron& perceptron);
