#include "link/protocol/AnalyseurTrame.h"

#include "core/Platform.h"
#include "link/protocol/RobotProtocol.h"

#include <algorithm>
#include <cstdio>

namespace protocole {

namespace {

/** The protocol channel listens: lines are worth formatting. */
bool tracee()
{
    return platform().traceEnabled(TraceChannel::Protocol);
}

void tracer(const char* ligne)
{
    platform().trace(TraceChannel::Protocol, ligne);
}

} // namespace

void AnalyseurTrame::demarrer()
{
    m_rxState = EtatTrame::Horodatages;
    m_rxIndex = 0;
    m_derniereArrivee = InstantInconnu;
    m_derniereEmission = InstantInconnu;
}

void AnalyseurTrame::noterEmission(Instant instant)
{
    if (instant != InstantInconnu &&
        (m_derniereEmission == InstantInconnu || instant > m_derniereEmission)) {
        m_derniereEmission = instant;
    }
}

int AnalyseurTrame::octetsDeLaTrame() const
{
    switch (m_rxState) {
    case EtatTrame::Horodatages:
        return m_rxIndex;
    case EtatTrame::Statut:
        return 8;
    case EtatTrame::Batterie:
        return 9;
    }
    return 0;
}

void AnalyseurTrame::resynchroniser(Instant arrivee, Evenement& evenement)
{
    if (arrivee == InstantInconnu) {
        return;
    }
    const Instant depuis = std::max(m_derniereArrivee, m_derniereEmission);
    m_derniereArrivee = arrivee;
    const int octets = octetsDeLaTrame();
    if (m_seuilSilence == 0 || octets == 0 || depuis == InstantInconnu ||
        arrivee - depuis <= m_seuilSilence) {
        return;
    }
    ++m_resynchronisations;
    m_octetsEcartes += static_cast<std::uint64_t>(octets);
    m_rxState = EtatTrame::Horodatages;
    m_rxIndex = 0;
    char ligne[96];
    std::snprintf(ligne, sizeof ligne, "resync after %lld us of silence: %d bytes dropped",
                  static_cast<long long>(arrivee - depuis), octets);
    tracer(ligne);
    evenement.ecartes = octets;
    evenement.silence = arrivee - depuis;
}

Evenement AnalyseurTrame::recevoir(int octet, Instant arrivee)
{
    const auto valeur = static_cast<std::uint8_t>(octet & 0xFF);
    Evenement resynchro;
    resynchroniser(arrivee, resynchro);
    Evenement evenement;
    char ligne[64];
    switch (m_rxState) {
    case EtatTrame::Horodatages:
        evenement = horodatage(valeur);
        evenement.ecartes = resynchro.ecartes;
        evenement.silence = resynchro.silence;
        return evenement;
    case EtatTrame::Statut:
        evenement.action = Action::Etat;
        evenement.bit0 = (valeur & 0x01) ? 1 : 0;
        evenement.bit1 = (valeur & 0x02) ? 1 : 0;
        m_rxIndex = 0;
        m_rxState = EtatTrame::Batterie;
        if (tracee()) {
            std::snprintf(ligne, sizeof ligne, "status 0x%02X: bumpers %d %d", valeur,
                          evenement.bit0, evenement.bit1);
            tracer(ligne);
        }
        return evenement;
    case EtatTrame::Batterie:
        evenement.action = Action::Batterie;
        evenement.batterie = valeur;
        m_rxState = EtatTrame::Horodatages;
        if (tracee()) {
            std::snprintf(ligne, sizeof ligne, "battery %d", evenement.batterie);
            tracer(ligne);
        }
        return evenement;
    }
    // Never reached: every state is one of the three.
    m_rxState = EtatTrame::Horodatages;
    m_rxIndex = 0;
    return evenement;
}

Evenement AnalyseurTrame::horodatage(std::uint8_t octet)
{
    Evenement evenement;
    if (m_rxIndex % 2 == 0) {
        m_lowByte = octet;
    } else {
        m_rxStamps[(m_rxIndex - 1) / 2] =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(octet * 256 + m_lowByte));
    }
    ++m_rxIndex;
    if (m_rxIndex < 8) {
        return evenement;
    }
    m_rxState = EtatTrame::Statut;
    m_rxIndex = 0;
    calculerIntervalles(m_rxStamps, m_intervals);
    evenement.action = Action::Position;
    for (int k = 0; k < 4; ++k) {
        evenement.horodatages[k] = m_rxStamps[k];
    }
    for (int k = 0; k < 3; ++k) {
        evenement.intervalles[k] = m_intervals[k];
    }
    return evenement;
}

} // namespace protocole
