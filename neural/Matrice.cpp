#include "Matrice.h"

#include "MessagesNeurone.h"

#include <cstddef>
#include <utility>

// Loops over whole matrices check the shapes once and then walk the contiguous
// storage; single cells addressed by a caller go through the checked access.

namespace {

bool memeForme(const Matrice& a, const Matrice& b)
{
    return a.lignes() == b.lignes() && a.colonnes() == b.colonnes();
}

/** Applies `operation(cell, x)` to every cell of `m` in place. */
template <class Operation>
void appliquer(Matrice& m, double x, Operation operation)
{
    double* c = m.donnees();
    const int n = m.taille();
    for (int k = 0; k < n; ++k) {
        c[k] = operation(c[k], x);
    }
}

/** Combines the cells of `a` with those of the same-shaped `b` in place. */
template <class Operation>
void combiner(Matrice& a, const Matrice& b, Operation operation)
{
    double* c = a.donnees();
    const double* d = b.donnees();
    const int n = a.taille();
    for (int k = 0; k < n; ++k) {
        c[k] = operation(c[k], d[k]);
    }
}

constexpr auto plus = [](double a, double b) { return a + b; };
constexpr auto moins = [](double a, double b) { return a - b; };
constexpr auto fois = [](double a, double b) { return a * b; };
constexpr auto divise = [](double a, double b) { return a / b; };

const Matrice& uneColonne(const Matrice& m)
{
    if (m.colonnes() != 1) {
        KIV_ERREUR(msg::MatriceIncompatible);
    }
    return m;
}

} // namespace

Matrice::Matrice(int lignes, int colonnes, double valeur)
    : Table2D<double>(lignes, colonnes)
{
    remplir(valeur);
}

Matrice::Matrice(TypeMatrice type, int n)
    : Table2D<double>(n, n)
{
    if (type == Identite) {
        identite();
    } else {
        // No other kind is defined; zeroed cells beat whatever the storage held.
        remplir(0.0);
    }
}

void Matrice::verifierLigne(int i) const
{
    if (static_cast<unsigned>(i) >= static_cast<unsigned>(lignes())) {
        KIV_ERREUR(msg::IndiceInvalide);
    }
}

void Matrice::verifierColonne(int j) const
{
    if (static_cast<unsigned>(j) >= static_cast<unsigned>(colonnes())) {
        KIV_ERREUR(msg::IndiceInvalide);
    }
}

// Arithmetic ---------------------------------------------------------------

Matrice Matrice::operator+(const Matrice& b) const
{
    if (!memeForme(*this, b)) {
        KIV_ERREUR(msg::MatriceIncompatible);
    }
    Matrice r(*this);
    combiner(r, b, plus);
    return r;
}

Matrice Matrice::operator-(const Matrice& b) const
{
    if (!memeForme(*this, b)) {
        KIV_ERREUR(msg::MatriceIncompatible);
    }
    Matrice r(*this);
    combiner(r, b, moins);
    return r;
}

Matrice& Matrice::operator+=(const Matrice& b)
{
    if (!memeForme(*this, b)) {
        KIV_ERREUR(msg::MatriceIncompatible);
    }
    combiner(*this, b, plus);
    return *this;
}

Matrice& Matrice::operator-=(const Matrice& b)
{
    if (!memeForme(*this, b)) {
        KIV_ERREUR(msg::MatriceIncompatibleSoustraction);
    }
    combiner(*this, b, moins);
    return *this;
}

Matrice Matrice::operator*(const Matrice& b) const
{
    if (colonnes() != b.lignes()) {
        KIV_ERREUR(msg::MatriceIncompatible);
    }
    const int l = lignes();
    const int n = colonnes();
    const int c = b.colonnes();
    // Offsets of rows in the storage, in the pointers' own width.
    const std::ptrdiff_t largeurX = n;
    const std::ptrdiff_t largeurZ = c;
    Matrice r(l, c, 0.0);
    const double* x = donnees();
    const double* y = b.donnees();
    double* z = r.donnees();
    // Row by row with k outside j: every cell still receives its terms for
    // k = 0, 1, ... in increasing order, but b is read along its rows.
    for (int i = 0; i < l; ++i) {
        double* ligne = z + i * largeurZ;
        for (int k = 0; k < n; ++k) {
            const double a = x[i * largeurX + k];
            const double* bk = y + k * largeurZ;
            for (int j = 0; j < c; ++j) {
                ligne[j] += a * bk[j];
            }
        }
    }
    return r;
}

Matrice Matrice::operator+(double x) const
{
    Matrice r(*this);
    return r += x;
}

Matrice Matrice::operator-(double x) const
{
    Matrice r(*this);
    return r -= x;
}

Matrice Matrice::operator*(double x) const
{
    Matrice r(*this);
    return r *= x;
}

Matrice Matrice::operator/(double x) const
{
    Matrice r(*this);
    return r /= x;
}

Matrice& Matrice::operator+=(double x)
{
    appliquer(*this, x, plus);
    return *this;
}

Matrice& Matrice::operator-=(double x)
{
    appliquer(*this, x, moins);
    return *this;
}

Matrice& Matrice::operator*=(double x)
{
    appliquer(*this, x, fois);
    return *this;
}

Matrice& Matrice::operator/=(double x)
{
    appliquer(*this, x, divise);
    return *this;
}

Matrice Matrice::transposee() const
{
    const int l = lignes();
    const int c = colonnes();
    Matrice t(c, l);
    const double* a = donnees();
    double* r = t.donnees();
    for (int i = 0; i < l; ++i) {
        for (int j = 0; j < c; ++j) {
            r[j * l + i] = a[i * c + j];
        }
    }
    return t;
}

// Rearrangement ------------------------------------------------------------

void Matrice::echangerLignes(int a, int b)
{
    verifierLigne(a);
    verifierLigne(b);
    if (a == b) {
        return;
    }
    const int c = colonnes();
    double* la = donnees() + static_cast<std::ptrdiff_t>(a) * c;
    double* lb = donnees() + static_cast<std::ptrdiff_t>(b) * c;
    for (int j = 0; j < c; ++j) {
        std::swap(la[j], lb[j]);
    }
}

void Matrice::echangerColonnes(int a, int b)
{
    verifierColonne(a);
    verifierColonne(b);
    if (a == b) {
        return;
    }
    const int l = lignes();
    const int c = colonnes();
    double* s = donnees();
    for (int i = 0; i < l; ++i) {
        std::swap(s[i * c + a], s[i * c + b]);
    }
}

void Matrice::copierColonne(const Matrice& source, int js, int jd)
{
    // Every check comes first so that a refused copy leaves no row changed.
    verifierColonne(jd);
    source.verifierColonne(js);
    const int l = lignes();
    if (source.lignes() < l) {
        KIV_ERREUR(msg::IndiceInvalide);
    }
    const int c = colonnes();
    const int cs = source.colonnes();
    double* d = donnees();
    const double* s = source.donnees();
    for (int i = 0; i < l; ++i) {
        d[i * c + jd] = s[i * cs + js];
    }
}

// Vecteur ------------------------------------------------------------------

Vecteur::Vecteur(int n)
    : Matrice(n, 1, 0.0)
{}

Vecteur::Vecteur(const Matrice& m)
    : Matrice(uneColonne(m))
{}

Vecteur::Vecteur(const Table1D<double>& t)
    : Matrice(t.taille(), 1)
{
    const int n = t.taille();
    const double* s = t.donnees();
    double* d = donnees();
    for (int k = 0; k < n; ++k) {
        d[k] = s[k];
    }
}
