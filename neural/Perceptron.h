#pragma once

#include "core/Table1D.h"
#include "neural/Exemple.h"
#include "neural/Matrice.h"
#include "neural/Neurone.h"

#include <istream>
#include <memory>
#include <ostream>

class ProgressBox;

/**
 * Fully connected feed-forward network of logistic neurons trained by
 * backpropagation with momentum. The layers are the elements (first hidden
 * layer first, output layer last); the inputs are not a layer.
 *
 * The training parameters are stored by their setters and checked by
 * `valider` when a run starts. Training reports through a progress box of
 * the platform layer when `AvecProgression` is set.
 */
class Perceptron : public Table1D<Couche> {
public:
    /** No layers; filled by reading a weights text. */
    explicit Perceptron(bool avecProgression = true);
    /** Layers of t[1] .. t[L] neurons over t[0] inputs, with random weights. */
    Perceptron(const Table1D<int>& tailles, bool avecProgression = true);
    ~Perceptron();
    Perceptron(const Perceptron&) = delete;
    Perceptron& operator=(const Perceptron&) = delete;

    /**
     * The same layers, weights and parameters in a new network, by default
     * without a progress box (to be evaluated elsewhere, on another thread);
     * with `avecProgression`, one to be trained further on its own.
     */
    std::unique_ptr<Perceptron> copie(bool avecProgression = false) const;

    /** Computes every neuron's output for input x. */
    void propager(const Vecteur& x);
    /** The outputs of the last forward pass. */
    Vecteur sorties() const;
    /** The same in `o`, which keeps its room when it has the outputs' size already. */
    void sorties(Vecteur& o) const;
    /** Mean squared error of the last forward pass against d. */
    double erreur(const Vecteur& d) const;
    /** One learning step on e; needs a propager of e.entree just before. */
    void retropropager(const Exemple& e);

    /** True when every weight and bias is a finite number. */
    bool poidsFinis() const;

    /** Throws the first parameter that is out of range. */
    void valider() const;
    /** Trains on the set, pass after pass in a fresh random order. */
    void entrainer(const Table1D<Exemple>& ensemble);
    /** Share of the examples whose every output is strictly within Tolerance. */
    double tauxClassement(const Table1D<Exemple>& ensemble);

    void setGain(double v) { Gain = v; }
    void setMomentum(double v) { Momentum = v; }
    void setErreurMax(double v) { ErreurMax = v; }
    void setIterMax(int v) { IterMax = v; }
    void setTolerance(double v) { Tolerance = v; }
    void setPasAffichage(int v) { PasAffichage = v; }

    double gain() const { return Gain; }
    double momentum() const { return Momentum; }
    double erreurMax() const { return ErreurMax; }
    int iterMax() const { return IterMax; }
    double tolerance() const { return Tolerance; }
    int pasAffichage() const { return PasAffichage; }
    int nombreEntrees() const { return m_entrees; }
    int nombreSorties() const { return m_sorties; }

    /** The pass count and error of the last training run (for callers that report them). */
    int dernierePasse() const { return m_dernierePasse; }
    double derniereErreur() const { return m_derniereErreur; }
    /** The last training run was stopped by the operator (Cancel, then Yes). */
    bool derniereAnnulee() const { return m_derniereAnnulee; }

    friend std::istream& operator>>(std::istream& is, Perceptron& p);

private:
    /** Throws "Indice invalide!" unless every neuron has one weight per input of its layer. */
    void verifierChainage(int entrees) const;
    /** The learning step proper, on a network whose layers are known to chain. */
    void apprendre(const Exemple& e);

    double Gain = 0.5;
    int PasAffichage = 1;
    double ErreurMax = 0.0;
    int IterMax = 1;
    bool AvecProgression;
    double Momentum = 0.9;
    int m_entrees = -1;
    int m_sorties = -1;
    double Tolerance = 0.4;
    std::unique_ptr<ProgressBox> m_progression;

    int m_dernierePasse = 0;
    double m_derniereErreur = 0.0;
    bool m_derniereAnnulee = false;
};

/**
 * Checks a layer-size table before a network is built from it: every layer
 * (t[1] .. t[L]) needs a neuron ("Couche sans neurone!"), and the network
 * with `cellulesEnPlus` doubles beside it (its scaling) must fit the memory
 * budget ("Erreur d'allocation de memoire!").
 */
void verifierTailles(const Table1D<int>& tailles, double cellulesEnPlus = 0.0);

/** The layers as nested tables of neurons; only current values are written. */
std::ostream& operator<<(std::ostream& os, const Perceptron& p);
/**
 * Reads the form written above; momentum starts at zero, parameters are kept.
 * A network without layers or whose first layer is empty gives "Indice
 * invalide!", a later empty layer "Couche sans neurone!".
 */
std::istream& operator>>(std::istream& is, Perceptron& p);
