#include "calibration/ListeCalibration.h"

#include "core/Erreur.h"
#include "neural/MessagesPerceptron.h"
#include "trainer/TexteWindows.h"

#include <cstdio>

namespace calibration {

void ListeCalibration::retirer(int i)
{
    if (i >= 0 && i < taille()) {
        m_points.erase(m_points.begin() + i);
    }
}

Table1D<Exemple> ListeCalibration::ensemble() const
{
    Table1D<Exemple> exemples(taille());
    for (int i = 0; i < taille(); ++i) {
        const PointCalibration& p = m_points[static_cast<std::size_t>(i)];
        Exemple& e = exemples[i];
        e.entree.redimensionner(3);
        for (int k = 0; k < 3; ++k) {
            e.entree[k] = p.intervalles[static_cast<std::size_t>(k)];
        }
        e.desire.redimensionner(2);
        e.desire[0] = p.position.y;
        e.desire[1] = p.position.x;
    }
    return exemples;
}

void ListeCalibration::ecrire(std::ostream& os) const
{
    os << "# Points de calibration : intervalles (s) -> position du robot (cm).\n"
       << "# Entrées : les trois intervalles moyens lus par la console.\n"
       << "# Sorties : y, puis x.\n"
       << '(' << taille() << ")\n";
    const Table1D<Exemple> exemples = ensemble();
    char ligne[160];
    for (int i = 0; i < taille(); ++i) {
        const PointCalibration& p = m_points[static_cast<std::size_t>(i)];
        std::snprintf(ligne, sizeof ligne,
                      "# point %d : x %g y %g, %d trames, dispersion %.2f cm\n", i + 1,
                      p.position.x, p.position.y, p.trames, p.dispersionCm);
        os << ligne << exemples[i] << '\n';
    }
    os.flush();
}

bool ListeCalibration::ecrireFichier(const std::string& chemin, std::string* raison) const
{
    FichierTexteSortie fichier(chemin);
    ecrire(fichier);
    if (!fichier.fermer()) {
        if (raison != nullptr) {
            *raison = fichier.raison();
        }
        return false;
    }
    return true;
}

ListeCalibration ListeCalibration::depuisEnsemble(const Table1D<Exemple>& ensemble)
{
    ListeCalibration liste;
    for (int i = 0; i < ensemble.taille(); ++i) {
        const Exemple& e = ensemble[i];
        if (e.entree.taille() != 3) {
            KIV_ERREUR(msg::VecteurEntreeInvalide);
        }
        if (e.desire.taille() != 2) {
            KIV_ERREUR(msg::VecteurDesireInvalide);
        }
        PointCalibration p;
        p.position = {e.desire[1], e.desire[0]};
        for (int k = 0; k < 3; ++k) {
            p.intervalles[static_cast<std::size_t>(k)] = e.entree[k];
        }
        liste.ajouter(p);
    }
    return liste;
}

} // namespace calibration
