#pragma once

#include "core/Table1D.h"
#include "neural/Poids.h"

#include "core/Erreur.h"
#include "neural/Matrice.h"
#include "neural/MessagesPerceptron.h"

#include <cmath>
#include <cstddef>

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
    inline void calculer(const Vecteur& entree);
    /** Output from the outputs of the previous layer. */
    inline void calculer(const class Couche& precedente);

private:
    /** The logistic function: strictly between 0 and 1. */
    static double logistique(double net) { return 1.0 / (1.0 + std::exp(-net)); }
};

/** A layer of neurons. */
class Couche : public Table1D<Neurone> {};

// Inline: these are the inner loop of every forward pass.
void Neurone::calculer(const Vecteur& entree)
{
    const int n = taille();
    if (n != entree.taille()) {
        KIV_ERREUR(msg::VecteurEntreeInvalide);
    }
    // The sizes match, so each input is a cell of the vector's first column.
    const Poids* w = donnees();
    const double* x = entree.donnees();
    const std::ptrdiff_t pas = entree.colonnes();
    double net = -biais.valeur;
    for (int k = 0; k < n; ++k) {
        net = net + w[k].valeur * x[k * pas];
    }
    sortie = logistique(net);
}

void Neurone::calculer(const Couche& precedente)
{
    const int n = taille();
    if (n != precedente.taille()) {
        KIV_ERREUR(msg::CouchePrecedenteInvalide);
    }
    const Poids* w = donnees();
    const Neurone* amont = precedente.donnees();
    double net = -biais.valeur;
    for (int k = 0; k < n; ++k) {
        net = net + w[k].valeur * amont[k].sortie;
    }
    sortie = logistique(net);
}

/** The bias on a line, then the weights as a table. */
std::ostream& operator<<(std::ostream& os, const Neurone& n);
std::istream& operator>>(std::istream& is, Neurone& n);
