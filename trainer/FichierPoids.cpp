#include "trainer/FichierPoids.h"

#include "core/Messages.h"

namespace {

void lireBloc(std::istream& is, Matrice& m)
{
    is >> static_cast<Table2D<double>&>(m);
}

/** A vector must be a single column, or the scaling arithmetic would refuse it later. */
void lireVecteur(std::istream& is, Vecteur& v)
{
    Matrice m;
    lireBloc(is, m);
    if (m.colonnes() != 1) {
        KIV_ERREUR(msg::FormatInvalide);
    }
    v = Vecteur(m);
}

} // namespace

void ecrirePoids(std::ostream& os, const MiseAEchelle& echelles, const Perceptron& perceptron)
{
    os << static_cast<const Table2D<double>&>(echelles.Echelle1)
       << static_cast<const Table2D<double>&>(echelles.Echelle2)
       << static_cast<const Table2D<double>&>(echelles.Translation1)
       << static_cast<const Table2D<double>&>(echelles.Translation2) << perceptron;
    os.flush();
}

void lirePoids(std::istream& is, MiseAEchelle& echelles, Perceptron& perceptron)
{
    lireBloc(is, echelles.Echelle1);
    lireBloc(is, echelles.Echelle2);
    lireVecteur(is, echelles.Translation1);
    lireVecteur(is, echelles.Translation2);
    is >> perceptron;
}
