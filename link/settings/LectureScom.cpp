#include "link/settings/LectureScom.h"

#include "core/FichierLecture.h"
#include "core/LigneBornee.h"
#include "link/settings/ValeurReglage.h"

#include <cerrno>
#include <sstream>
#include <unistd.h>

bool lireLigneScom(std::istream& entree, std::string& ligne)
{
    // A read error drops the line in hand and ends the reading.
    return lireLigneBornee(entree, ligne, LongueurLigneScom, AuDela::Couper) == LigneLue::Ligne;
}

SectionsScom lireSectionsScom(std::istream& entree, bool ignorerPremiereLigne)
{
    SectionsScom sections;
    std::string ligne;
    if (ignorerPremiereLigne) {
        lireLigneScom(entree, ligne);
    }
    while (lireLigneScom(entree, ligne)) {
        if (ligne == "[OPTIONS]") {
            sections.options = true;
            if (lireLigneScom(entree, ligne)) {
                sections.port = valeurReglage(ligne);
            }
        }
        if (ligne == "[Port#1]") {
            if (lireLigneScom(entree, ligne)) {
                sections.baud = valeurReglage(ligne);
            }
        }
    }
    return sections;
}

ReglagesCommDlg lireReglagesCommDlg(std::istream& entree)
{
    ReglagesCommDlg reglages;
    const SectionsScom sections = lireSectionsScom(entree, false);
    if (!sections.options) {
        return reglages;
    }
    if (sections.port) {
        // The value is 0 .. INT_MAX, so the index never overflows.
        reglages.indexPort = *sections.port - 1;
    }
    if (sections.baud) {
        reglages.baud = *sections.baud;
    }
    return reglages;
}

bool chargerFichierScom(const std::string& chemin, std::string& contenu)
{
    contenu.clear();
    // Never blocking, and a regular file only: a FIFO nobody writes to, a
    // device that never ends, a folder read as a missing file.
    int erreur = 0;
    const int fd = lecture::ouvrir(chemin, erreur);
    if (fd < 0) {
        return false;
    }
    contenu.resize(TailleMaxScom);
    std::size_t lus = 0;
    while (lus < contenu.size()) {
        const ssize_t n = ::read(fd, contenu.data() + lus, contenu.size() - lus);
        if (n > 0) {
            lus += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // The end of the file, or a read error: what was read stands.
            break;
        }
    }
    contenu.resize(lus);
    ::close(fd);
    return true;
}

ReglagesCommDlg lireReglagesCommDlg(const std::string& chemin)
{
    std::string contenu;
    if (!chargerFichierScom(chemin, contenu)) {
        return {};
    }
    std::istringstream fichier(contenu);
    return lireReglagesCommDlg(fichier);
}
