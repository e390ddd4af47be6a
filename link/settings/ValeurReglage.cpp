#include "link/settings/ValeurReglage.h"

#include <algorithm>
#include <climits>

int valeurReglage(std::string_view ligne)
{
    std::size_t debut = 6;
    const std::size_t cle = std::min<std::size_t>(ligne.size(), 6);
    for (std::size_t i = 0; i < cle; ++i) {
        if (ligne[i] == '=') {
            debut = i + 1;
            break;
        }
    }
    int valeur = 0;
    for (std::size_t i = debut; i < ligne.size(); ++i) {
        const char c = ligne[i];
        if (c == ' ' || c == '\t') {
            continue;
        }
        const int chiffre = (c >= '0' && c <= '9') ? c - '0' : 0;
        if (valeur > (INT_MAX - chiffre) / 10) {
            return INT_MAX; // every further digit would only make it larger
        }
        valeur = valeur * 10 + chiffre;
    }
    return valeur;
}
