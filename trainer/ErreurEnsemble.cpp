#include "trainer/ErreurEnsemble.h"

#include "core/Erreur.h"
#include "neural/MessagesPerceptron.h"
#include "trainer/MessagesReseau.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

bool testerEnsemble(ReseauNeurones& reseau, const Table1D<Exemple>& ensemble, LectureSortie lecture,
                    std::vector<ErreurExemple>& resultats)
{
    if (reseau.perceptron() == nullptr) {
        return false;
    }
    if (ensemble.taille() == 0) {
        KIV_ERREUR(msg::EnsembleVide);
    }
    const int sorties = reseau.perceptron()->nombreSorties();
    // Every example is checked before any runs: a bad one late in the set
    // does not leave half a result.
    for (int i = 0; i < ensemble.taille(); ++i) {
        if (ensemble[i].entree.taille() != 3) {
            KIV_ERREUR(msg::VecteurEntreeInvalide);
        }
        if (ensemble[i].desire.taille() != sorties) {
            KIV_ERREUR(msg::VecteurDesireInvalide);
        }
    }
    std::vector<ErreurExemple> r(static_cast<std::size_t>(ensemble.taille()));
    for (int i = 0; i < ensemble.taille(); ++i) {
        const Exemple& e = ensemble[i];
        ErreurExemple& t = r[static_cast<std::size_t>(i)];
        reseau.Evaluer(e.entree[0], e.entree[1], e.entree[2], t.obtenu);
        double carres = 0.0;
        for (int k = 0; k < sorties; ++k) {
            if (lecture != nullptr) {
                t.obtenu[k] = lecture(t.obtenu[k]);
            }
            const double d = t.obtenu[k] - e.desire[k];
            carres += d * d;
        }
        t.desire = e.desire;
        t.erreur = std::sqrt(carres);
    }
    resultats = std::move(r);
    return true;
}

StatistiquesErreur statistiquesErreur(const std::vector<ErreurExemple>& resultats)
{
    StatistiquesErreur s;
    s.nombre = static_cast<int>(resultats.size());
    if (resultats.empty()) {
        return s;
    }
    std::vector<double> erreurs;
    erreurs.reserve(resultats.size());
    double carres = 0.0;
    for (std::size_t i = 0; i < resultats.size(); ++i) {
        double e = resultats[i].erreur;
        if (std::isnan(e)) {
            e = std::numeric_limits<double>::infinity();
        }
        erreurs.push_back(e);
        carres += e * e;
        if (s.indicePire < 0 || e > s.pire) {
            s.pire = e;
            s.indicePire = static_cast<int>(i);
        }
    }
    s.rms = std::sqrt(carres / static_cast<double>(erreurs.size()));
    const std::size_t n = erreurs.size();
    std::sort(erreurs.begin(), erreurs.end());
    s.mediane = n % 2 == 1 ? erreurs[n / 2] : (erreurs[n / 2 - 1] + erreurs[n / 2]) / 2.0;
    return s;
}

std::string texteStatistiques(const StatistiquesErreur& s, const std::vector<ErreurExemple>& r)
{
    char texte[256];
    int n =
        std::snprintf(texte, sizeof texte, "%d points : RMS %.2f cm, médiane %.2f cm, pire %.2f cm",
                      s.nombre, s.rms, s.mediane, s.pire);
    if (s.indicePire >= 0 && static_cast<std::size_t>(s.indicePire) < r.size()) {
        const Vecteur& d = r[static_cast<std::size_t>(s.indicePire)].desire;
        if (d.taille() == 2) {
            std::snprintf(texte + n, sizeof texte - static_cast<std::size_t>(n),
                          " (point %d : x %g, y %g)", s.indicePire + 1, d[1], d[0]);
        } else {
            std::snprintf(texte + n, sizeof texte - static_cast<std::size_t>(n), " (point %d)",
                          s.indicePire + 1);
        }
    }
    return texte;
}
