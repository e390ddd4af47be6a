#include "core/FichierLecture.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lecture {

namespace {

/** 0 for a regular file, else the refusal its kind gives. */
int refusPour(mode_t mode)
{
    if (S_ISREG(mode)) {
        return 0;
    }
    if (S_ISDIR(mode)) {
        return ErreurDossier;
    }
    if (S_ISFIFO(mode)) {
        return ErreurTube;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return ErreurPeripherique;
    }
    if (S_ISLNK(mode)) {
        return ErreurLien;
    }
    return ErreurAutre;
}

} // namespace

int ouvrir(const std::string& chemin, int& erreur, bool suivreLien)
{
    erreur = 0;
    // Looked at first, so that a device is never even opened (opening some
    // rewinds a tape or raises a modem line); checked again on the
    // descriptor, since the name may have changed in between.
    struct stat etat {};
    const int vu = suivreLien ? ::stat(chemin.c_str(), &etat) : ::lstat(chemin.c_str(), &etat);
    if (vu == 0) {
        if (const int refus = refusPour(etat.st_mode); refus != 0) {
            erreur = refus;
            return -1;
        }
    }
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                                              (suivreLien ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        erreur = !suivreLien && errno == ELOOP ? ErreurLien : errno;
        return -1;
    }
    int refus = 0;
    if (::fstat(fd, &etat) != 0) {
        refus = errno;
    } else {
        refus = refusPour(etat.st_mode);
    }
    const int drapeaux = refus == 0 ? ::fcntl(fd, F_GETFL) : -1;
    if (refus == 0 && (drapeaux < 0 || ::fcntl(fd, F_SETFL, drapeaux & ~O_NONBLOCK) != 0)) {
        refus = errno;
    }
    if (refus != 0) {
        ::close(fd);
        erreur = refus;
        return -1;
    }
    return fd;
}

int examiner(const std::string& chemin)
{
    struct stat etat {};
    if (::stat(chemin.c_str(), &etat) != 0) {
        return 0;
    }
    return refusPour(etat.st_mode);
}

std::string raison(int erreur)
{
    switch (erreur) {
    case 0:
        return {};
    case ErreurDossier:
        return "c'est un dossier";
    case ErreurTube:
        return "c'est un tube (FIFO)";
    case ErreurPeripherique:
        return "c'est un périphérique";
    case ErreurAutre:
        return "ce n'est pas un fichier ordinaire";
    case ErreurLien:
        return "c'est un lien symbolique";
    default:
        return std::strerror(erreur);
    }
}

} // namespace lecture

FichierLecture::FichierLecture()
    : std::istream(nullptr)
{
    setstate(std::ios::failbit);
}

FichierLecture::FichierLecture(const std::string& chemin, bool suivreLien)
    : std::istream(nullptr)
{
    ouvrir(chemin, suivreLien);
}

FichierLecture::~FichierLecture()
{
    // The stream lets go of the buffer before the buffer (and its file) goes.
    rdbuf(nullptr);
}

void FichierLecture::fermer()
{
    rdbuf(nullptr);
    m_tampon.reset();
    setstate(std::ios::failbit);
}

bool FichierLecture::ouvrir(const std::string& chemin, bool suivreLien)
{
    fermer();
    const int fd = lecture::ouvrir(chemin, m_erreur, suivreLien);
    if (fd < 0) {
        setstate(std::ios::failbit);
        return false;
    }
    // The buffer owns the descriptor and closes it with the file.
    m_tampon = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, std::ios::in | std::ios::binary,
                                                                static_cast<std::size_t>(BUFSIZ));
    if (!m_tampon->is_open()) {
        m_tampon.reset();
        ::close(fd);
        m_erreur = EBADF;
        setstate(std::ios::failbit);
        return false;
    }
    rdbuf(m_tampon.get()); // clears the state
    return true;
}
