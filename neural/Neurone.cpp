#include "neural/Neurone.h"

#include "neural/Matrice.h"
#include "neural/MessagesPerceptron.h"

#include <cmath>

namespace {

/** The logistic function: strictly between 0 and 1. */
inline double logistique(double net)
{
    return 1.0 / (1.0 + std::exp(-net));
}

} // namespace

void Neurone::calculer(const Vecteur& entree)
{
    const int n = taille();
    if (n != entree.taille()) {
        KIV_ERREUR(msg::VecteurEntreeInvalide);
    }
    // The sizes match, so each input is a cell of the vector's first column.
    const Poids* w = donnees();
    const double* x = entree.donnees();
    const int pas = entree.colonnes();
    double net = -biais.valeur;
    for (int k = 0; k < n; ++k) {
        net = net + w[k].valeur * x[k * pas];
    }
    sortie = logistique(net);
}

void Neurone::calculer(const Couche& precedente)
{
    const int n = taille();
    if (n != precedente.taille()) {
        KIV_ERREUR(msg::CouchePrecedenteInvalide);
    }
    const Poids* w = donnees();
    const Neurone* amont = precedente.donnees();
    double net = -biais.valeur;
    for (int k = 0; k < n; ++k) {
        net = net + w[k].valeur * amont[k].sortie;
    }
    sortie = logistique(net);
}

std::ostream& operator<<(std::ostream& os, const Neurone& n)
{
    os << n.biais << std::endl;
    return os << static_cast<const Table1D<Poids>&>(n);
}

std::istream& operator>>(std::istream& is, Neurone& n)
{
    is >> n.biais;
    if (is.fail()) {
        KIV_ERREUR(msg::FormatInvalide);
    }
    return is >> static_cast<Table1D<Poids>&>(n);
}
