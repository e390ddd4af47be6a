#include "robot/CommandesRobot.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace robotsim {

namespace {

constexpr const char* SyntaxeAller =
    "refusé : syntaxe : aller X Y CAP (x et y en cm, cap en degrés dans le sens horaire depuis "
    "l'axe x)";
constexpr const char* Aide = "commandes : aller X Y CAP (cm, cm, degrés), position, aide";

/** The words of `ligne`, split on blanks. */
std::vector<std::string_view> mots(std::string_view ligne)
{
    std::vector<std::string_view> resultat;
    std::size_t k = 0;
    while (k < ligne.size()) {
        while (k < ligne.size() && (ligne[k] == ' ' || ligne[k] == '\t' || ligne[k] == '\r')) {
            ++k;
        }
        const std::size_t debut = k;
        while (k < ligne.size() && ligne[k] != ' ' && ligne[k] != '\t' && ligne[k] != '\r') {
            ++k;
        }
        if (k > debut) {
            resultat.push_back(ligne.substr(debut, k - debut));
        }
    }
    return resultat;
}

/** A whole word as a finite number; false otherwise. */
bool nombre(std::string_view mot, double& valeur)
{
    const auto [fin, erreur] = std::from_chars(mot.data(), mot.data() + mot.size(), valeur);
    return erreur == std::errc() && fin == mot.data() + mot.size() && std::isfinite(valeur);
}

std::string pose(const char* debut, const Pose& p)
{
    char texte[96];
    std::snprintf(texte, sizeof texte, "%s : x %.1f y %.1f cap %.1f", debut, p.x, p.y, p.cap);
    return texte;
}

/** `mot` as the terminal may show it back: control characters become '?'. */
std::string affichable(std::string_view mot)
{
    std::string texte(mot.substr(0, 40));
    for (char& c : texte) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return texte;
}

} // namespace

std::string executerCommande(std::string_view ligne, RobotVirtuel& robot)
{
    const std::vector<std::string_view> m = mots(ligne);
    if (m.empty() || m[0].starts_with('#')) {
        return {};
    }
    if (m[0] == "position" && m.size() == 1) {
        return pose("position", robot.pose());
    }
    if (m[0] == "aide" && m.size() == 1) {
        return Aide;
    }
    if (m[0] != "aller") {
        return "refusé : commande inconnue « " + affichable(ligne) + " » (" + Aide + ")";
    }
    Pose voulue;
    if (m.size() != 4 || !nombre(m[1], voulue.x) || !nombre(m[2], voulue.y) ||
        !nombre(m[3], voulue.cap)) {
        return SyntaxeAller;
    }
    switch (robot.placer(voulue)) {
    case RobotVirtuel::Placement::Fait:
        return pose("fait", robot.pose());
    case RobotVirtuel::Placement::HorsTerrain:
        return "refusé : hors du terrain (x et y de 0 à 500 cm)";
    case RobotVirtuel::Placement::Bord:
        return "refusé : contre le bord du terrain (le centre du robot doit rester à plus de 6 cm "
               "des bords)";
    case RobotVirtuel::Placement::Obstacle:
        return "refusé : dans un obstacle (le corps du robot, 12 cm de diamètre, le toucherait)";
    }
    return SyntaxeAller;
}

std::string refusLigneTropLongue()
{
    return "refusé : ligne trop longue (au plus " + std::to_string(LongueurCommandeMax) +
           " caractères)";
}

} // namespace robotsim
