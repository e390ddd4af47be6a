// Fuzz target of the beacon geometry reader: what it accepts is a geometry
// the console can read (finite, in range, beacons apart, every interval
// within one fold window with the margin to spare) with no line beyond the
// cap; a refusal holds no control character; its own text
// form reads back to the same text; what it refuses says where (a line
// refused for its length is that long); and the model's stamps on an
// accepted geometry are read by the console as the model says.
#include "LignesReference.h"
#include "link/protocol/RobotProtocol.h"
#include "world/BeaconModel.h"
#include "world/FichierGeometrie.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort(); // libFuzzer keeps the input that got here
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace balises;
    const std::string texte(reinterpret_cast<const char*>(data), size);
    const LectureGeometrie lu = lireGeometrie(texte);
    const std::vector<std::size_t> longueurs = kiv_fuzz::longueursReference(texte);
    if (!lu.valide) {
        verifier(!lu.erreur.empty(), "a refusal says why");
        // Printed on a terminal: the file's words never drive it.
        for (const char c : lu.erreur) {
            const auto octet = static_cast<unsigned char>(c);
            verifier(octet >= 0x20 && octet != 0x7F, "a refusal holds no control character");
        }
        if (lu.erreur.rfind("ligne ", 0) == 0) {
            const long numero = std::strtol(lu.erreur.c_str() + 6, nullptr, 10);
            verifier(numero >= 1 && static_cast<std::size_t>(numero) <= longueurs.size(),
                     "the refused line exists");
            if (lu.erreur == "ligne " + std::to_string(numero) + " : plus de " +
                                 std::to_string(LongueurLigneGeometrieMax) + " caractères") {
                verifier(longueurs[static_cast<std::size_t>(numero) - 1] >
                             LongueurLigneGeometrieMax,
                         "a line refused for its length is too long");
            }
        }
        return 0;
    }
    for (const std::size_t n : longueurs) {
        verifier(n <= LongueurLigneGeometrieMax, "no accepted line beyond the cap");
    }
    const Geometrie& g = lu.geometrie;
    for (const Position& b : g.balises) {
        verifier(std::isfinite(b.x) && std::isfinite(b.y) && b.x >= -1000 && b.x <= 1500 &&
                     b.y >= -1000 && b.y <= 1500,
                 "beacons in range");
    }
    verifier(g.periode >= 0.001 && g.periode <= 1.0, "period in range");
    verifier(g.horloge >= 1e4 && g.horloge <= 1e8, "clock in range");
    verifier(g.vitesseSon >= 25000 && g.vitesseSon <= 40000, "speed of sound in range");
    verifier(verifierGeometrie(g).empty(), "accepted means readable");
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j) {
            verifier(std::hypot(g.balises[i].x - g.balises[j].x, g.balises[i].y - g.balises[j].y) >=
                         EcartMinBalises,
                     "accepted beacons stand apart");
        }
    }

    const std::string forme = texteGeometrie(g);
    const LectureGeometrie relu = lireGeometrie(forme);
    verifier(relu.valide && texteGeometrie(relu.geometrie) == forme,
             "the text form reads back the same");

    // On the field, the console's reading of the stamps stays in one window,
    // a whole number of turns from the model's reading.
    for (int k = 0; k < 3; ++k) {
        const Etendue e = etendueLue(g, k);
        verifier(e.max - e.min < protocole::Tour - 2 * MargeRepli, "one window per interval");
    }
    std::uint32_t phase = size;
    for (double y = 0.0; y <= 500.0; y += 125.0) {
        for (double x = 0.0; x <= 500.0; x += 125.0) {
            const auto h = horodatages(g, {x, y}, phase);
            phase = phase * 1103515245u + 12345u;
            float t[3];
            protocole::calculerIntervalles(h.data(), t);
            const auto lus = intervallesLus(g, {x, y});
            // Each robot tick counts as one console tick; a tick of rounding
            // either way, and the float's.
            const double tolerance = 2.0 * protocole::Tick + 1e-6;
            for (std::size_t k = 0; k < 3; ++k) {
                const double tours = std::round((t[k] - lus[k]) / protocole::Tour);
                verifier(std::fabs(t[k] - lus[k] - tours * protocole::Tour) <= tolerance,
                         "the console reads the model's interval");
            }
        }
    }
    return 0;
}
