#include "ListeJournal.h"

#include <algorithm>
#include <cstdio>

void ListeJournal::prendre(const journal::Enregistrement& e)
{
    if (e.genre == journal::Genre::Calibration) {
        journal::PointCalibre p;
        if (!journal::decoderCalibration(e.charge.data(), e.charge.size(), p)) {
            return; // the reader lets no such record through
        }
        ++m_enregistrements;
        calibration::PointCalibration point;
        point.position = {p.x, p.y};
        point.intervalles = {p.intervalles[0], p.intervalles[1], p.intervalles[2]};
        point.trames = static_cast<int>(std::min<std::uint32_t>(p.trames, 1000000));
        point.dispersionCm = p.dispersionCm;
        m_liste.ajouter(point);
        return;
    }
    journal::EditionListe edition;
    if (e.genre != journal::Genre::ListeCalibration ||
        !journal::decoderListeCalibration(e.charge.data(), e.charge.size(), edition)) {
        return;
    }
    ++m_enregistrements;
    if (edition.operation == journal::OperationListe::Vidage) {
        // Whatever was missed before, the window's list is empty now.
        m_liste.vider();
        m_ecart.clear();
        return;
    }
    if (!fidele()) {
        return;
    }
    if (static_cast<std::uint32_t>(m_liste.taille()) != edition.taille) {
        char texte[200];
        std::snprintf(texte, sizeof texte,
                      "à %.3f s, la fenêtre retire le point %u de %u et le journal n'en a que %d : "
                      "des points ont été gardés sans être enregistrés",
                      static_cast<double>(e.tempsUs) / 1e6, edition.indice + 1, edition.taille,
                      m_liste.taille());
        m_ecart = texte;
        return;
    }
    m_liste.retirer(static_cast<int>(edition.indice));
}

std::string decrireEditionListe(const journal::Enregistrement& e)
{
    journal::EditionListe edition;
    if (e.genre != journal::Genre::ListeCalibration ||
        !journal::decoderListeCalibration(e.charge.data(), e.charge.size(), edition)) {
        return {};
    }
    if (edition.operation == journal::OperationListe::Vidage) {
        return "liste vidée (" + std::to_string(edition.taille) +
               (edition.taille > 1 ? " points)" : " point)");
    }
    return "point " + std::to_string(edition.indice + 1) + " sur " +
           std::to_string(edition.taille) + " retiré";
}
