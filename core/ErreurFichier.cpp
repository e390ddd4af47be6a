#include "core/ErreurFichier.h"

#include <algorithm>
#include <utility>

namespace {

std::string texteComplet(const std::string& message, const std::string& chemin, int ligne)
{
    std::string texte = message + "\nFichier : " + chemin;
    if (ligne > 0) {
        texte += ", ligne " + std::to_string(ligne);
    }
    return texte;
}

} // namespace

ErreurFichier::ErreurFichier(const std::string& message, std::string chemin, int ligne)
    : std::runtime_error(texteComplet(message, chemin, ligne))
    , m_message(message)
    , m_chemin(std::move(chemin))
    , m_ligne(ligne)
{}

std::string texteOutil(const ErreurFichier& e)
{
    std::string texte = e.chemin();
    if (e.ligne() > 0) {
        texte += ":" + std::to_string(e.ligne());
    }
    return texte + ": " + e.message();
}

int ligneCourante(std::istream& is)
{
    is.clear();
    const std::streamoff position = is.tellg();
    if (position < 0) {
        return 0;
    }
    is.seekg(0, std::ios::end);
    const std::streamoff fin = is.tellg();
    is.seekg(0);
    if (!is) {
        return 0;
    }
    int ligne = 1;
    char dernier = '\0';
    char tampon[4096];
    for (std::streamoff reste = position; reste > 0;) {
        const std::streamsize lot = std::min<std::streamoff>(reste, sizeof tampon);
        if (!is.read(tampon, lot)) {
            return 0;
        }
        ligne += static_cast<int>(std::count(tampon, tampon + lot, '\n'));
        dernier = tampon[lot - 1];
        reste -= lot;
    }
    // Stopped at the very end after a line end: the fault is the last line's.
    if (position == fin && dernier == '\n' && ligne > 1) {
        --ligne;
    }
    return ligne;
}
