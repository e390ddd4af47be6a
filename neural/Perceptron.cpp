#include "neural/Perceptron.h"

#include "core/ProgressBox.h"
#include "neural/MessagesPerceptron.h"

Perceptron::Perceptron(bool avecProgression)
    : AvecProgression(avecProgression)
{}

Perceptron::Perceptron(const Table1D<int>& tailles, bool avecProgression)
    : AvecProgression(avecProgression)
{
    const int couches = tailles.taille() - 1;
    m_entrees = tailles[0];
    m_sorties = tailles[couches];
    // Random draws follow construction: per layer, the biases of its new
    // neurons, then the weights of neuron 0, neuron 1, ...
    redimensionner(couches);
    for (int i = 0; i < couches; ++i) {
        Couche& couche = (*this)[i];
        couche.redimensionner(tailles[i + 1]);
        for (int r = 0; r < couche.taille(); ++r) {
            couche[r].redimensionner(tailles[i]);
        }
    }
}

Perceptron::~Perceptron() = default;

void Perceptron::propager(const Vecteur& x)
{
    if (x.taille() != m_entrees) {
        KIV_ERREUR(msg::VecteurEntreeInvalide);
    }
    const int couches = taille();
    Couche* c = donnees();
    for (int i = 0; i < couches; ++i) {
        Neurone* n = c[i].donnees();
        const int neurones = c[i].taille();
        for (int r = 0; r < neurones; ++r) {
            if (i == 0) {
                n[r].calculer(x);
            } else {
                n[r].calculer(c[i - 1]);
            }
        }
    }
}

Vecteur Perceptron::sorties() const
{
    const Couche& derniere = (*this)[taille() - 1];
    Vecteur o(m_sorties);
    for (int i = 0; i < m_sorties; ++i) {
        o[i] = derniere[i].sortie;
    }
    return o;
}

double Perceptron::erreur(const Vecteur& d) const
{
    if (d.taille() != m_sorties) {
        KIV_ERREUR(msg::VecteurDesireInvalide);
    }
    const Couche& derniere = (*this)[taille() - 1];
    double somme = 0.0;
    for (int i = 0; i < m_sorties; ++i) {
        const double ecart = d[i] - derniere[i].sortie;
        somme = somme + ecart * ecart;
    }
    return somme / m_sorties;
}

void Perceptron::retropropager(const Exemple& e)
{
    const Vecteur& x = e.entree;
    const Vecteur& d = e.desire;
    if (x.taille() != m_entrees || d.taille() != m_sorties) {
        KIV_ERREUR(msg::DataInvalide);
    }
    const int couches = taille();
    for (int q = couches - 1; q >= 0; --q) {
        Couche& couche = (*this)[q];
        const bool sortie = q == couches - 1;
        const int neurones = couche.taille();
        for (int r = 0; r < neurones; ++r) {
            Neurone& n = couche[r];
            const double o = n.sortie;
            if (sortie) {
                n.delta = (d[r] - o) * ((1.0 - o) * o);
            } else {
                // The layer above was updated first: its new weights and deltas count.
                const Couche& aval = (*this)[q + 1];
                double s = 0.0;
                for (int j = 0; j < aval.taille(); ++j) {
                    s = s + aval[j][r].valeur * aval[j].delta;
                }
                n.delta = ((1.0 - o) * o) * s;
            }
            const double pasGain = n.delta * Gain;
            n.biais.modifier((n.biais.valeur - pasGain) + n.biais.variation() * Momentum);
            const int poids = n.taille();
            for (int k = 0; k < poids; ++k) {
                const double entree = q == 0 ? x[k] : (*this)[q - 1][k].sortie;
                Poids& w = n[k];
                w.modifier((pasGain * entree + w.valeur) + w.variation() * Momentum);
            }
        }
    }
}

std::ostream& operator<<(std::ostream& os, const Perceptron& p)
{
    return os << static_cast<const Table1D<Couche>&>(p);
}

std::istream& operator>>(std::istream& is, Perceptron& p)
{
    is >> static_cast<Table1D<Couche>&>(p);
    p.m_entrees = p[0][0].taille();
    p.m_sorties = p[p.taille() - 1].taille();
    return is;
}
