#include "console/SanteLien.h"

#include <cstdio>

namespace {

/** Frames per second are counted over this window. */
constexpr std::int64_t FenetreMs = 2000;

} // namespace

SanteLien::SanteLien(std::int64_t delaiPerteMs)
    : m_delai(delaiPerteMs > 0 ? delaiPerteMs : 2000)
{}

std::optional<EtatLien> SanteLien::observer(std::int64_t maintenantMs, bool ouvert,
                                            std::uint64_t trames)
{
    EtatLien nouvel = EtatLien::Ferme;
    if (!ouvert) {
        m_nombre = 0;
        m_tps = 0.0;
    } else {
        if (m_etat == EtatLien::Ferme) {
            // Just opened: frames are counted from here.
            m_ouvertA = maintenantMs;
            m_tramesVues = trames;
            m_aRecu = false;
            m_nombre = 0;
        }
        if (trames != m_tramesVues) {
            m_tramesVues = trames;
            m_derniereTrame = maintenantMs;
            m_aRecu = true;
        }
        noter(maintenantMs, trames);
        const std::int64_t silence = maintenantMs - (m_aRecu ? m_derniereTrame : m_ouvertA);
        if (silence >= m_delai) {
            nouvel = EtatLien::Perdu;
        } else {
            nouvel = m_aRecu ? EtatLien::Reception : EtatLien::Attente;
        }
    }
    if (nouvel == m_etat) {
        return std::nullopt;
    }
    m_etat = nouvel;
    return nouvel;
}

void SanteLien::noter(std::int64_t maintenantMs, std::uint64_t trames)
{
    m_echantillons[m_suivant] = {maintenantMs, trames};
    m_suivant = (m_suivant + 1) % m_echantillons.size();
    if (m_nombre < m_echantillons.size()) {
        ++m_nombre;
    }
    // The oldest look still inside the window.
    const Echantillon* ancien = nullptr;
    for (std::size_t k = 0; k < m_nombre; ++k) {
        const Echantillon& e =
            m_echantillons[(m_suivant + m_echantillons.size() - 1 - k) % m_echantillons.size()];
        if (maintenantMs - e.temps > FenetreMs) {
            break;
        }
        ancien = &e;
    }
    const std::int64_t duree = ancien ? maintenantMs - ancien->temps : 0;
    m_tps = duree > 0
                ? static_cast<double>(trames - ancien->trames) * 1000.0 / static_cast<double>(duree)
                : 0.0;
}

std::string SanteLien::texte() const
{
    char texte[96];
    switch (m_etat) {
    case EtatLien::Ferme:
        return "Lien : fermé";
    case EtatLien::Attente:
        return "Lien : ouvert, en attente de données";
    case EtatLien::Reception:
        std::snprintf(texte, sizeof texte, "Lien : réception, %.1f trames/s", m_tps);
        return texte;
    case EtatLien::Perdu:
        std::snprintf(texte, sizeof texte, "Lien : perdu, aucune trame depuis %g s",
                      static_cast<double>(m_delai) / 1000.0);
        return texte;
    }
    return {};
}
