#include "link/settings/Port.h"

#include "core/Platform.h"
#include "link/settings/LectureScom.h"

#include <sstream>

int Port::lire(const std::string& chemin)
{
    // A folder, a FIFO or a device of that name is no settings file: never
    // waited on, never read without end.
    std::string contenu;
    if (!chargerFichierScom(chemin, contenu)) {
        platform().messageBox("Impossible d'ouvrir le fichier SCOM.INI.", "Lecture des paramètres",
                              MessageButtons::Ok, MessageIcon::Exclamation);
        return 1;
    }
    std::istringstream fichier(contenu);
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
