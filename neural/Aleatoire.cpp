#include "neural/Aleatoire.h"

#include <cmath>
#include <ctime>

namespace {
constexpr int IA = 16807;
constexpr int IM = 2147483647;
constexpr int IQ = 127773;
constexpr int IR = 2836;
constexpr int NDIV = 1 + (IM - 1) / 32; // 67108864
constexpr double AM = 1.0 / IM;
constexpr double RNMX = 0.99999988;
} // namespace

Aleatoire::Aleatoire()
{
    initialiser(0);
}

void Aleatoire::pas()
{
    const int k = m_etat / IQ;
    m_etat = IA * (m_etat - k * IQ) - IR * k;
    if (m_etat < 0) {
        m_etat += IM;
    }
}

void Aleatoire::initialiser(int graine)
{
    m_etat = graine > 0 ? graine : static_cast<int>(std::time(nullptr) % IM);
    if (m_etat == 0) {
        m_etat = 1; // a zero state would stay zero for ever
    }
    for (int j = 39; j >= 0; --j) {
        pas();
        if (j < 32) {
            m_table[j] = m_etat;
        }
    }
    m_derniere = m_table[0];
    m_gaussienPret = 0;
}

double Aleatoire::uniforme()
{
    pas();
    const int j = m_derniere / NDIV;
    m_derniere = m_table[j];
    m_table[j] = m_etat;
    const double t = m_derniere * AM;
    return t > RNMX ? RNMX : t;
}

int Aleatoire::entier(int a, int b)
{
    const int x = static_cast<int>(uniforme() * (b - a + 1) + a);
    return x > b ? b : x;
}

double Aleatoire::gaussien(double moyenne, double ecartType)
{
    if (m_gaussienPret) {
        m_gaussienPret = 0;
        return moyenne + ecartType * m_gaussien;
    }
    double a1 = 0.0;
    double a2 = 0.0;
    double r = 0.0;
    do {
        a1 = 2.0 * uniforme() - 1.0;
        a2 = 2.0 * uniforme() - 1.0;
        r = a1 * a1 + a2 * a2;
    } while (r >= 1.0 || r == 0.0);
    const double f = std::sqrt(-2.0 * std::log(r) / r);
    m_gaussien = a1 * f;
    m_gaussienPret = 1;
    return moyenne + ecartType * a2 * f;
}

Aleatoire& aleatoire()
{
    static Aleatoire generateur;
    return generateur;
}
