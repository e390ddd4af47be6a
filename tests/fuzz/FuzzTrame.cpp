// Fuzz target of the robot's byte stream: the console's chain (the frame
// parser, an estimator that returns anything (not a number, infinities,
// huge values, refusals) or throws, the world applying every event) fed any
// bytes, each byte at an arrival time the input chooses (with
// replies noted in between). Invariants beyond "no crash": the parser's
// state stays one of its three, every status byte gets exactly one reply, a
// battery level is a byte, the robot's position stays on the field with its
// cell matching it, the grid keeps its border; a frame is cut short only
// after a silence above the threshold, inside a frame, and the bytes thrown
// away add up.
#include "core/scripted/ScriptedPlatform.h"
#include "link/protocol/RobotProtocol.h"
#include "link/trame/ChaineTrames.h"
#include "world/Geometry.h"
#include "world/PositionFiltree.h"
#include "world/RobotReports.h"
#include "world/WorldState.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort();
    }
}

/** Anything a network (or a broken one) might answer. */
double sortieQuelconque(FuzzedDataProvider& donnees)
{
    constexpr double speciales[] = {std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    1e308,
                                    -1e308,
                                    -3.2,
                                    612.7,
                                    0.0,
                                    499.0,
                                    499.999,
                                    24.999};
    if (donnees.ConsumeBool()) {
        return donnees.PickValueInArray(speciales);
    }
    return donnees.ConsumeFloatingPoint<double>();
}

