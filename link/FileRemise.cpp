#include "link/FileRemise.h"

#include <algorithm>

void LotRemise::vider()
{
    arrivees.clear();
    recus.clear();
    reponses.clear();
    debordes = 0;
    prochaine = 0;
    prochainOctet = 0;
    prochaineReponse = 0;
}

void FileRemise::reglerCapacite(std::size_t octets)
{
    m_capacite = std::max<std::size_t>(octets, 1);
}

std::uint64_t FileRemise::borner()
{
    const std::size_t entreesMax = std::max<std::size_t>(m_capacite / 2, 1);
    std::uint64_t perdus = 0;
    // The reflex's answer goes with the bytes it answered.
    bool reponseOrpheline = false;
    while (m_debut < m_arrivees.size()) {
        ArriveeLien& a = m_arrivees[m_debut];
        const bool trop = octets() > m_capacite || entrees() > entreesMax;
        if (a.genre == ArriveeLien::Genre::Perte ||
            !(trop || (reponseOrpheline && a.genre == ArriveeLien::Genre::Reponse))) {
            break;
        }
        reponseOrpheline = false;
        if (a.genre == ArriveeLien::Genre::Octets) {
            const std::size_t exces = octets() > m_capacite ? octets() - m_capacite : 0;
            if (entrees() <= entreesMax && exces < a.longueur) {
                // Only the entry's oldest bytes: its newest keep their times,
                // which are counted from its last byte.
                a.longueur -= static_cast<std::uint32_t>(exces);
                m_debutRecus += exces;
                perdus += exces;
                break;
            }
            m_debutRecus += a.longueur;
            perdus += a.longueur;
            reponseOrpheline = true;
        } else if (a.genre == ArriveeLien::Genre::Reponse) {
            m_debutReponses += a.longueur;
        }
        ++m_debut;
    }
    m_debordes += perdus;
    compacter();
    return perdus;
}

void FileRemise::prendre(LotRemise& lot, std::size_t octetsMax, std::size_t entreesMax)
{
    lot.vider();
    lot.debordes = m_debordes;
    m_debordes = 0;
    std::size_t pris = 0;
    while (m_debut < m_arrivees.size() && lot.arrivees.size() < entreesMax) {
        ArriveeLien& a = m_arrivees[m_debut];
        if (a.genre == ArriveeLien::Genre::Octets) {
            if (pris >= octetsMax) {
                break;
            }
            const std::size_t n = std::min<std::size_t>(a.longueur, octetsMax - pris);
            ArriveeLien part = a;
            part.longueur = static_cast<std::uint32_t>(n);
            // The part taken ends as many byte times before the entry's last
            // byte as there are bytes left after it.
            part.instant = a.instant - static_cast<std::int64_t>(a.longueur - n) * a.pasUs;
            lot.arrivees.push_back(part);
            lot.recus.append(m_recus, m_debutRecus, n);
            m_debutRecus += n;
            pris += n;
            if (n < a.longueur) {
                a.longueur -= static_cast<std::uint32_t>(n);
                break;
            }
        } else {
            if (a.genre == ArriveeLien::Genre::Reponse) {
                lot.reponses.append(m_reponses, m_debutReponses, a.longueur);
                m_debutReponses += a.longueur;
            }
            lot.arrivees.push_back(a);
        }
        ++m_debut;
    }
    compacter();
}

void FileRemise::remettreEnTete(LotRemise& lot)
{
    if (m_debordes > 0) {
        // Bytes went after the lot was taken: what is left of it is older
        // still, so it goes too, and the count stays in the line's order.
        m_debordes += lot.debordes;
        for (std::size_t k = lot.prochaine; k < lot.arrivees.size(); ++k) {
            if (lot.arrivees[k].genre == ArriveeLien::Genre::Octets) {
                m_debordes += lot.arrivees[k].longueur;
            }
        }
        lot.vider();
        return;
    }
    m_debordes = lot.debordes;
    const auto debut = m_arrivees.begin() + static_cast<std::ptrdiff_t>(m_debut);
    m_arrivees.insert(debut, lot.arrivees.begin() + static_cast<std::ptrdiff_t>(lot.prochaine),
                      lot.arrivees.end());
    m_recus.insert(m_debutRecus, lot.recus, lot.prochainOctet, std::string::npos);
    m_reponses.insert(m_debutReponses, lot.reponses, lot.prochaineReponse, std::string::npos);
    lot.vider();
    borner();
}

void FileRemise::vider()
{
    m_arrivees.clear();
    m_recus.clear();
    m_reponses.clear();
    m_debut = 0;
    m_debutRecus = 0;
    m_debutReponses = 0;
    m_debordes = 0;
}

void FileRemise::compacter()
{
    if (m_debut > 0 && m_debut * 2 >= m_arrivees.size()) {
        m_arrivees.erase(m_arrivees.begin(),
                         m_arrivees.begin() + static_cast<std::ptrdiff_t>(m_debut));
        m_debut = 0;
    }
    if (m_debutRecus > 0 && m_debutRecus * 2 >= m_recus.size()) {
        m_recus.erase(0, m_debutRecus);
        m_debutRecus = 0;
    }
    if (m_debutReponses > 0 && m_debutReponses * 2 >= m_reponses.size()) {
        m_reponses.erase(0, m_debutReponses);
        m_debutReponses = 0;
    }
}
