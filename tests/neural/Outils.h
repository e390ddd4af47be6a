#pragma once

// Builders shared by the perceptron's tests.

#include "core/Table1D.h"
#include "neural/Matrice.h"

#include <initializer_list>

namespace kiv_test {

/** A layer-size table, inputs first. */
inline Table1D<int> tailles(std::initializer_list<int> liste)
{
    Table1D<int> t(static_cast<int>(liste.size()));
    int k = 0;
    for (int v : liste) {
        t[k++] = v;
    }
    return t;
}

inline Vecteur vecteur(std::initializer_list<double> liste)
{
    Vecteur v(static_cast<int>(liste.size()));
    int k = 0;
    for (double x : liste) {
        v[k++] = x;
    }
    return v;
}

/** An l x c matrix filled row by row from `valeurs`. */
inline Matrice depuis(int l, int c, std::initializer_list<double> valeurs)
{
    Matrice m(l, c);
    int k = 0;
    for (double v : valeurs) {
        m(k / c, k % c) = v;
        ++k;
    }
    return m;
}

} // namespace kiv_test
