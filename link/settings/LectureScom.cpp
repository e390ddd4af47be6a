#include "link/settings/LectureScom.h"

#include "core/FichierLecture.h"
#include "link/settings/ValeurReglage.h"

#include <cerrno>
#include <sstream>
#include <unistd.h>

bool lireLigneScom(std::istream& entree, std::string& ligne)
{
    std::streambuf* tampon = entree.rdbuf();
    if (!entree.good() || tampon == nullptr) {
        return false;
    }
    using Traits = std::char_traits<char>;
    std::string lue;
    std::size_t longueur = 0; // characters of the line, line end excluded
    bool retourFinal = false; // the line's last character is a CR
    bool rien = true;
    // The file buffer throws on a read error (a folder, a failing device):
    // the line in hand is dropped and the reading ends there.
    try {
        for (;;) {
            const Traits::int_type c = tampon->sbumpc();
            if (Traits::eq_int_type(c, Traits::eof())) {
                entree.setstate(std::ios::eofbit);
                break;
            }
            rien = false;
            const char octet = Traits::to_char_type(c);
            if (octet == '\n') {
                break;
            }
            // One character more than kept, for the CR of a CR LF line end.
            if (lue.size() <= LongueurLigneScom) {
                lue.push_back(octet);
            }
            retourFinal = octet == '\r';
            ++longueur;
        }
    } catch (const std::exception&) {
        entree.setstate(std::ios::badbit);
        return false;
    }
    if (rien) {
        entree.setstate(std::ios::failbit);
        return false;
    }
    if (retourFinal && longueur == lue.size()) {
        lue.pop_back();
    }
    if (lue.size() > LongueurLigneScom) {
        lue.resize(LongueurLigneScom);
    }
    ligne = std::move(lue);
    return true;
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
