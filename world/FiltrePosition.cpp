#include "world/FiltrePosition.h"

#include <algorithm>
#include <cmath>

namespace filtre {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Degre = Pi / 180.0;
/** The turn of each turn code, radians clockwise. */
constexpr double Virages[6] = {0.0,           90.0 * Degre,   135.0 * Degre,
                               180.0 * Degre, -135.0 * Degre, -90.0 * Degre};
/** Spread of the heading the navigation gives (its sector is 45 degrees wide). */
constexpr double EcartCapIndique = 25.0 * Degre;
/** Spread a turn in place adds to the heading. */
constexpr double EcartVirage = 4.0 * Degre;
/** Spread of the speed factor at the start: the robot's period is not known. */
constexpr double EcartFacteur = 0.6;
constexpr double FacteurMin = 0.05;
constexpr double FacteurMax = 5.0;

double angleNormal(double a)
{
    a = std::fmod(a, 2.0 * Pi);
    return a < 0.0 ? a + 2.0 * Pi : a;
}

} // namespace

double capDuCode(int code)
{
    return angleNormal((code - 3) * 45.0 * Degre);
}

FiltrePosition::FiltrePosition(const Parametres& parametres)
    : m_p(parametres)
{}

void FiltrePosition::reinitialiser()
{
    const long refus = m_refus;
    *this = FiltrePosition(m_p);
    m_refus = refus;
}

void FiltrePosition::commander(int gauche, int droite, int virage, bool contact)
{
    m_gauche = std::clamp(gauche, 0, 3);
    m_droite = std::clamp(droite, 0, 3);
    m_virage = virage >= 0 && virage <= 5 ? virage : 0;
    m_contact = contact;
}

void FiltrePosition::indiquerCap(int code)
{
    if (m_capConnu || !m_demarre || code < 1 || code > 8) {
        return;
    }
    m_s[2] = capDuCode(code);
    for (int i = 0; i < 4; ++i) {
        m_P[2][i] = 0.0;
        m_P[i][2] = 0.0;
    }
    m_P[2][2] = EcartCapIndique * EcartCapIndique;
    m_capConnu = true;
}

double FiltrePosition::cap() const
{
    return angleNormal(m_s[2]);
}

double FiltrePosition::ecart() const
{
    return std::sqrt(std::max(m_P[0][0], m_P[1][1]));
}

void FiltrePosition::ajouterBruit(int i, double variance)
{
    m_P[i][i] += variance;
}

void FiltrePosition::predire()
{
    const double plusLong = m_p.pasRoue[std::max(m_gauche, m_droite)];
    if (!m_capConnu) {
        // Without a heading the robot may have gone any way, as far as its
        // wheels allow.
        const double k = m_s[3];
        const double q = 0.04 + (k * plusLong) * (k * plusLong);
        ajouterBruit(0, q);
        ajouterBruit(1, q);
        m_virage = 0;
        m_contact = false;
        return;
    }
    if (m_virage != 0) {
        m_s[2] += Virages[m_virage];
        ajouterBruit(2, EcartVirage * EcartVirage);
        m_virage = 0; // a turn is done once
    }
    double F[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    double v = 0.0;
    double w = 0.0;
    const double theta = m_s[2];
    if (m_contact) {
        // The back-off: a fixed distance, whatever the wheel codes.
        v = -m_p.recul;
        m_s[0] += v * std::cos(theta);
        m_s[1] += v * std::sin(theta);
        F[0][2] = -v * std::sin(theta);
        F[1][2] = v * std::cos(theta);
        m_contact = false;
    } else {
        const double k = m_s[3];
        const double v0 = (m_p.pasRoue[m_gauche] + m_p.pasRoue[m_droite]) / 2.0;
        // Clockwise on the map when the left wheel is the faster.
        const double w0 = (m_p.pasRoue[m_gauche] - m_p.pasRoue[m_droite]) / m_p.voie;
        v = k * v0;
        w = k * w0;
        const double milieu = theta + w / 2.0;
        const double c = std::cos(milieu);
        const double s = std::sin(milieu);
        m_s[0] += v * c;
        m_s[1] += v * s;
        m_s[2] += w;
        F[0][2] = -v * s;
        F[1][2] = v * c;
        F[0][3] = v0 * c - v * s * w0 / 2.0;
        F[1][3] = v0 * s + v * c * w0 / 2.0;
        F[2][3] = w0;
    }
    // P = F P F'
    double FP[4][4] = {};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double somme = 0.0;
            for (int l = 0; l < 4; ++l) {
                somme += F[i][l] * m_P[l][j];
            }
            FP[i][j] = somme;
        }
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double somme = 0.0;
            for (int l = 0; l < 4; ++l) {
                somme += FP[i][l] * F[j][l];
            }
            m_P[i][j] = somme;
        }
    }
    // What the model leaves out: slip, floor, a wheel that lags.
    const double qPosition = 0.2 + 0.1 * std::fabs(v);
    ajouterBruit(0, qPosition * qPosition);
    ajouterBruit(1, qPosition * qPosition);
    const double qCap = 0.3 * Degre + 0.2 * std::fabs(w);
    ajouterBruit(2, qCap * qCap);
    ajouterBruit(3, 1e-6);
}

