#pragma once

#include "core/Table1D.h"
#include "neural/Exemple.h"
#include "trainer/ParametresReseau.h"
#include "world/BeaconModel.h"

#include <string>

class ReseauNeurones;

/**
 * The bundled position network: its training set, drawn from the beacon
 * model through the console's own interval computation, its parameters, and
 * the measure of its error against the model.
 */
namespace reseauBalises {

/** The three intervals (s) the console computes for a robot at p, counter at `phase`. */
void entrees(balises::Position p, std::uint32_t phase, double t[3]);
/** The same on any geometry. */
void entrees(const balises::Geometrie& g, balises::Position p, std::uint32_t phase, double t[3]);

/** The grid steps a training set may have, cm: the widest keeps two positions a side. */
inline constexpr double PasMin = 1.0;
inline constexpr double PasMax = 470.0;

/**
 * Training examples on a square grid of `pas` cm covering [15, 485] cm, a
 * random counter phase for each (deterministic for a seed). Desired outputs
 * are (y, x) in cm: output 0 is y. A step that is not finite or outside
 * [PasMin, PasMax] throws std::invalid_argument.
 */
Table1D<Exemple> ensemble(double pas, int graine);
/** The same on any geometry. */
Table1D<Exemple> ensemble(const balises::Geometrie& g, double pas, int graine);

/** The trainer's fields for this network. */
ParametresReseau parametres();
/** The same on any geometry: "&Tester" shows the intervals of (100, 150) there. */
ParametresReseau parametres(const balises::Geometrie& g);

/** Error of a network over the usable field, in cm. */
struct Mesure {
    int positions = 0;
    double rms = 0.0;
    double pire = 0.0;
    balises::Position lieuDuPire{0.0, 0.0};
};

/**
 * Evaluates `reseau` on positions it was not trained on: a grid offset by
 * half a training step over the usable field [25, 475) and `aleatoires`
 * random positions in it.
 */
Mesure mesurer(ReseauNeurones& reseau, int aleatoires, int graine);
/** The same on any geometry. */
Mesure mesurer(const balises::Geometrie& g, ReseauNeurones& reseau, int aleatoires, int graine);

} // namespace reseauBalises
