#include "link/settings/Port.h"

#include "core/Platform.h"
#include "link/settings/LectureScom.h"

#include <sstream>
#include <string>

int Port::lire(const std::string& chemin)
{
    // A folder, a FIFO or a device of that name is no settings file: never
    // waited on, never read without end.
    std::string contenu;
    if (!chargerFichierScom(chemin, contenu)) {
        // What the link uses instead, and how to keep settings of one's own.
        const std::string texte = "Impossible d'ouvrir le fichier SCOM.INI.\nLe port COM" +
                                  std::to_string(port) + " à " + std::to_string(baud) +
                                  " bauds est utilisé ; « Port série » (menu Paramètres) "
                                  "enregistre vos réglages.";
        platform().messageBox(texte, "Lecture des paramètres", MessageButtons::Ok,
                              MessageIcon::Exclamation);
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
