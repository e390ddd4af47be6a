#include "link/trame/ChaineEnLigne.h"

#include <algorithm>
#include <utility>

namespace protocole {

ChaineEnLigne::ChaineEnLigne(ChaineTrames::Branchements branchements, Instant seuilSilence,
                             std::size_t capacite)
    : m_chaine(std::move(branchements))
    , m_capacite(std::max<std::size_t>(capacite, 1))
{
    m_chaine.demarrer(seuilSilence);
}

void ChaineEnLigne::recevoir(int octet, Instant arrivee, std::string& reponse)
{
    const Etape etape = m_chaine.recevoir(octet, arrivee);
    if (etape.commande >= 0) {
        reponse.push_back(static_cast<char>(etape.commande));
    }
    std::lock_guard verrou(m_verrou);
    if (m_nombre == m_anneau.size()) {
        if (m_anneau.size() < m_capacite) {
            // Room doubles, the oldest first again.
            std::rotate(m_anneau.begin(), m_anneau.begin() + static_cast<std::ptrdiff_t>(m_tete),
                        m_anneau.end());
            m_tete = 0;
            m_anneau.resize(std::min(m_capacite, std::max<std::size_t>(m_anneau.size() * 2, 1024)));
        } else {
            // Full: the oldest outcome goes, this one takes its place.
            m_anneau[m_tete] = etape;
            m_tete = (m_tete + 1) % m_anneau.size();
            ++m_premier;
            ++m_perdues;
            return;
        }
    }
    m_anneau[(m_tete + m_nombre) % m_anneau.size()] = etape;
    ++m_nombre;
}

void ChaineEnLigne::noterEmission(Instant instant)
{
    m_chaine.noterEmission(instant);
}

Etape ChaineEnLigne::prendre(std::uint64_t numero)
{
    std::lock_guard verrou(m_verrou);
    if (numero > m_premier && m_nombre > 0) {
        // The outcomes of bytes the link dropped on the way.
        const auto sautees =
            static_cast<std::size_t>(std::min<std::uint64_t>(numero - m_premier, m_nombre));
        m_tete = (m_tete + sautees) % m_anneau.size();
        m_nombre -= sautees;
        m_premier += sautees;
    }
    if (m_nombre == 0 || numero != m_premier) {
        return {};
    }
    const Etape etape = m_anneau[m_tete];
    m_tete = (m_tete + 1) % m_anneau.size();
    --m_nombre;
    ++m_premier;
    return etape;
}

std::uint64_t ChaineEnLigne::perdues() const
{
    std::lock_guard verrou(m_verrou);
    return m_perdues;
}

} // namespace protocole
