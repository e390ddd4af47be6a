#include "link/settings/EcritureScom.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

void ajouterNombre(std::string& texte, int valeur)
{
    char chiffres[16];
    const auto fin = std::to_chars(chiffres, chiffres + sizeof chiffres, valeur).ptr;
    texte.append(chiffres, fin);
}

/** Writes all of `texte` to `fd`, through interruptions and partial writes. */
bool toutEcrire(int fd, const std::string& texte)
{
    std::size_t fait = 0;
    while (fait < texte.size()) {
        const ssize_t n = ::write(fd, texte.data() + fait, texte.size() - fait);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        fait += static_cast<std::size_t>(n);
    }
    return true;
}

/** Creates a new temporary file beside `chemin`; its descriptor, or -1. */
int creerTemporaire(const std::string& chemin, std::string& temporaire)
{
    static std::atomic<unsigned> s_compteur{0};
    for (int essai = 0; essai < 100; ++essai) {
        temporaire =
            chemin + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(s_compteur++);
        // 0666 less the umask, as the file itself would have been created.
        const int fd = ::open(temporaire.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

} // namespace

std::string texteScom(const PortSettings& reglages)
{
    std::string texte = ";scom.ini\r\n"
                        ";fichier de configuration des ports s\xE9ries\r\n"
                        "\r\n"
                        "[OPTIONS]\r\n"
                        "Last Port = ";
    ajouterNombre(texte, reglages.port);
    texte += "\r\n"
             "\r\n"
             "[Port#1]\r\n"
             "Baud Rate = ";
    ajouterNombre(texte, reglages.baud);
    texte += "\r\n";
    return texte;
}

bool ecrireScom(const PortSettings& reglages, const std::string& chemin)
{
    std::string temporaire;
    const int fd = creerTemporaire(chemin, temporaire);
    if (fd < 0) {
        return false;
    }
    const bool ecrit = toutEcrire(fd, texteScom(reglages)) && ::fsync(fd) == 0;
    const bool ferme = ::close(fd) == 0;
    if (ecrit && ferme && std::rename(temporaire.c_str(), chemin.c_str()) == 0) {
        return true;
    }
    std::remove(temporaire.c_str());
    return false;
}
