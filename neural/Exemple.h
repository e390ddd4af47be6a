#pragma once

#include "neural/Matrice.h"

#include <istream>
#include <ostream>

/** One training example: an input vector and the output desired for it. */
struct Exemple {
    Vecteur entree;
    Vecteur desire;
};

/** The input block, then the desired block. */
std::ostream& operator<<(std::ostream& os, const Exemple& e);
std::istream& operator>>(std::istream& is, Exemple& e);
