#include "link/trame/ChaineEnLigne.h"

#include "link/protocol/RobotProtocol.h"

#include <utility>

namespace protocole {

namespace {

ChaineTrames::Branchements avecReponse(ChaineTrames::Branchements b, std::string** reponse)
{
    b.repondre = [reponse](int gauche, int droite, int virage) {
        if (*reponse != nullptr) {
            (*reponse)->push_back(static_cast<char>(octetCommande(gauche, droite, virage)));
        }
    };
    return b;
}

} // namespace

ChaineEnLigne::ChaineEnLigne(ChaineTrames::Branchements branchements, Instant seuilSilence)
    : m_chaine(avecReponse(std::move(branchements), &m_reponse))
{
    m_chaine.demarrer(seuilSilence);
}

void ChaineEnLigne::recevoir(int octet, Instant arrivee, std::string& reponse)
{
    m_reponse = &reponse;
    const Etape etape = m_chaine.recevoir(octet, arrivee);
    m_reponse = nullptr;
    std::lock_guard verrou(m_verrou);
    m_arrivees.push_back(etape);
}

void ChaineEnLigne::noterEmission(Instant instant)
{
    m_chaine.noterEmission(instant);
}

Etape ChaineEnLigne::prendre()
{
    if (m_prochaine == m_lues.size()) {
        m_lues.clear();
        m_prochaine = 0;
        std::lock_guard verrou(m_verrou);
        m_lues.swap(m_arrivees);
    }
    if (m_prochaine == m_lues.size()) {
        return {};
    }
    return m_lues[m_prochaine++];
}

} // namespace protocole
