// Fuzz target of the weights file: any input gives a network and its
// scaling or one of the readers' errors; a network read evaluates to
// outputs within (0, 1) or refuses the input with its message, takes a
// learning step, and writes a text that reads back to the same structure.
#include "FuzzSupport.h"

#include "core/Erreur.h"
#include "trainer/FichierPoids.h"

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

using kiv_fuzz::verifier;

namespace {

std::vector<int> structure(const Perceptron& p)
{
    std::vector<int> s{p.nombreEntrees()};
    for (int q = 0; q < p.taille(); ++q) {
        s.push_back(p[q].taille());
        for (int r = 0; r < p[q].taille(); ++r) {
            s.push_back(p[q][r].taille());
        }
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kiv_fuzz::preparer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    std::istringstream is(std::string(reinterpret_cast<const char*>(donnees), taille));
    MiseAEchelle echelles;
    Perceptron reseau(false);
    try {
        lirePoids(is, echelles, reseau);
    } catch (const Erreur&) {
        return 0;
    }
    verifier(reseau.taille() > 0 && reseau.nombreSorties() > 0, "no empty network or layer");

    Vecteur x(reseau.nombreEntrees());
    x.remplir(0.25);
    try {
        reseau.propager(x);
        const bool finis = reseau.poidsFinis();
        const Vecteur o = reseau.sorties();
        for (int i = 0; i < o.taille(); ++i) {
            verifier(!finis || (o[i] >= 0.0 && o[i] <= 1.0), "a logistic output");
        }
        Exemple e;
        e.entree = x;
        e.desire = Vecteur(reseau.nombreSorties());
        e.desire.remplir(0.5);
        reseau.retropropager(e);
    } catch (const Erreur&) {
        // Layers that do not chain are refused by the forward pass.
    }

    std::ostringstream os;
    ecrirePoids(os, echelles, reseau);
    std::istringstream relu(os.str());
    MiseAEchelle echellesRelues;
    Perceptron relue(false);
    try {
        lirePoids(relu, echellesRelues, relue);
    } catch (const Erreur&) {
        // Weights the step made infinite are written as such and refused.
        verifier(!reseau.poidsFinis(), "a network written reads back");
        return 0;
    }
    verifier(structure(relue) == structure(reseau), "same structure");
    return 0;
}
