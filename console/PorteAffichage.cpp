#include "console/PorteAffichage.h"

#include <utility>

namespace {

/** The longest a chore waits for a status byte. */
constexpr int AttenteMaxMs = 50;

} // namespace

PorteAffichage::PorteAffichage(std::function<bool()> enAttente)
    : m_enAttente(std::move(enAttente))
{
    m_corvees.reserve(4);
    m_enCours.reserve(4);
    m_limite.setSingleShot(true);
    connect(&m_limite, &QTimer::timeout, this, &PorteAffichage::apresReponse);
}

void PorteAffichage::executer(const void* cle, std::function<void()> travail)
{
    if (!m_enAttente || !m_enAttente()) {
        travail();
        return;
    }
    for (const Corvee& c : m_corvees) {
        if (c.cle == cle) {
            return;
        }
    }
    m_corvees.push_back({cle, std::move(travail)});
    if (!m_limite.isActive()) {
        m_limite.start(AttenteMaxMs);
    }
}

void PorteAffichage::apresReponse()
{
    if (m_corvees.empty()) {
        return;
    }
    m_limite.stop();
    // A chore may ask for another: it waits for the next frame.
    m_enCours.swap(m_corvees);
    for (Corvee& c : m_enCours) {
        c.travail();
    }
    m_enCours.clear();
}
