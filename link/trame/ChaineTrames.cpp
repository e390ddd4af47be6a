#include "link/trame/ChaineTrames.h"

#include "core/Platform.h"
#include "link/protocol/RobotProtocol.h"
#include "world/PositionFiltree.h"
#include "world/RobotReports.h"

#include <cstdio>
#include <utility>

namespace protocole {

namespace {

/** The frame's trace line: its timestamps, intervals and estimate. */
void tracerTrame(const Evenement& e, const Estimation& estimation)
{
    char ligne[160];
    int n =
        std::snprintf(ligne, sizeof ligne, "frame: stamps %d %d %d %d, intervals %.7g %.7g %.7g, ",
                      e.horodatages[0], e.horodatages[1], e.horodatages[2], e.horodatages[3],
                      static_cast<double>(e.intervalles[0]), static_cast<double>(e.intervalles[1]),
                      static_cast<double>(e.intervalles[2]));
    n = n < 0 ? 0 : (n < static_cast<int>(sizeof ligne) ? n : static_cast<int>(sizeof ligne) - 1);
    if (estimation.valide) {
        std::snprintf(ligne + n, sizeof ligne - static_cast<std::size_t>(n), "outputs %.6g %.6g",
                      estimation.sortie0, estimation.sortie1);
    } else {
        std::snprintf(ligne + n, sizeof ligne - static_cast<std::size_t>(n), "no estimate");
    }
    platform().trace(TraceChannel::Protocol, ligne);
}

} // namespace

ChaineTrames::ChaineTrames(Branchements branchements)
    : m_branchements(std::move(branchements))
{}

void ChaineTrames::demarrer(Instant seuilSilence)
{
    m_analyseur.demarrer();
    m_analyseur.reglerSeuilSilence(seuilSilence);
}

Etape ChaineTrames::recevoir(int octet, Instant arrivee)
{
    Etape etape;
    etape.evenement = m_analyseur.recevoir(octet, arrivee);
    const Evenement& e = etape.evenement;
    switch (e.action) {
    case Action::Position:
        if (m_branchements.estimateur) {
            etape.estimation =
                m_branchements.estimateur(e.intervalles[0], e.intervalles[1], e.intervalles[2]);
        }
        if (platform().traceEnabled(TraceChannel::Protocol)) {
            tracerTrame(e, etape.estimation);
        }
        if (m_branchements.monde && etape.estimation.valide) {
            etape.deplace = ReportRobotPosition(etape.estimation.sortie0, etape.estimation.sortie1);
            if (const Point brut = monde().suivi.brut.get();
                m_branchements.position && monde().suivi.actif != 0 && brut.x >= 0 && brut.y >= 0) {
                // Not before a first estimate the filter could take.
                const Point filtre = monde().robot.position();
                m_branchements.position(brut.x, brut.y, filtre.x, filtre.y);
            }
        }
        break;
    case Action::Etat:
        if (m_branchements.monde) {
            ReportRobotStatus(e.bit0, e.bit1, [&](int gauche, int droite, int virage) {
                etape.commande = octetCommande(gauche, droite, virage);
            });
        }
        break;
    case Action::Batterie:
    case Action::Aucune:
        break;
    }
    return etape;
}

} // namespace protocole