void verifierRobot()
{
    const PoseRobot pose = monde().robot.pose();
    const Point p = pose.position();
    const Point cellule = pose.cellule;
    const double x = pose.x;
    const double y = pose.y;
    verifier(p.x >= 0 && p.x <= 499 && p.y >= 0 && p.y <= 499, "position on the field");
    if (monde().suivi.actif == 0) {
        verifier(x == p.x && y == p.y, "position fields agree");
        verifier(cellule.x == p.x / 25 && cellule.y == p.y / 25, "cell of the position");
        return;
    }
    // Filtered: the shown point is the position truncated, and the cell is
    // the position's or, short of the goal cell's margin, a neighbour's.
    verifier(x >= p.x && x < p.x + 1 && y >= p.y && y < p.y + 1, "position fields agree");
    verifier(std::abs(cellule.x - p.x / 25) <= 1 && std::abs(cellule.y - p.y / 25) <= 1 &&
                 cellule.x >= 0 && cellule.x < 20 && cellule.y >= 0 && cellule.y < 20,
             "cell of the position");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScriptedPlatform plateforme;
    static const bool installee = (setPlatform(&plateforme), true);
    (void)installee;
    plateforme.clear();

    ResetWorld();
    InitWorld();
    FuzzedDataProvider donnees(data, size);
    fixerCap(donnees.ConsumeIntegralInRange(0, 8));
    monde().suivi.actif = donnees.ConsumeBool() ? 1 : 0;

    protocole::ChaineTrames chaine(
        {[&donnees](double t1, double t2, double t3) -> protocole::Estimation {
             verifier(t1 > 0.134 && t1 <= 0.166769 && t2 > 0.134 && t2 <= 0.166769 && t3 > 0.134 &&
                          t3 <= 0.166769,
                      "intervals in their window");
             switch (donnees.ConsumeIntegralInRange(0, 3)) {
             case 0:
                 return {}; // no network
             case 1:
                 throw std::runtime_error("estimator failed");
             default:
                 return {true, sortieQuelconque(donnees), sortieQuelconque(donnees)};
             }
         },
         true,
         [](int brutX, int brutY, int x, int y) {
             verifier(brutX >= 0 && brutX <= 499 && brutY >= 0 && brutY <= 499 && x >= 0 &&
                          x <= 499 && y >= 0 && y <= 499,
                      "the raw and the filtered positions in the field");
         }});
    const protocole::AnalyseurTrame& analyseur = chaine.analyseur();

    const protocole::Instant seuil =
        protocole::seuilSilence(donnees.PickValueInArray({110, 300, 1200, 9600, 38400}));
    chaine.demarrer(seuil);
    protocole::Instant maintenant = 0;
    protocole::Instant derniere = protocole::InstantInconnu;
    std::uint64_t ecartes = 0;
    while (donnees.remaining_bytes() > 0) {
        const int octet = donnees.ConsumeIntegral<std::uint8_t>();
        // Most bytes come together; some after a silence, some after a reply.
        const std::uint8_t choix = donnees.ConsumeIntegral<std::uint8_t>();
        if (choix >= 240) {
            maintenant += static_cast<protocole::Instant>(choix - 239) * 40'000;
        } else if (choix >= 230) {
            maintenant += 1'000;
            chaine.noterEmission(maintenant);
            derniere = std::max(derniere, maintenant);
        }
        const int etatAvant = analyseur.rxState();
        const int indexAvant = analyseur.rxIndex();
        const protocole::Instant silence =
            derniere == protocole::InstantInconnu ? 0 : maintenant - derniere;
        derniere = std::max(derniere, maintenant);
        protocole::Evenement evenement;
        int commande = -1;
        try {
            const protocole::Etape etape = chaine.recevoir(octet, maintenant);
            evenement = etape.evenement;
            commande = etape.commande;
        } catch (const std::runtime_error&) {
            // The frame goes on: the status byte comes next.
            verifier(analyseur.rxState() == 3 && analyseur.rxIndex() == 0,
                     "state after a failed estimate");
            continue;
        }
        const int etat = analyseur.rxState();
        verifier(etat == 2 || etat == 3 || etat == 4, "parser state");
        const bool dansTrame = !(etatAvant == 2 && indexAvant == 0);
        verifier((evenement.ecartes > 0) == (dansTrame && silence > seuil),
                 "a frame is cut short after a silence inside it, and only then");
        ecartes += static_cast<std::uint64_t>(evenement.ecartes);
        verifier(analyseur.octetsEcartes() == ecartes, "the bytes thrown away add up");
        if (evenement.ecartes > 0) {
            verifier(evenement.ecartes <= 9 && evenement.silence == silence, "what was cut short");
            verifier(evenement.action == protocole::Action::Aucune && etat == 2 &&
                         analyseur.rxIndex() == 1,
                     "the byte after a silence starts a frame");
            continue;
        }
        verifier(analyseur.rxIndex() >= 0 && analyseur.rxIndex() <= 7, "timestamp index");
        verifier((commande >= 0) == (evenement.action == protocole::Action::Etat),
                 "a reply to the status byte and to nothing else");
        verifier(etat == 2 || analyseur.rxIndex() == 0, "index outside the timestamps");
        switch (evenement.action) {
        case protocole::Action::Aucune:
            verifier(etatAvant == 2 && etat == 2, "nothing happens only among timestamps");
            break;
        case protocole::Action::Position:
            verifier(etatAvant == 2 && etat == 3, "a position ends the timestamps");
            verifierRobot();
            break;
        case protocole::Action::Etat: {
            verifier(etatAvant == 3 && etat == 4, "the status byte follows the timestamps");
            verifier(evenement.bit0 == (octet & 1) && evenement.bit1 == ((octet >> 1) & 1),
                     "bumper bits");
            // The reply carries codes the robot reads: wheels 0 .. 3, turn 0 .. 5.
            verifier(commande >= 0 && commande <= 255, "one reply per status byte");
            const auto codes = protocole::decoderCommande(static_cast<std::uint8_t>(commande));
            verifier(codes && codes->gauche <= 3 && codes->droite <= 3 && codes->virage <= 5,
                     "codes of the reply");
            break;
        }
        case protocole::Action::Batterie:
            verifier(etatAvant == 4 && etat == 2, "the battery byte ends the frame");
            verifier(evenement.batterie == octet, "battery level");
            verifier(commande == -1, "no reply but to the status byte");
            break;
        }
    }
    constexpr int dernier = geo::GridSize - 1;
    for (int k = 0; k <= dernier; ++k) {
        verifier(monde().grille[0][k] == 1 && monde().grille[dernier][k] == 1 &&
                     monde().grille[k][0] == 1 && monde().grille[k][dernier] == 1,
                 "the border stays whole");
    }
    return 0;
}
