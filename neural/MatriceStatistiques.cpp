#include "Matrice.h"

#include <cmath>
#include <cstddef>

// Searches keep the first cell met and let a later one win only when strictly
// larger (smaller). Sums run in the fixed orders the callers' figures were
// established with: a column from its top row down, the total as the sum of
// the column sums.

namespace {

struct Plus {
    static bool meilleur(double candidat, double actuel) { return candidat > actuel; }
};

struct Moins {
    static bool meilleur(double candidat, double actuel) { return candidat < actuel; }
};

/** Index of the first best of `n` values read `pas` apart from `premier`. */
template <class Critere>
int premierMeilleur(const double* premier, int n, std::ptrdiff_t pas)
{
    int meilleur = 0;
    for (int k = 1; k < n; ++k) {
        if (Critere::meilleur(premier[k * pas], premier[meilleur * pas])) {
            meilleur = k;
        }
    }
    return meilleur;
}

double sommeDe(const double* premier, int n, std::ptrdiff_t pas)
{
    double s = 0.0;
    for (int k = 0; k < n; ++k) {
        s += premier[k * pas];
    }
    return s;
}

double sommeCarresDe(const double* premier, int n, std::ptrdiff_t pas)
{
    double s = 0.0;
    for (int k = 0; k < n; ++k) {
        const double v = premier[k * pas];
        s += v * v;
    }
    return s;
}

/** (sum of squares - m (m n)) / (n - 1) for n values of mean m. */
double varianceDe(double sommeCarres, double moyenne, int n)
{
    const double nd = n;
    return (sommeCarres - moyenne * (moyenne * nd)) / (nd - 1.0);
}

/**
 * Z^T Z / (lignes - 1). Cell (a, b) adds Z(k, a) Z(k, b) for k = 0, 1, ...;
 * the product commutes exactly, so the lower half mirrors the upper one.
 */
Matrice produitTransposeParLuiMeme(const Matrice& z)
{
    const int l = z.lignes();
    const int c = z.colonnes();
    Matrice r(c, c, 0.0);
    const double* s = z.donnees();
    double* d = r.donnees();
    for (int a = 0; a < c; ++a) {
        for (int b = a; b < c; ++b) {
            double somme = 0.0;
            for (int k = 0; k < l; ++k) {
                somme += s[k * c + a] * s[k * c + b];
            }
            d[a * c + b] = somme;
            d[b * c + a] = somme;
        }
    }
    return r /= static_cast<double>(l - 1);
}

} // namespace

// Search -------------------------------------------------------------------

double Matrice::max() const
{
    const double* s = &(*this)(0, 0); // "Indice invalide!" when empty
    return s[premierMeilleur<Plus>(s, taille(), 1)];
}

double Matrice::min() const
{
    const double* s = &(*this)(0, 0);
    return s[premierMeilleur<Moins>(s, taille(), 1)];
}

double Matrice::maxColonne(int j) const
{
    return (*this)(ligneMax(j), j);
}

double Matrice::minColonne(int j) const
{
    return (*this)(ligneMin(j), j);
}

double Matrice::maxLigne(int i) const
{
    return (*this)(i, colonneMax(i));
}

double Matrice::minLigne(int i) const
{
    return (*this)(i, colonneMin(i));
}

void Matrice::positionMax(int& i, int& j) const
{
    const int k = premierMeilleur<Plus>(&(*this)(0, 0), taille(), 1);
    i = k / colonnes();
    j = k % colonnes();
}

void Matrice::positionMin(int& i, int& j) const
{
    const int k = premierMeilleur<Moins>(&(*this)(0, 0), taille(), 1);
    i = k / colonnes();
    j = k % colonnes();
}

int Matrice::ligneMax(int j) const
{
    return premierMeilleur<Plus>(&(*this)(0, j), lignes(), colonnes());
}

int Matrice::ligneMin(int j) const
{
    return premierMeilleur<Moins>(&(*this)(0, j), lignes(), colonnes());
}

int Matrice::colonneMax(int i) const
{
    return premierMeilleur<Plus>(&(*this)(i, 0), colonnes(), 1);
}

int Matrice::colonneMin(int i) const
{
    return premierMeilleur<Moins>(&(*this)(i, 0), colonnes(), 1);
}

// Statistics ---------------------------------------------------------------

double Matrice::somme() const
{
    double total = 0.0;
    for (int j = 0; j < colonnes(); ++j) {
        total += sommeDe(donnees() + j, lignes(), colonnes());
    }
    return total;
}

double Matrice::sommeColonne(int j) const
{
    verifierColonne(j);
    return sommeDe(donnees() + j, lignes(), colonnes());
}

double Matrice::sommeLigne(int i) const
{
    verifierLigne(i);
    return sommeDe(donnees() + static_cast<std::ptrdiff_t>(i) * colonnes(), colonnes(), 1);
}

double Matrice::sommeCarres() const
{
    double total = 0.0;
    for (int j = 0; j < colonnes(); ++j) {
        total += sommeCarresDe(donnees() + j, lignes(), colonnes());
    }
    return total;
}

double Matrice::sommeCarresColonne(int j) const
{
    verifierColonne(j);
    return sommeCarresDe(donnees() + j, lignes(), colonnes());
}

double Matrice::sommeCarresLigne(int i) const
{
    verifierLigne(i);
    return sommeCarresDe(donnees() + static_cast<std::ptrdiff_t>(i) * colonnes(), colonnes(), 1);
}

double Matrice::moyenne() const
{
    return (somme() / lignes()) / colonnes();
}

double Matrice::moyenneColonne(int j) const
{
    return sommeColonne(j) / lignes();
}

double Matrice::moyenneLigne(int i) const
{
    return sommeLigne(i) / colonnes();
}

double Matrice::variance() const
{
    return varianceDe(sommeCarres(), moyenne(), lignes() * colonnes());
}

double Matrice::varianceColonne(int j) const
{
    return varianceDe(sommeCarresColonne(j), moyenneColonne(j), lignes());
}

double Matrice::varianceLigne(int i) const
{
    return varianceDe(sommeCarresLigne(i), moyenneLigne(i), colonnes());
}

Matrice Matrice::covariance() const
{
    Matrice centree(*this);
    const int l = lignes();
    const int c = colonnes();
    double* s = centree.donnees();
    for (int j = 0; j < c; ++j) {
        const double m = moyenneColonne(j);
        for (int i = 0; i < l; ++i) {
            s[i * c + j] -= m;
        }
    }
    return produitTransposeParLuiMeme(centree);
}

Matrice Matrice::correlation() const
{
    Matrice reduite(*this);
    const int l = lignes();
    const int c = colonnes();
    double* s = reduite.donnees();
    for (int j = 0; j < c; ++j) {
        const double m = moyenneColonne(j);
        const double ecart = std::sqrt(varianceColonne(j));
        for (int i = 0; i < l; ++i) {
            s[i * c + j] = (s[i * c + j] - m) / ecart;
        }
    }
    return produitTransposeParLuiMeme(reduite);
}
