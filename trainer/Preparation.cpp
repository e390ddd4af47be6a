#include "trainer/Preparation.h"

#include "trainer/MessagesReseau.h"

#include <cmath>

Table1D<Exemple> lireEnsemble(std::istream& is)
{
    Table1D<Exemple> ensemble;
    is >> ensemble;
    return ensemble;
}

MiseAEchelle calculerEchelles(const Table1D<Exemple>& ensemble, const ParametresReseau& p)
{
    // A field that is not a number would scale every output to one.
    if (!std::isfinite(p.MinOutput)) {
        KIV_ERREUR(msg::MinOutputInvalide);
    }
    if (!std::isfinite(p.MaxOutput)) {
        KIV_ERREUR(msg::MaxOutputInvalide);
    }
    if (!std::isfinite(p.Epsilon)) {
        KIV_ERREUR(msg::EpsilonInvalide);
    }
    // Range of every input component over the set; the desired outputs take no part.
    Vecteur mini;
    Vecteur maxi;
    if (ensemble.taille() > 0) {
        mini = ensemble[0].entree;
        maxi = ensemble[0].entree;
    }
    for (int k = 1; k < ensemble.taille(); ++k) {
        const Vecteur& x = ensemble[k].entree;
        for (int o = 0; o < mini.taille(); ++o) {
            if (x[o] < mini[o]) {
                mini[o] = x[o];
            }
            if (x[o] > maxi[o]) {
                maxi[o] = x[o];
            }
        }
    }

    const int entrees = mini.taille();
    const int sorties = p.NeuroneSortie;
    MiseAEchelle e;
    e.Translation1 = Vecteur(entrees);
    for (int i = 0; i < entrees; ++i) {
        e.Translation1[i] = (mini[i] + maxi[i]) / 2.0;
    }
    const double basse = p.MinOutput - p.Epsilon;
    e.Translation2 = Vecteur(sorties);
    e.Translation2.remplir(basse);
    e.Echelle1 = Matrice(entrees, entrees, 0.0);
    e.Echelle2 = Matrice(sorties, sorties, 0.0);

    // A component with one value throughout keeps the scale 1 (and is taught as 0).
    for (int i = 0; i < entrees; ++i) {
        e.Echelle1(i, i) = e.Translation1[i] == mini[i] ? 1.0 : 5.0 / (maxi[i] - mini[i]);
    }
    // Without a margin the outputs are only shifted; with one, [Min, Max]
    // spans 0.8, which needs a range that is not empty.
    for (int i = 0; i < sorties; ++i) {
        if (e.Translation2[i] == p.MinOutput) {
            e.Echelle2(i, i) = 1.0;
        } else if (p.MaxOutput == p.MinOutput) {
            KIV_ERREUR(msg::PlageSortieInvalide);
        } else {
            e.Echelle2(i, i) = 0.8 / (p.MaxOutput - p.MinOutput);
        }
    }
    for (int i = 0; i < sorties; ++i) {
        e.Translation2[i] = basse / e.Echelle2(0, 0);
    }
    return e;
}

void appliquerEchelles(Table1D<Exemple>& ensemble, const MiseAEchelle& echelles)
{
    for (int k = 0; k < ensemble.taille(); ++k) {
        Exemple& exemple = ensemble[k];
        exemple.entree = echelles.Echelle1 * (exemple.entree - echelles.Translation1);
        exemple.desire = echelles.Echelle2 * (exemple.desire - echelles.Translation2);
    }
}

void ecrireDump(std::ostream& os, const Table1D<Exemple>& ensemble, const MiseAEchelle& echelles)
{
    os << ensemble;
    os << "Echelle 1\n" << static_cast<const Table2D<double>&>(echelles.Echelle1);
    os << "Echelle 2\n" << static_cast<const Table2D<double>&>(echelles.Echelle2);
    os << "Translation 1\n" << static_cast<const Table2D<double>&>(echelles.Translation1);
    os << "Translation 2\n" << static_cast<const Table2D<double>&>(echelles.Translation2);
    os.flush();
}
