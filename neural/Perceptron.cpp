#include "neural/Perceptron.h"

#include "core/Messages.h"
#include "core/ProgressBox.h"
#include "neural/MessagesPerceptron.h"

#include "core/BudgetMemoire.h"

#include <cmath>
#include <cstddef>

Perceptron::Perceptron(bool avecProgression)
    : AvecProgression(avecProgression)
{}

Perceptron::Perceptron(const Table1D<int>& tailles, bool avecProgression)
    : AvecProgression(avecProgression)
{
    verifierTailles(tailles);
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

void verifierTailles(const Table1D<int>& tailles, double cellulesEnPlus)
{
    double octets = cellulesEnPlus * sizeof(double);
    for (int i = 1; i < tailles.taille(); ++i) {
        if (tailles[i] == 0) {
            KIV_ERREUR(msg::CoucheSansNeurone);
        }
        // Negative sizes are refused by the tables themselves.
        const double neurones = tailles[i] > 0 ? tailles[i] : 0;
        const double poids = tailles[i - 1] > 0 ? tailles[i - 1] : 0;
        octets += sizeof(Couche) + neurones * (sizeof(Neurone) + poids * sizeof(Poids));
    }
    verifierBudgetMemoire(octets);
}

bool Perceptron::poidsFinis() const
{
    const Couche* c = donnees();
    for (int q = 0; q < taille(); ++q) {
        const Neurone* n = c[q].donnees();
        for (int r = 0; r < c[q].taille(); ++r) {
            if (!std::isfinite(n[r].biais.valeur)) {
                return false;
            }
            const Poids* w = n[r].donnees();
            for (int k = 0; k < n[r].taille(); ++k) {
                if (!std::isfinite(w[k].valeur)) {
                    return false;
                }
            }
        }
    }
    return true;
}

std::unique_ptr<Perceptron> Perceptron::copie(bool avecProgression) const
{
    auto c = std::make_unique<Perceptron>(avecProgression);
    static_cast<Table1D<Couche>&>(*c) = static_cast<const Table1D<Couche>&>(*this);
    c->Gain = Gain;
    c->PasAffichage = PasAffichage;
    c->ErreurMax = ErreurMax;
    c->IterMax = IterMax;
    c->Momentum = Momentum;
    c->m_entrees = m_entrees;
    c->m_sorties = m_sorties;
    c->Tolerance = Tolerance;
    return c;
}

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
        if (i == 0) {
            for (int r = 0; r < neurones; ++r) {
                n[r].calculer(x);
            }
        } else {
            for (int r = 0; r < neurones; ++r) {
                n[r].calculer(c[i - 1]);
            }
        }
    }
}

Vecteur Perceptron::sorties() const
{
    Vecteur o;
    sorties(o);
    return o;
}

void Perceptron::sorties(Vecteur& o) const
{
    const Couche& derniere = (*this)[taille() - 1];
    if (o.lignes() != m_sorties) {
        o = Vecteur(m_sorties);
    }
    for (int i = 0; i < m_sorties; ++i) {
        o[i] = derniere[i].sortie;
    }
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

void Perceptron::verifierChainage(int entrees) const
{
    const int couches = taille();
    const Couche* c = donnees();
    for (int q = 0; q < couches; ++q) {
        const int amont = q == 0 ? entrees : c[q - 1].taille();
        const Neurone* n = c[q].donnees();
        for (int r = 0; r < c[q].taille(); ++r) {
            if (n[r].taille() != amont) {
                KIV_ERREUR(msg::IndiceInvalide);
            }
        }
    }
}

void Perceptron::retropropager(const Exemple& e)
{
    const Vecteur& x = e.entree;
    const Vecteur& d = e.desire;
    if (x.taille() != m_entrees || d.taille() != m_sorties) {
        KIV_ERREUR(msg::DataInvalide);
    }
    verifierChainage(m_entrees);
    apprendre(e);
}

void Perceptron::apprendre(const Exemple& e)
{
    const Vecteur& x = e.entree;
    const Vecteur& d = e.desire;
    const int couches = taille();
    if (couches == 0) {
        return;
    }
    // Every index below stays in range once the layers chain (checked by the
    // caller) and the output layer is no wider than the desired vector.
    Couche* c = donnees();
    if (c[couches - 1].taille() > d.taille()) {
        KIV_ERREUR(msg::IndiceInvalide);
    }
    // Locals, so that the weight stores below cannot force them to be reloaded.
    const double gain = Gain;
    const double momentum = Momentum;
    const double* xs = x.donnees();
    const std::ptrdiff_t pasX = x.colonnes();
    const double* ds = d.donnees();
    const std::ptrdiff_t pasD = d.colonnes();

    for (int q = couches - 1; q >= 0; --q) {
        Neurone* n = c[q].donnees();
        const int neurones = c[q].taille();
        // The output layer is known by its place: a layer above without
        // neurons (no storage) sums to 0, it does not make this one the output.
        const bool derniere = q + 1 == couches;
        const Neurone* aval = derniere ? nullptr : c[q + 1].donnees();
        const int nAval = derniere ? 0 : c[q + 1].taille();
        const Neurone* amont = q > 0 ? c[q - 1].donnees() : nullptr;
        for (int r = 0; r < neurones; ++r) {
            Neurone& neurone = n[r];
            const double o = neurone.sortie;
            if (derniere) {
                neurone.delta = (ds[r * pasD] - o) * ((1.0 - o) * o);
            } else {
                // The layer above was updated first: its new weights and deltas count.
                double s = 0.0;
                for (int j = 0; j < nAval; ++j) {
                    s = s + aval[j].donnees()[r].valeur * aval[j].delta;
                }
                neurone.delta = ((1.0 - o) * o) * s;
            }
            const double pasGain = neurone.delta * gain;
            Poids& b = neurone.biais;
            b.modifier((b.valeur - pasGain) + b.variation() * momentum);
            Poids* w = neurone.donnees();
            const int poids = neurone.taille();
            if (amont == nullptr) {
                for (int k = 0; k < poids; ++k) {
                    w[k].modifier((pasGain * xs[k * pasX] + w[k].valeur) +
                                  w[k].variation() * momentum);
                }
            } else {
                for (int k = 0; k < poids; ++k) {
                    w[k].modifier((pasGain * amont[k].sortie + w[k].valeur) +
                                  w[k].variation() * momentum);
                }
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
    for (int q = 1; q < p.taille(); ++q) {
        if (p[q].taille() == 0) {
            KIV_ERREUR(msg::CoucheSansNeurone);
        }
    }
    p.m_sorties = p[p.taille() - 1].taille();
    return is;
}
