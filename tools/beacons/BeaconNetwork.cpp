#include "tools/beacons/BeaconNetwork.h"

#include "link/protocol/RobotProtocol.h"
#include "neural/Aleatoire.h"
#include "trainer/ReseauNeurones.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace reseauBalises {

void entrees(balises::Position p, std::uint32_t phase, double t[3])
{
    entrees(balises::Geometrie{}, p, phase, t);
}

void entrees(const balises::Geometrie& g, balises::Position p, std::uint32_t phase, double t[3])
{
    const auto horodatages = balises::horodatages(g, p, phase);
    float intervalles[3];
    protocole::calculerIntervalles(horodatages.data(), intervalles);
    for (int k = 0; k < 3; ++k) {
        t[k] = intervalles[k];
    }
}

Table1D<Exemple> ensemble(double pas, int graine)
{
    return ensemble(balises::Geometrie{}, pas, graine);
}

Table1D<Exemple> ensemble(const balises::Geometrie& g, double pas, int graine)
{
    // Not finite, or beyond these bounds, the grid's count is no count at all.
    if (!std::isfinite(pas) || pas < PasMin || pas > PasMax) {
        throw std::invalid_argument("grid step out of range: " + std::to_string(pas) + " cm");
    }
    Aleatoire alea;
    alea.initialiser(graine);
    const int cotes = static_cast<int>(std::floor((485.0 - 15.0) / pas)) + 1;
    Table1D<Exemple> exemples(cotes * cotes);
    int k = 0;
    for (int j = 0; j < cotes; ++j) {
        for (int i = 0; i < cotes; ++i) {
            const balises::Position p{15.0 + i * pas, 15.0 + j * pas};
            Exemple& e = exemples[k++];
            e.entree.redimensionner(3);
            e.desire.redimensionner(2);
            double t[3];
            entrees(g, p, static_cast<std::uint32_t>(alea.entier(0, 65535)), t);
            for (int c = 0; c < 3; ++c) {
                e.entree[c] = t[c];
            }
            e.desire[0] = p.y;
            e.desire[1] = p.x;
        }
    }
    return exemples;
}

ParametresReseau parametres()
{
    return parametres(balises::Geometrie{});
}

ParametresReseau parametres(const balises::Geometrie& g)
{
    ParametresReseau p;
    p.Gain = 0.5;
    p.Momentum = 0.1;
    p.Epsilon = 0.1;
    // Scaled outputs span 0.8 for 500 cm: 0.02 is 12.5 cm, half a cell, so
    // the classification rate is the share of positions within half a cell.
    p.Tolerance = 0.02;
    p.ErreurMax = 0.0;
    p.IterMax = 10000;
    p.NeuroneEntree = 3;
    p.NeuroneSortie = 2;
    p.CoucheCache = 4;
    p.NeuroneCoucheCache = 10;
    p.MinOutput = 0.0;
    p.MaxOutput = 500.0;
    // "Tester" shows a robot at x = 100 cm, y = 150 cm.
    double t[3];
    entrees(g, {100.0, 150.0}, 0, t);
    p.DonneesTest1 = t[0];
    p.DonneesTest2 = t[1];
    p.DonneesTest3 = t[2];
    return p;
}

Mesure mesurer(ReseauNeurones& reseau, int aleatoires, int graine)
{
    return mesurer(balises::Geometrie{}, reseau, aleatoires, graine);
}

Mesure mesurer(const balises::Geometrie& g, ReseauNeurones& reseau, int aleatoires, int graine)
{
    Aleatoire alea;
    alea.initialiser(graine);
    Mesure m;
    double carres = 0.0;
    auto essayer = [&](balises::Position p) {
        double t[3];
        entrees(g, p, static_cast<std::uint32_t>(alea.entier(0, 65535)), t);
        Vecteur sortie;
        if (!reseau.Evaluer(t[0], t[1], t[2], sortie) || sortie.taille() < 2) {
            return;
        }
        const double erreur = std::hypot(sortie[1] - p.x, sortie[0] - p.y);
        carres += erreur * erreur;
        ++m.positions;
        if (erreur > m.pire) {
            m.pire = erreur;
            m.lieuDuPire = p;
        }
    };
    for (double y = 31.25; y < 475.0; y += 12.5) {
        for (double x = 31.25; x < 475.0; x += 12.5) {
            essayer({x, y});
        }
    }
    for (int k = 0; k < aleatoires; ++k) {
        const double x = 25.0 + 450.0 * alea.uniforme();
        const double y = 25.0 + 450.0 * alea.uniforme();
        essayer({std::min(x, 474.999), std::min(y, 474.999)});
    }
    m.rms = m.positions > 0 ? std::sqrt(carres / m.positions) : 0.0;
    return m;
}

} // namespace reseauBalises
