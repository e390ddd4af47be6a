#include "world/FichierTerrain.h"

#include "core/LigneBornee.h"

#include <istream>
#include <ostream>
#include <sstream>

namespace {

constexpr const char* Entete = "KIV-ZUL terrain 1";
/** No line of a field file is longer; a longer one is refused unread. */
constexpr std::size_t LongueurMax = 64;

bool dansLaCarte(Point p)
{
    return p.x >= 0 && p.x <= geo::MapSize && p.y >= 0 && p.y <= geo::MapSize;
}

bool absent(Point p)
{
    return p.x == -25 && p.y == -25;
}

/** "<cle> a b [c]" with nothing after: the numbers, or nothing. */
bool lireCles(const std::string& ligne, const char* cle, int* valeurs, int nombre)
{
    std::istringstream flux(ligne);
    std::string mot;
    if (!(flux >> mot) || mot != cle) {
        return false;
    }
    for (int k = 0; k < nombre; ++k) {
        if (!(flux >> valeurs[k])) {
            return false;
        }
    }
    return (flux >> mot).fail();
}

/** Value of cell (x, y), the border counting as wall. */
int valeur(const Terrain& t, int x, int y)
{
    if (x < 0 || y < 0 || x >= geo::Cells || y >= geo::Cells) {
        return 1;
    }
    return t.cellules[y][x];
}

/** Where the grid breaks what every edit keeps, or -1. */
int ligneIncoherente(const Terrain& t)
{
    for (int y = 0; y < geo::Cells; ++y) {
        for (int x = 0; x < geo::Cells; ++x) {
            const int v = t.cellules[y][x];
            bool toucheObstacle = false;
            for (int k = 1; k <= 8; ++k) {
                const int n = valeur(t, x + geo::Steps[k].dx, y + geo::Steps[k].dy);
                toucheObstacle = toucheObstacle || n == 1 || n == 3;
            }
            if ((v == 0 && toucheObstacle) || (v == 2 && !toucheObstacle)) {
                return y;
            }
        }
    }
    return -1;
}

} // namespace

Terrain terrainInitial()
{
    Terrain t;
    for (int y = 0; y < geo::Cells; ++y) {
        for (int x = 0; x < geo::Cells; ++x) {
            const bool bord = x == 0 || y == 0 || x == geo::Cells - 1 || y == geo::Cells - 1;
            t.cellules[y][x] = bord ? 2 : 0;
        }
    }
    return t;
}

void ecrireTerrain(std::ostream& sortie, const Terrain& t)
{
    sortie << Entete << "\r\n";
    for (const auto& rang : t.cellules) {
        for (int v : rang) {
            sortie << static_cast<char>('0' + v);
        }
        sortie << "\r\n";
    }
    sortie << "Robot " << t.robot.x << ' ' << t.robot.y << "\r\n";
    sortie << "Destination " << t.destination.x << ' ' << t.destination.y << "\r\n";
    sortie << "Bandit " << t.bandit.x << ' ' << t.bandit.y << ' ' << (t.banditPlace ? 1 : 0)
           << "\r\n";
    sortie << "Quadrillage " << (t.quadrillage ? 1 : 0) << "\r\n";
}

std::optional<Terrain> lireTerrain(std::istream& entree, std::string& erreur)
{
    Terrain t;
    std::string ligne;
    bool tropLongue = false;
    int numero = 0;
    auto refus = [&](const char* pourquoi) {
        erreur = "ligne " + std::to_string(numero) + " : " + pourquoi;
        return std::nullopt;
    };
    auto suivante = [&] {
        ++numero;
        const LigneLue lue = lireLigneBornee(entree, ligne, LongueurMax, AuDela::Refuser);
        tropLongue = lue == LigneLue::TropLongue;
        return lue == LigneLue::Ligne;
    };

    if (!suivante() || ligne != Entete) {
        return refus(tropLongue ? "ligne trop longue" : "ce n'est pas un terrain KIV-ZUL");
    }
    for (auto& rang : t.cellules) {
        if (!suivante() || ligne.size() != rang.size()) {
            return refus("rangée de la grille incomplète (20 chiffres de 0 à 3 attendus)");
        }
        for (std::size_t x = 0; x < rang.size(); ++x) {
            if (ligne[x] < '0' || ligne[x] > '3') {
                return refus("valeur de cellule invalide (0 à 3 attendu)");
            }
            rang[x] = ligne[x] - '0';
        }
    }
    int v[3] = {};
    if (!suivante() || !lireCles(ligne, "Robot", v, 2) || !dansLaCarte({v[0], v[1]})) {
        return refus("position du robot attendue (Robot x y, de 0 à 500)");
    }
    t.robot = {v[0], v[1]};
    if (!suivante() || !lireCles(ligne, "Destination", v, 2) ||
        !(dansLaCarte({v[0], v[1]}) || absent({v[0], v[1]}))) {
        return refus("destination attendue (Destination x y, de 0 à 500, ou -25 -25)");
    }
    t.destination = {v[0], v[1]};
    if (!suivante() || !lireCles(ligne, "Bandit", v, 3) ||
        !(dansLaCarte({v[0], v[1]}) || absent({v[0], v[1]})) || v[2] < 0 || v[2] > 1 ||
        (v[2] == 1 && !dansLaCarte({v[0], v[1]}))) {
        return refus("bandit attendu (Bandit x y 0|1)");
    }
    t.bandit = {v[0], v[1]};
    t.banditPlace = v[2] == 1;
    if (!suivante() || !lireCles(ligne, "Quadrillage", v, 1) || v[0] < 0 || v[0] > 1) {
        return refus("Quadrillage 0 ou 1 attendu");
    }
    t.quadrillage = v[0] == 1;
    // Nothing but blank lines may follow.
    while (suivante()) {
        if (numero > 64 || ligne.find_first_not_of(" \t") != std::string::npos) {
            return refus("texte après la fin du terrain");
        }
    }
    if (tropLongue) {
        return refus("ligne trop longue");
    }
    if (const int y = ligneIncoherente(t); y >= 0) {
        numero = y + 2;
        return refus("grille incohérente : marge et obstacles ne se correspondent pas");
    }
    return t;
}
