#include "link/protocol/AnalyseurTrame.h"

#include "core/Platform.h"
#include "link/protocol/RobotProtocol.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace protocole {

namespace {

void tracer(const char* ligne)
{
    platform().trace(TraceChannel::Protocol, ligne);
}

} // namespace

AnalyseurTrame::AnalyseurTrame(Estimateur estimateur)
    : m_estimateur(std::move(estimateur))
{}

void AnalyseurTrame::demarrer()
{
    m_rxState = 2;
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
    case 2:
        return m_rxIndex;
    case 3:
        return 8;
    case 4:
        return 9;
    default:
        return 0;
    }
}

int AnalyseurTrame::resynchroniser(Instant arrivee)
{
    if (arrivee == InstantInconnu) {
        return 0;
    }
    const Instant depuis = std::max(m_derniereArrivee, m_derniereEmission);
    m_derniereArrivee = arrivee;
    const int octets = octetsDeLaTrame();
    if (m_seuilSilence == 0 || octets == 0 || depuis == InstantInconnu ||
        arrivee - depuis <= m_seuilSilence) {
        return 0;
    }
    ++m_resynchronisations;
    m_octetsEcartes += static_cast<std::uint64_t>(octets);
    m_rxState = 2;
    m_rxIndex = 0;
    char ligne[96];
    std::snprintf(ligne, sizeof ligne, "resync after %lld us of silence: %d bytes dropped",
                  static_cast<long long>(arrivee - depuis), octets);
    tracer(ligne);
    return octets;
}

Evenement AnalyseurTrame::recevoir(int octet, Instant arrivee)
{
    const auto valeur = static_cast<std::uint8_t>(octet & 0xFF);
    const int ecartes = resynchroniser(arrivee);
    Evenement evenement;
    char ligne[64];
    switch (m_rxState) {
    case 2:
        evenement = horodatage(valeur);
        evenement.ecartes = ecartes;
        return evenement;
    case 3:
        evenement.action = Action::Etat;
        evenement.bit0 = (valeur & 0x01) ? 1 : 0;
        evenement.bit1 = (valeur & 0x02) ? 1 : 0;
        m_rxIndex = 0;
        m_rxState = 4;
        std::snprintf(ligne, sizeof ligne, "status 0x%02X: bumpers %d %d", valeur, evenement.bit0,
                      evenement.bit1);
        tracer(ligne);
        break;
    case 4:
        evenement.action = Action::Batterie;
        evenement.batterie = valeur;
        m_rxState = 2;
        std::snprintf(ligne, sizeof ligne, "battery %d", evenement.batterie);
        tracer(ligne);
        break;
    default:
        m_rxState = 2;
        m_rxIndex = 0;
        break;
    }
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
    m_rxState = 3;
    m_rxIndex = 0;
    calculerIntervalles(m_rxStamps, m_intervals);
    evenement.action = Action::Position;
    if (m_estimateur) {
        evenement.estimation = m_estimateur(m_intervals[0], m_intervals[1], m_intervals[2]);
    }
    char ligne[160];
    int n = std::snprintf(
        ligne, sizeof ligne, "frame: stamps %d %d %d %d, intervals %.7g %.7g %.7g, ", m_rxStamps[0],
        m_rxStamps[1], m_rxStamps[2], m_rxStamps[3], static_cast<double>(m_intervals[0]),
        static_cast<double>(m_intervals[1]), static_cast<double>(m_intervals[2]));
    n = n < 0 ? 0 : (n < static_cast<int>(sizeof ligne) ? n : static_cast<int>(sizeof ligne) - 1);
    const Estimation& e = evenement.estimation;
    if (e.valide) {
        std::snprintf(ligne + n, sizeof ligne - n, "outputs %.6g %.6g", e.sortie0, e.sortie1);
    } else {
        std::snprintf(ligne + n, sizeof ligne - n, "no estimate");
    }
    tracer(ligne);
    return evenement;
}

} // namespace protocole
