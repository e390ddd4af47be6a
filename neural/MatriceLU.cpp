#include "Matrice.h"

#include "MessagesNeurone.h"

#include <cmath>
#include <utility>

// Determinant and inverse go through Crout's LU decomposition with implicit
// partial pivoting: each row is weighed by the inverse of its largest |cell|
// so that the pivot choice does not depend on the rows' scales.

namespace {

void verifierCarree(const Matrice& m)
{
    if (m.lignes() != m.colonnes()) {
        KIV_ERREUR(msg::MatriceIncompatible);
    }
}

} // namespace

void Matrice::identite()
{
    verifierCarree(*this);
    remplir(0.0);
    double* s = donnees();
    const int n = lignes();
    for (int i = 0; i < n; ++i) {
        s[i * n + i] = 1.0;
    }
}

Table1D<double> Matrice::echelleLU() const
{
    const int l = lignes();
    const int c = colonnes();
    Table1D<double> echelle(l);
    const double* s = donnees();
    for (int i = 0; i < l; ++i) {
        double grand = 0.0;
        for (int j = 0; j < c; ++j) {
            const double t = std::fabs(s[i * c + j]);
            if (t > grand) {
                grand = t;
            }
        }
        if (grand == 0.0) {
            KIV_ERREUR(msg::MatriceSinguliere);
        }
        echelle.donnees()[i] = 1.0 / grand;
    }
    return echelle;
}

Matrice Matrice::decomposerLU(Table1D<int>& permutation, int& signe) const
{
    const int l = lignes();
    const int c = colonnes();
    // Column j needs rows 0 .. j and one permutation entry: refuse up front
    // what the steps below would only meet half-way.
    if (l < c || permutation.taille() < c) {
        KIV_ERREUR(msg::IndiceInvalide);
    }
    Table1D<double> echelle = echelleLU();
    double* e = echelle.donnees();
    Matrice lu(*this);
    double* a = lu.donnees();
    int* p = permutation.donnees();
    int s = 1;

    for (int j = 0; j < c; ++j) {
        // Upper part of column j.
        for (int i = 0; i < j; ++i) {
            double somme = a[i * c + j];
            for (int k = 0; k < i; ++k) {
                somme -= a[i * c + k] * a[k * c + j];
            }
            a[i * c + j] = somme;
        }
        // Diagonal and below, looking for the pivot; on equal merit the later
        // row wins. imax starts at j so that a column of NaN still names a row.
        double grand = 0.0;
        int imax = j;
        for (int i = j; i < l; ++i) {
            double somme = a[i * c + j];
            for (int k = 0; k < j; ++k) {
                somme -= a[i * c + k] * a[k * c + j];
            }
            a[i * c + j] = somme;
            const double t = e[i] * std::fabs(somme);
            if (t >= grand) {
                grand = t;
                imax = i;
            }
        }
        if (imax != j) {
            lu.echangerLignes(imax, j);
            s = -s;
            e[imax] = e[j];
        }
        p[j] = imax;
        // A zero pivot becomes tiny rather than dividing by zero: singular
        // matrices give a tiny determinant and huge inverse entries.
        if (a[j * c + j] == 0.0) {
            a[j * c + j] = 1e-20;
        }
        if (j != c - 1) {
            const double f = 1.0 / a[j * c + j];
            for (int i = j + 1; i < l; ++i) {
                a[i * c + j] *= f;
            }
        }
    }
    signe = s;
    return lu;
}

void Matrice::resoudreLU(const Table1D<int>& permutation, Vecteur& b) const
{
    const int l = lignes();
    const int c = colonnes();
    // Check every index the substitutions will use before b is touched.
    const int n = b.taille();
    if (l > c || permutation.taille() < l || n < c) {
        KIV_ERREUR(msg::IndiceInvalide);
    }
    const int* p = permutation.donnees();
    for (int i = 0; i < l; ++i) {
        if (static_cast<unsigned>(p[i]) >= static_cast<unsigned>(n)) {
            KIV_ERREUR(msg::IndiceInvalide);
        }
    }
    const double* a = donnees();
    double* x = b.donnees();

    // Forward substitution, undoing the row exchanges on the way; the leading
    // zeros of b are skipped.
    int premier = -1;
    for (int i = 0; i < l; ++i) {
        const int ip = p[i];
        double somme = x[ip];
        x[ip] = x[i];
        if (premier >= 0) {
            for (int k = premier; k < i; ++k) {
                somme -= a[i * c + k] * x[k];
            }
        } else if (somme != 0.0) {
            premier = i;
        }
        x[i] = somme;
    }
    // Back substitution.
    for (int i = l - 1; i >= 0; --i) {
        double somme = x[i];
        for (int k = i + 1; k < c; ++k) {
            somme -= a[i * c + k] * x[k];
        }
        x[i] = somme / a[i * c + i];
    }
}

double Matrice::determinant() const
{
    verifierCarree(*this);
    Table1D<int> permutation(lignes());
    int signe = 1;
    const Matrice lu = decomposerLU(permutation, signe);
    double d = signe;
    const int n = lignes();
    const double* a = lu.donnees();
    for (int i = 0; i < n; ++i) {
        d *= a[i * n + i];
    }
    return d;
}

Matrice Matrice::inverse() const
{
    verifierCarree(*this);
    const int n = lignes();
    Matrice r(Identite, n);
    Table1D<int> permutation(n);
    Vecteur v(n);
    int signe = 1;
    const Matrice lu = decomposerLU(permutation, signe);
    for (int i = 0; i < n; ++i) {
        v.copierColonne(r, i, 0);
        lu.resoudreLU(permutation, v);
        r.copierColonne(v, 0, i);
    }
    return r;
}
