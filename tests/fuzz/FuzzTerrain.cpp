// Fuzz target of the ".kiv" field reader: whatever it accepts is a field
// the console could have drawn (values 0 .. 3, positions on the map, margins
// where obstacles are), writes back in the canonical layout and reads back
// the same; whatever it refuses comes with a line number.
#include "world/FichierTerrain.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort(); // libFuzzer keeps the input that got here
    }
}

bool surLaCarte(Point p)
{
    return p.x >= 0 && p.x <= 500 && p.y >= 0 && p.y <= 500;
}

bool aucun(Point p)
{
    return p.x == -25 && p.y == -25;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const std::string texte(reinterpret_cast<const char*>(donnees), taille);
    std::istringstream entree(texte);
    std::string erreur;
    const std::optional<Terrain> terrain = lireTerrain(entree, erreur);
    if (!terrain) {
        verifier(erreur.rfind("ligne ", 0) == 0, "a refusal names its line");
        return 0;
    }
    verifier(erreur.empty(), "no error text for an accepted field");
    for (const auto& rang : terrain->cellules) {
        for (int v : rang) {
            verifier(v >= 0 && v <= 3, "cell values 0 .. 3");
        }
    }
    for (int k = 0; k < geo::Cells; ++k) {
        verifier(terrain->cellules[0][k] != 0 && terrain->cellules[geo::Cells - 1][k] != 0 &&
                     terrain->cellules[k][0] != 0 && terrain->cellules[k][geo::Cells - 1] != 0,
                 "the outer ring is never free");
    }
    verifier(surLaCarte(terrain->robot), "robot on the map");
    verifier(surLaCarte(terrain->destination) || aucun(terrain->destination), "destination");
    verifier(!terrain->banditPlace || surLaCarte(terrain->bandit), "a placed bandit is on the map");

    // Accepted input is at most the file's lines and a few blank ones.
    verifier(taille <= 64 * 66, "no endless input accepted");

    std::ostringstream sortie;
    ecrireTerrain(sortie, *terrain);
    std::istringstream relu(sortie.str());
    std::string erreur2;
    const std::optional<Terrain> encore = lireTerrain(relu, erreur2);
    verifier(encore.has_value() && *encore == *terrain, "what is written reads back the same");
    return 0;
}
