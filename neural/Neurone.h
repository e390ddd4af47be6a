#pragma once

#include "core/Table1D.h"
#include "neural/Poids.h"

class Couche;
class Vecteur;

/**
 * A logistic neuron: one incoming weight per input of its layer, a bias
 * subtracted from the weighted sum, and the error term and output of the
 * last learning step and forward pass.
 */
class Neurone : public Table1D<Poids> {
public:
    Poids biais;
    double delta = 0.0;
    double sortie = 0.0;

    /** Output from the network's inputs (first layer). */
    void calculer(const Vecteur& entree);
    /** Output from the outputs of the previous layer. */
    void calculer(const Couche& precedente);
};

/** A layer of neurons. */
class Couche : public Table1D<Neurone> {};

/** The bias on a line, then the weights as a table. */
std::ostream& operator<<(std::ostream& os, const Neurone& n);
std::istream& operator>>(std::istream& is, Neurone& n);
