#pragma once

#include "core/Table1D.h"
#include "neural/Exemple.h"
#include "trainer/ParametresReseau.h"
#include "trainer/ReseauNeurones.h"

#include <istream>
#include <ostream>

/**
 * The preparation of a training file: the scaling that brings every varying
 * input component onto [-2.5, 2.5] and the desired outputs of
 * [MinOutput, MaxOutput] onto [Epsilon, 0.8 + Epsilon], the logistic
 * neurons' working range.
 */

/** Reads a training set: optional comment lines, "(N)", then N examples. */
Table1D<Exemple> lireEnsemble(std::istream& is);

/**
 * The scaling of a training set for the output fields of `p` (NeuroneSortie,
 * MinOutput, MaxOutput, Epsilon). Every input vector must have at least the
 * components of the first ("Indice invalide!" otherwise).
 */
MiseAEchelle calculerEchelles(const Table1D<Exemple>& ensemble, const ParametresReseau& p);

/**
 * Replaces every example in place by its scaled form: input
 * Echelle1 x (input - Translation1), desired Echelle2 x (desired - Translation2).
 * A size that does not fit the scaling gives "Matrice incompatible!".
 */
void appliquerEchelles(Table1D<Exemple>& ensemble, const MiseAEchelle& echelles);

/**
 * The dump of a preparation ("test.ext"): the scaled set, then each matrix
 * and vector of the scaling behind its label.
 */
void ecrireDump(std::ostream& os, const Table1D<Exemple>& ensemble, const MiseAEchelle& echelles);
