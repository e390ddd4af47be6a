#include "console/SanteLien.h"

#include <cstdio>

namespace {

/** Frames per second are counted over this window. */
constexpr std::int64_t FenetreMs = 2000;
/** Frames cut short, and bytes dropped by an overrun, are told for this long. */
constexpr std::int64_t FenetreResynchroMs = 10000;

} // namespace

SanteLien::SanteLien(std::int64_t delaiPerteMs)
    : m_delai(delaiPerteMs > 0 ? delaiPerteMs : 2000)
{}

std::optional<EtatSante> SanteLien::observer(std::int64_t maintenantMs, const RegardLien& regard)
{
    const bool ouvert = regard.ouvert;
    const std::uint64_t trames = regard.trames;
    m_resynchrosVus.noter(maintenantMs, regard.resynchronisations);
    m_debordesVus.noter(maintenantMs, regard.debordes);
    m_maintenant = maintenantMs;
    if (regard.reconnexions > m_reconnexionsVues) {
        m_reconnecteA = maintenantMs;
    }
    m_reconnexionsVues = regard.reconnexions;
    EtatSante nouvel = EtatSante::Ferme;
    if (regard.deconnecte) {
        m_nombre = 0;
        m_tps = 0.0;
        nouvel = EtatSante::Deconnecte;
    } else if (!ouvert) {
        m_nombre = 0;
        m_tps = 0.0;
    } else {
        if (m_etat == EtatSante::Ferme || m_etat == EtatSante::Deconnecte) {
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
            // Nothing can be lost before the first frame.
            nouvel = m_aRecu ? EtatSante::Perdu : EtatSante::SansTrame;
        } else {
            nouvel = m_aRecu ? EtatSante::Reception : EtatSante::Attente;
        }
    }
    if (nouvel == m_etat) {
        return std::nullopt;
    }
    m_etat = nouvel;
    return nouvel;
}

void SanteLien::CompteRecent::noter(std::int64_t maintenantMs, std::uint64_t compte)
{
    if (compte > vus) {
        hausses.emplace_back(maintenantMs, compte - vus);
    }
    vus = compte;
    while (!hausses.empty() && maintenantMs - hausses.front().first >= FenetreResynchroMs) {
        hausses.pop_front();
    }
}

std::uint64_t SanteLien::CompteRecent::recents() const
{
    std::uint64_t n = 0;
    for (const auto& h : hausses) {
        n += h.second;
    }
    return n;
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
    std::string t;
    switch (m_etat) {
    case EtatSante::Ferme:
        return "Lien : fermé";
    case EtatSante::Deconnecte:
        return "Lien : perdu, périphérique déconnecté";
    case EtatSante::Attente:
        t = "Lien : ouvert, en attente de données";
        break;
    case EtatSante::SansTrame:
        t = "Lien : ouvert, aucune trame reçue";
        break;
    case EtatSante::Reception:
        std::snprintf(texte, sizeof texte, "Lien : réception, %.1f trames/s", m_tps);
        t = texte;
        break;
    case EtatSante::Perdu:
        std::snprintf(texte, sizeof texte, "Lien : perdu, aucune trame depuis %g s",
                      static_cast<double>(m_delai) / 1000.0);
        t = texte;
        break;
    }
    if (const std::uint64_t n = debordesRecents(); n > 0) {
        std::snprintf(texte, sizeof texte, ", %llu octet%s perdu%s (débordement)",
                      static_cast<unsigned long long>(n), n > 1 ? "s" : "", n > 1 ? "s" : "");
        t += texte;
    }
    if (const std::uint64_t n = resynchronisationsRecentes(); n > 0) {
        std::snprintf(texte, sizeof texte, ", %llu resynchronisation%s",
                      static_cast<unsigned long long>(n), n > 1 ? "s" : "");
        t += texte;
    }
    if (m_reconnecteA && m_maintenant - *m_reconnecteA < FenetreResynchroMs) {
        t += ", reconnecté";
    }
    return t;
}