Issue FiltrePosition::mesurer(double x, double y, int periodes)
{
    if (!std::isfinite(x) || !std::isfinite(y)) {
        ++m_refus;
        return Issue::Refusee;
    }
    const double r = m_p.ecartEstimation * m_p.ecartEstimation;
    if (!m_demarre) {
        m_s[0] = x;
        m_s[1] = y;
        m_s[2] = 0.0;
        m_s[3] = 1.0;
        for (auto& ligne : m_P) {
            for (double& v : ligne) {
                v = 0.0;
            }
        }
        m_P[0][0] = r;
        m_P[1][1] = r;
        m_P[3][3] = EcartFacteur * EcartFacteur;
        m_demarre = true;
        m_refusDeSuite = 0;
        return Issue::Premiere;
    }
    for (int n = std::clamp(periodes, 1, 20); n > 0; --n) {
        predire();
    }
    // Innovation and its covariance S = H P H' + R, H taking x and y.
    const double ix = x - m_s[0];
    const double iy = y - m_s[1];
    const double s00 = m_P[0][0] + r;
    const double s01 = m_P[0][1];
    const double s11 = m_P[1][1] + r;
    const double det = s00 * s11 - s01 * s01;
    const double i00 = s11 / det;
    const double i01 = -s01 / det;
    const double i11 = s00 / det;
    const double d2 = ix * (i00 * ix + i01 * iy) + iy * (i01 * ix + i11 * iy);
    if (!(d2 <= m_p.porte)) {
        ++m_refus;
        if (++m_refusDeSuite < m_p.refusAvantReprise) {
            return Issue::Refusee;
        }
        // Moved by hand, or the filter lost it: start again from here,
        // keeping what the heading and the speed factor had learnt.
        m_s[0] = x;
        m_s[1] = y;
        for (int i = 0; i < 4; ++i) {
            m_P[0][i] = m_P[i][0] = 0.0;
            m_P[1][i] = m_P[i][1] = 0.0;
        }
        m_P[0][0] = r;
        m_P[1][1] = r;
        m_P[2][2] += EcartCapIndique * EcartCapIndique;
        m_refusDeSuite = 0;
        return Issue::Reprise;
    }
    m_refusDeSuite = 0;
    // K = P H' S^-1 (4 x 2).
    double K[4][2];
    for (int i = 0; i < 4; ++i) {
        K[i][0] = m_P[i][0] * i00 + m_P[i][1] * i01;
        K[i][1] = m_P[i][0] * i01 + m_P[i][1] * i11;
    }
    for (int i = 0; i < 4; ++i) {
        m_s[i] += K[i][0] * ix + K[i][1] * iy;
    }
    m_s[2] = angleNormal(m_s[2]);
    m_s[3] = std::clamp(m_s[3], FacteurMin, FacteurMax);
    // P = (I - K H) P, kept symmetric.
    double nouveau[4][4];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            nouveau[i][j] = m_P[i][j] - K[i][0] * m_P[0][j] - K[i][1] * m_P[1][j];
        }
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            m_P[i][j] = (nouveau[i][j] + nouveau[j][i]) / 2.0;
        }
    }
    return Issue::Admise;
}

} // namespace filtre
