#pragma once

#include "neural/Aleatoire.h"

#include <istream>
#include <ostream>

/**
 * One weight or bias with the value it had before its last change, from
 * which the momentum term is taken. A new one starts at a random value in
 * (-0.5, 0.5] with no momentum.
 */
struct Poids {
    double valeur;
    double precedente;

    Poids() { initialiser(); }

    void initialiser()
    {
        precedente = aleatoire().uniforme() - 0.5;
        valeur = precedente;
    }
    void modifier(double nouvelle)
    {
        precedente = valeur;
        valeur = nouvelle;
    }
    double variation() const { return valeur - precedente; }
};

/** Only the value is written. */
inline std::ostream& operator<<(std::ostream& os, const Poids& p)
{
    return os << p.valeur;
}

/** Reads the value; the momentum starts at zero. */
inline std::istream& operator>>(std::istream& is, Poids& p)
{
    is >> p.valeur;
    p.precedente = p.valeur;
    return is;
}
