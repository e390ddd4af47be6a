#include "console/EstimateurLien.h"

#include "core/Platform.h"

#include <exception>
#include <utility>

protocole::Estimation EstimateurLien::estimer(double t1, double t2, double t3)
{
    protocole::Estimation estimation;
    // One a thread, kept from frame to frame: no allocation once it has its size.
    thread_local Vecteur sortie;
    try {
        estimation.valide = m_reseau.Evaluer(t1, t2, t3, sortie) && sortie.taille() >= 2;
    } catch (const std::exception& e) {
        // A network that does not take these three inputs: no estimate.
        platform().trace(TraceChannel::App, std::string("position estimate: ") + e.what());
        std::lock_guard verrou(m_verrou);
        m_refus = e.what();
        return estimation;
    }
    if (estimation.valide) {
        estimation.sortie0 = sortie[0];
        estimation.sortie1 = sortie[1];
    }
    return estimation;
}

std::string EstimateurLien::prendreRefus()
{
    std::lock_guard verrou(m_verrou);
    return std::exchange(m_refus, std::string());
}
