#pragma once

#include "core/Table1D.h"
#include "neural/Exemple.h"
#include "trainer/ReseauNeurones.h"

#include <string>
#include <vector>

/**
 * A network tested on a whole set: for every example, the distance between
 * the network's de-scaled outputs and the desired ones. For the position
 * network (outputs y, then x, in cm) that is the position error in cm.
 */

/** Turns a de-scaled output into what its user reads (the console's cm), or null for the raw value.
 */
using LectureSortie = int (*)(double);

/** One example of the set, tested. */
struct ErreurExemple {
    Vecteur desire;
    /** The outputs as read (through the LectureSortie when there is one). */
    Vecteur obtenu;
    /** Euclidean distance between the two. */
    double erreur = 0.0;
};

/** Count, RMS, median and worst of a set's errors. */
struct StatistiquesErreur {
    int nombre = 0;
    double rms = 0.0;
    double mediane = 0.0;
    double pire = 0.0;
    /** Index of the worst example, -1 for an empty set. */
    int indicePire = -1;
};

/**
 * Runs `reseau` on every example of a raw (unscaled) set of three inputs.
 * Throws Erreur "Ensemble d'entrainement vide!" for an empty set, "Vecteur
 * d'entree invalide!" for an input that is not three values, and "Vecteur
 * desire invalide!" for desired outputs that are not as many as the
 * network's; nothing is tested without a network (false).
 */
bool testerEnsemble(ReseauNeurones& reseau, const Table1D<Exemple>& ensemble, LectureSortie lecture,
                    std::vector<ErreurExemple>& resultats);

/**
 * The statistics of the errors: RMS, median (the mean of the two middle
 * values for an even count), worst and where. An error that is not a number
 * counts as the worst possible (infinite).
 */
StatistiquesErreur statistiquesErreur(const std::vector<ErreurExemple>& resultats);

/**
 * The statistics in one line, as the command-line trainer prints them:
 * "100 points : RMS 1.23 cm, médiane 0.98 cm, pire 4.56 cm (point 17 :
 * x 250, y 100)"; the position of the worst is given for two outputs
 * (output 1 is x, output 0 is y).
 */
std::string texteStatistiques(const StatistiquesErreur& s, const std::vector<ErreurExemple>& r);
