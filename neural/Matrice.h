#pragma once

#include "core/Table1D.h"
#include "core/Table2D.h"

class Vecteur;

/** Kinds of square matrix the square constructor can make. */
enum TypeMatrice : int {
    Identite = 0, ///< the identity; any other kind leaves the cells unset
};

/**
 * Dense matrix of doubles, row-major, every cell access bounds-checked.
 * Non-compound operations return new matrices and leave their operands
 * unchanged; dimension mismatches throw Erreur "Matrice incompatible!".
 */
class Matrice : public Table2D<double> {
public:
    Matrice() = default;
    /** lignes x colonnes, every cell set to `valeur`. */
    Matrice(int lignes, int colonnes, double valeur = 0.0);
    /** n x n; the identity when `type` is Identite. */
    Matrice(TypeMatrice type, int n);

    // Arithmetic.
    Matrice operator+(const Matrice& b) const;
    Matrice operator-(const Matrice& b) const;
    Matrice operator*(const Matrice& b) const;
    Matrice& operator+=(const Matrice& b);
    Matrice& operator-=(const Matrice& b);
    Matrice operator+(double x) const;
    Matrice operator-(double x) const;
    Matrice operator*(double x) const;
    Matrice operator/(double x) const;
    Matrice& operator+=(double x);
    Matrice& operator-=(double x);
    Matrice& operator*=(double x);
    Matrice& operator/=(double x);
    Matrice transposee() const;

    // Search.
    double max() const;
    double min() const;
    double maxColonne(int j) const;
    double minColonne(int j) const;
    double maxLigne(int i) const;
    double minLigne(int i) const;
    void positionMax(int& i, int& j) const;
    void positionMin(int& i, int& j) const;
    int ligneMax(int j) const;
    int ligneMin(int j) const;
    int colonneMax(int i) const;
    int colonneMin(int i) const;

    // Statistics.
    double somme() const;
    double sommeColonne(int j) const;
    double sommeLigne(int i) const;
    double sommeCarres() const;
    double sommeCarresColonne(int j) const;
    double sommeCarresLigne(int i) const;
    double moyenne() const;
    double moyenneColonne(int j) const;
    double moyenneLigne(int i) const;
    double variance() const;
    double varianceColonne(int j) const;
    double varianceLigne(int i) const;
    Matrice covariance() const;
    Matrice correlation() const;

    // Rearrangement.
    void echangerLignes(int a, int b);
    void echangerColonnes(int a, int b);
    /** Cell (i, jd) = source(i, js) for every row i of this matrix. */
    void copierColonne(const Matrice& source, int js, int jd);

    // Square matrices.
    /** Zeroes every cell and puts 1.0 on the diagonal; square only. */
    void identite();
    double determinant() const;
    Matrice inverse() const;

    // LU decomposition with implicit partial pivoting.
    /** One scale factor per row: 1 / largest |cell|; "Matrice singuliere!" for a zero row. */
    Table1D<double> echelleLU() const;
    /** New matrix holding L (strict lower part, unit diagonal implied) and U. */
    Matrice decomposerLU(Table1D<int>& permutation, int& signe) const;
    /** On an LU matrix: solves in place for b. */
    void resoudreLU(const Table1D<int>& permutation, Vecteur& b) const;

private:
    /** "Indice invalide!" unless 0 <= i < lignes(). */
    void verifierLigne(int i) const;
    /** "Indice invalide!" unless 0 <= j < colonnes(). */
    void verifierColonne(int j) const;
};

/** A matrix of exactly one column; element i is cell (i, 0). */
class Vecteur : public Matrice {
public:
    explicit Vecteur(int n = 0);
    /** From a one-column matrix, else "Matrice incompatible!". */
    Vecteur(const Matrice& m);
    explicit Vecteur(const Table1D<double>& t);

    double& operator[](int i) { return (*this)(i, 0); }
    const double& operator[](int i) const { return (*this)(i, 0); }
    int taille() const { return lignes(); }
    void redimensionner(int n) { Matrice::redimensionner(n, 1); }
};
