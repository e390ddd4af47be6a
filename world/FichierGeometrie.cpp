#include "world/FichierGeometrie.h"

#include "core/Echappement.h"
#include "core/LigneBornee.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string_view>
#include <vector>

namespace balises {

namespace {

/** The blank-separated words of a line, up to its comment. */
std::vector<std::string_view> mots(std::string_view ligne)
{
    if (const auto diese = ligne.find('#'); diese != std::string_view::npos) {
        ligne = ligne.substr(0, diese);
    }
    std::vector<std::string_view> resultat;
    std::size_t i = 0;
    const auto blanc = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (i < ligne.size()) {
        while (i < ligne.size() && blanc(ligne[i])) {
            ++i;
        }
        const std::size_t debut = i;
        while (i < ligne.size() && !blanc(ligne[i])) {
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
    double v = 0.0;
    const auto [p, ec] = std::from_chars(mot.data(), fin, v);
    if (ec != std::errc() || p != fin || !std::isfinite(v) || v < min || v > max) {
        return false;
    }
    valeur = v;
    return true;
}

/** What the statements read so far have set. */
struct Etat {
    int balises = 0;
    bool intervalle = false;
    bool horloge = false;
    bool son = false;
};

/** Reads one statement into `g`; returns what is wrong with it, or "". */
std::string instruction(const std::vector<std::string_view>& m, Geometrie& g, Etat& e)
{
    const std::string_view cle = m[0];
    const std::size_t n = m.size() - 1;
    if (cle == "balise") {
        if (n != 2) {
            return "balise attend deux nombres (X Y en cm)";
        }
        if (e.balises == 4) {
            return "une cinquième balise : le robot en horodate quatre";
        }
        Position& b = g.balises[e.balises];
        if (!nombre(m[1], -1000.0, 1500.0, b.x) || !nombre(m[2], -1000.0, 1500.0, b.y)) {
            return "une balise se place de -1000 à 1500 cm";
        }
        ++e.balises;
        return {};
    }
    struct Reglage {
        const char* cle;
        bool Etat::*vu;
        double Geometrie::*champ;
        double min;
        double max;
        double diviseur;
        const char* plage;
    };
    static constexpr Reglage kReglages[] = {
        {"intervalle", &Etat::intervalle, &Geometrie::periode, 1.0, 1000.0, 1e3,
         "l'intervalle entre deux tirs va de 1 à 1000 ms"},
        {"horloge", &Etat::horloge, &Geometrie::horloge, 1e4, 1e8, 1.0,
         "l'horloge du compteur va de 10000 à 100000000 Hz"},
        {"son", &Etat::son, &Geometrie::vitesseSon, 25000.0, 40000.0, 1.0,
         "la vitesse du son va de 25000 à 40000 cm/s"},
    };
    for (const Reglage& r : kReglages) {
        if (cle != r.cle) {
            continue;
        }
        if (n != 1) {
            return std::string(r.cle) + " attend un nombre";
        }
        if (e.*r.vu) {
            return std::string(r.cle) + " est donné deux fois";
        }
        double v = 0.0;
        if (!nombre(m[1], r.min, r.max, v)) {
            return r.plage;
        }
        // Divided, not multiplied by 1e-3: "150" gives exactly the 0.150 of the model.
        g.*r.champ = v / r.diviseur;
        e.*r.vu = true;
        return {};
    }
    // The word is the file's: escaped, it can never drive the terminal it is shown on.
    return "instruction inconnue « " + echapper(cle) + " »";
}

} // namespace

Etendue etendueLue(const Geometrie& g, int k)
{
    // The difference of the distances to two points has no extreme inside
    // the field but along the rays beyond the two beacons, where it is
    // constant and which cross the field's edge too: the edge holds both
    // extremes. It changes by at most 2 cm per cm, so a 0.5 cm step misses
    // them by 1 cm of sound at most, far below the margin.
    constexpr int Pas = 1000;
    constexpr double Cote = 500.0;
    Etendue e{1e300, -1e300};
    for (int i = 0; i <= Pas; ++i) {
        const double s = Cote * i / Pas;
        for (const Position p :
             {Position{s, 0.0}, Position{s, Cote}, Position{0.0, s}, Position{Cote, s}}) {
            const double t = intervallesLus(g, p)[static_cast<std::size_t>(k)];
            e.min = std::min(e.min, t);
            e.max = std::max(e.max, t);
        }
    }
    return e;
}

std::string verifierPlaces(const Geometrie& g)
{
    const auto ecart = [&](int i, int j) {
        return std::hypot(g.balises[j].x - g.balises[i].x, g.balises[j].y - g.balises[i].y);
    };
    char texte[300];
    // Two beacons at one place give an interval that never changes: the
    // position it should tell is lost (four gave one useless example grid).
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j) {
            if (ecart(i, j) < EcartMinBalises) {
                std::snprintf(texte, sizeof texte,
                              "les balises %d et %d sont au même endroit (à moins de 1 cm) : "
                              "le robot ne distingue plus leurs tirs",
                              i + 1, j + 1);
                return texte;
            }
        }
    }
    // Four beacons on one line reach a point and its mirror image across
    // the line at the same times: when the line crosses the field, two
    // places of the field read alike.
    int a = 0;
    int b = 1;
    for (int i = 0; i < 4; ++i) {
        for (int j = i + 1; j < 4; ++j) {
            if (ecart(i, j) > ecart(a, b)) {
                a = i;
                b = j;
            }
        }
    }
    const Position& pa = g.balises[a];
    const Position& pb = g.balises[b];
    const double longueur = ecart(a, b);
    // Signed distance of q to the line through the two farthest beacons.
    const auto cote = [&](Position q) {
        return ((pb.x - pa.x) * (q.y - pa.y) - (pb.y - pa.y) * (q.x - pa.x)) / longueur;
    };
    for (const Position& q : g.balises) {
        if (std::fabs(cote(q)) >= EcartMinBalises) {
            return {};
        }
    }
    double bas = 0.0;
    double haut = 0.0;
    for (const Position q :
         {Position{0.0, 0.0}, Position{500.0, 0.0}, Position{500.0, 500.0}, Position{0.0, 500.0}}) {
        bas = std::min(bas, cote(q));
        haut = std::max(haut, cote(q));
    }
    if (bas <= -EcartMinBalises && haut >= EcartMinBalises) {
        return "les quatre balises sont sur une ligne qui traverse le terrain : de part et "
               "d'autre de la ligne, deux places se lisent de même";
    }
    return {};
}

std::string verifierGeometrie(const Geometrie& g)
{
    if (std::string e = verifierPlaces(g); !e.empty()) {
        return e;
    }
    for (int k = 0; k < 3; ++k) {
        const Etendue e = etendueLue(g, k);
        // The fold window below the lowest reading, the margin kept.
        const double j = std::floor((e.min - MargeRepli - lecture::Plancher) / lecture::Tour);
        const double haut = lecture::Plancher + (j + 1.0) * lecture::Tour - MargeRepli;
        if (e.max <= haut) {
            continue;
        }
        char texte[400];
        std::snprintf(texte, sizeof texte,
                      "l'intervalle %d (balises %d et %d) se lit de %.5f à %.5f s sur le "
                      "terrain et franchit un repli de la console (tous les 32.768 ms "
                      "depuis 0.134 s, à 0.5 ms près) : changez l'intervalle entre les tirs",
                      k + 1, k + 1, k + 2, e.min, e.max);
        return texte;
    }
    return {};
}

LectureGeometrie lireGeometrie(std::istream& texte)
{
    LectureGeometrie lu;
    Etat etat;
    std::string ligne;
    int numero = 0;
    LigneLue statut = LigneLue::Ligne;
    while ((statut = lireLigneBornee(texte, ligne, LongueurLigneGeometrieMax, AuDela::Refuser)) !=
           LigneLue::Fin) {
        ++numero;
        if (statut == LigneLue::Illisible) {
            lu.erreur = "ligne " + std::to_string(numero) + " : le fichier ne peut pas être lu";
            return lu;
        }
        if (statut == LigneLue::TropLongue) {
            lu.erreur = "ligne " + std::to_string(numero) + " : plus de " +
                        std::to_string(LongueurLigneGeometrieMax) + " caractères";
            return lu;
        }
        const auto m = mots(ligne);
        if (m.empty()) {
            continue;
        }
        if (auto e = instruction(m, lu.geometrie, etat); !e.empty()) {
            lu.erreur = "ligne " + std::to_string(numero) + " : " + e;
            return lu;
        }
    }
    if (etat.balises != 0 && etat.balises != 4) {
        lu.erreur =
            "quatre balises ou aucune (aux coins du terrain), pas " + std::to_string(etat.balises);
        return lu;
    }
    if (auto e = verifierGeometrie(lu.geometrie); !e.empty()) {
        lu.erreur = std::move(e);
        return lu;
    }
    lu.valide = true;
    return lu;
}

LectureGeometrie lireGeometrie(const std::string& texte)
{
    std::istringstream flux(texte);
    return lireGeometrie(flux);
}

std::string texteGeometrie(const Geometrie& g)
{
    std::string texte;
    char ligne[160];
    for (const Position& b : g.balises) {
        std::snprintf(ligne, sizeof ligne, "balise %.17g %.17g\n", b.x, b.y);
        texte += ligne;
    }
    // The period is kept in seconds; its text in ms reads back to the same
    // text (to within a last bit of the seconds).
    std::snprintf(ligne, sizeof ligne, "intervalle %.17g\nhorloge %.17g\nson %.17g\n",
                  g.periode * 1e3, g.horloge, g.vitesseSon);
    return texte + ligne;
}

} // namespace balises
