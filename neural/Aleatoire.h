#pragma once

/**
 * The program's pseudo-random generator: multiplicative congruential
 * (16807 modulo 2147483647, Schrage's method) behind a 32-entry shuffle
 * table. One instance serves the whole program (`aleatoire()`); it is seeded
 * once from the clock, so runs differ unless a tool seeds it explicitly.
 */
class Aleatoire {
public:
    /** Seeds from the clock. */
    Aleatoire();

    /** Seeds with `graine` when it is positive, otherwise from the clock. */
    void initialiser(int graine);

    /** Uniform deviate in (0, 0.99999988]. */
    double uniforme();

    /** Uniform integer in [a, b]. */
    int entier(int a, int b);

    /** Normal deviate (polar method; every second call returns the cached one). */
    double gaussien(double moyenne, double ecartType);

private:
    void pas();

    int m_derniere = 0;
    int m_table[32] = {};
    int m_etat = 0;
    int m_gaussienPret = 0;
    double m_gaussien = 0.0;
};

/** The program-wide generator. */
Aleatoire& aleatoire();
