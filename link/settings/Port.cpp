#include "link/settings/Port.h"

#include "core/Platform.h"
#include "link/settings/LectureScom.h"

#include <filesystem>
#include <fstream>

int Port::lire(const std::string& chemin)
{
    std::error_code erreur;
    std::ifstream fichier;
    // A folder of that name opens as a stream but reads nothing: it is no file either.
    if (!std::filesystem::is_directory(chemin, erreur)) {
        fichier.open(chemin, std::ios::binary);
    }
    if (!fichier.is_open()) {
        platform().messageBox("Impossible d'ouvrir le fichier SCOM.INI.", "Lecture des paramètres",
                              MessageButtons::Ok, MessageIcon::Exclamation);
        return 1;
    }
    return lire(fichier);
}

int Port::lire(std::istream& entree)
{
    const SectionsScom sections = lireSectionsScom(entree, true);
    if (sections.port) {
        port = *sections.port;
    }
    if (sections.baud) {
        baud = *sections.baud;
    }
    if (!sections.options) {
        port = 1;
        baud = 1200;
    }
    return 1;
}
