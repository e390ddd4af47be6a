#include "robot/Scenario.h"

#include "core/Echappement.h"
#include "core/LigneBornee.h"
#include "robot/TerrainPhysique.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

/** The blank-separated words of a line, up to its comment. */
std::vector<std::string_view> mots(std::string_view ligne)
{
    if (const auto diese = ligne.find('#'); diese != std::string_view::npos) {
        ligne = ligne.substr(0, diese);
    }
    std::vector<std::string_view> resultat;
    std::size_t i = 0;
    while (i < ligne.size()) {
        while (i < ligne.size() && (ligne[i] == ' ' || ligne[i] == '\t' || ligne[i] == '\r')) {
            ++i;
        }
        const std::size_t debut = i;
        while (i < ligne.size() && ligne[i] != ' ' && ligne[i] != '\t' && ligne[i] != '\r') {
            ++i;
        }
        if (i > debut) {
            resultat.push_back(ligne.substr(debut, i - debut));
        }
    }
    return resultat;
}

/** A whole word as a finite number within [min, max]. */
bool nombre(std::string_view mot, double min, double max, double& valeur)
{
    const char* fin = mot.data() + mot.size();
    const auto [p, ec] = std::from_chars(mot.data(), fin, valeur);
    return ec == std::errc() && p == fin && std::isfinite(valeur) && valeur >= min && valeur <= max;
}

/** A whole word as an integer within [min, max]. */
bool entier(std::string_view mot, long long min, long long max, long long& valeur)
{
    const char* fin = mot.data() + mot.size();
    const auto [p, ec] = std::from_chars(mot.data(), fin, valeur);
    return ec == std::errc() && p == fin && valeur >= min && valeur <= max;
}

/** Reads one statement into `s`; returns what is wrong with it, or "". */
std::string instruction(const std::vector<std::string_view>& m, Scenario& s, bool& depart)
{
    const std::string_view cle = m[0];
    const std::size_t n = m.size() - 1;
    auto compte = [&](std::size_t attendu) {
        return n == attendu ? std::string()
                            : "« " + std::string(cle) + " » attend " + std::to_string(attendu) +
                                  (attendu > 1 ? " nombres" : " nombre");
    };
    if (cle == "depart") {
        if (auto e = compte(3); !e.empty()) {
            return e;
        }
        if (!nombre(m[1], 0.0, 500.0, s.x) || !nombre(m[2], 0.0, 500.0, s.y)) {
            return "le départ est hors du terrain (0 à 500 cm)";
        }
        if (!nombre(m[3], -3600.0, 3600.0, s.cap)) {
            return "le cap est un nombre de degrés de -3600 à 3600";
        }
        s.cap = std::fmod(s.cap, 360.0);
        depart = true;
        return {};
    }
    if (cle == "cache" || cle == "mur") {
        if (n != 2 && n != 4) {
            return "« " + std::string(cle) + " » attend une case (C R) ou un rectangle (C R C2 R2)";
        }
        long long v[4] = {};
        for (std::size_t k = 0; k < n; ++k) {
            if (!entier(m[k + 1], 0, 19, v[k])) {
                return "la colonne et la ligne d'une case vont de 0 à 19";
            }
        }
        if (n == 2) {
            v[2] = v[0];
            v[3] = v[1];
        }
        const std::uint8_t valeur = cle == "cache" ? 1 : 2;
        for (long long r = std::min(v[1], v[3]); r <= std::max(v[1], v[3]); ++r) {
            for (long long c = std::min(v[0], v[2]); c <= std::max(v[0], v[2]); ++c) {
                s.obstacle[r][c] = valeur;
            }
        }
        return {};
    }
    if (auto e = compte(1); !e.empty()) {
        return cle == "batterie" || cle == "bruit" || cle == "periode" || cle == "graine"
                   ? e
                   : "instruction inconnue « " + echapper(cle) + " »";
    }
    long long v = 0;
    if (cle == "batterie") {
        return entier(m[1], 0, 255, v) ? (s.batterie = static_cast<int>(v), std::string())
                                       : "la batterie va de 0 à 255";
    }
    if (cle == "bruit") {
        return nombre(m[1], 0.0, 50.0, s.bruit) ? std::string() : "le bruit va de 0 à 50 cm";
    }
    if (cle == "periode") {
        return entier(m[1], 20, 10000, v) ? (s.periodeMs = static_cast<int>(v), std::string())
                                          : "la période va de 20 à 10000 ms";
    }
    if (cle == "graine") {
        return entier(m[1], 0, 4294967295LL, v)
                   ? (s.graine = static_cast<std::uint32_t>(v), std::string())
                   : "la graine va de 0 à 4294967295";
    }
    // The word is the file's: escaped, it can never drive the terminal it is shown on.
    return "instruction inconnue « " + echapper(cle) + " »";
}

} // namespace

LectureScenario lireScenario(std::istream& texte)
{
    LectureScenario lu;
    bool depart = false;
    std::string ligne;
    int numero = 0;
    LigneLue etat = LigneLue::Ligne;
    while ((etat = lireLigneBornee(texte, ligne, LongueurLigneMax, AuDela::Refuser)) !=
           LigneLue::Fin) {
        ++numero;
        if (etat == LigneLue::Illisible) {
            lu.erreur = "ligne " + std::to_string(numero) + " : le fichier ne peut pas être lu";
            return lu;
        }
        if (etat == LigneLue::TropLongue) {
            lu.erreur = "ligne " + std::to_string(numero) + " : plus de " +
                        std::to_string(LongueurLigneMax) + " caractères";
            return lu;
        }
        const auto m = mots(ligne);
        if (m.empty()) {
            continue;
        }
        if (auto e = instruction(m, lu.scenario, depart); !e.empty()) {
            lu.erreur = "ligne " + std::to_string(numero) + " : " + e;
            return lu;
        }
    }
    if (!depart) {
        lu.erreur = "pas de position de départ (depart X Y CAP)";
        return lu;
    }
    const robotsim::TerrainPhysique terrain(lu.scenario.obstacle);
    if (!terrain.degage(lu.scenario.x, lu.scenario.y)) {
        lu.erreur = "au départ, le robot touche un obstacle ou un bord du terrain";
        return lu;
    }
    lu.valide = true;
    return lu;
}

LectureScenario lireScenario(const std::string& texte)
{
    std::istringstream flux(texte);
    return lireScenario(flux);
}

std::string texteScenario(const Scenario& s)
{
    char ligne[128];
    std::snprintf(ligne, sizeof ligne, "depart %.17g %.17g %.17g\n", s.x, s.y, s.cap);
    std::string texte = ligne;
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 20; ++c) {
            if (s.obstacle[r][c] != 0) {
                std::snprintf(ligne, sizeof ligne, "%s %d %d\n",
                              s.obstacle[r][c] == 1 ? "cache" : "mur", c, r);
                texte += ligne;
            }
        }
    }
    std::snprintf(ligne, sizeof ligne, "batterie %d\nbruit %.17g\nperiode %d\ngraine %u\n",
                  s.batterie, s.bruit, s.periodeMs, static_cast<unsigned>(s.graine));
    return texte + ligne;
}
