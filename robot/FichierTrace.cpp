#include "robot/FichierTrace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace robotsim {

namespace {

/** What stands at a path instead of a regular file, as the message names it. */
const char* nature(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return "un dossier";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "un périphérique";
    }
    if (S_ISFIFO(mode)) {
        return "un tube";
    }
    if (S_ISSOCK(mode)) {
        return "une socket";
    }
    return "un fichier spécial";
}

} // namespace

std::unique_ptr<FichierTrace> FichierTrace::creer(const std::string& chemin, std::string& erreur)
{
    // Someone may put something back between the removal and the creation:
    // a few tries, each exclusive, then a clear refusal.
    for (int essai = 0; essai < 5; ++essai) {
        const int fd = ::open(
            chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
        if (fd >= 0) {
            return std::unique_ptr<FichierTrace>(new FichierTrace(fd));
        }
        if (errno != EEXIST) {
            erreur = std::strerror(errno);
            return nullptr;
        }
        struct stat etat {};
        if (::lstat(chemin.c_str(), &etat) != 0) {
            if (errno == ENOENT) {
                continue;
            }
            erreur = std::strerror(errno);
            return nullptr;
        }
        if (!S_ISREG(etat.st_mode) && !S_ISLNK(etat.st_mode)) {
            erreur = std::string("ce n'est pas un fichier ordinaire (") + nature(etat.st_mode) +
                     ") ; la trace n'est pas écrite";
            return nullptr;
        }
        // The previous trace, or a link: the name goes, never what a link leads to.
        if (::unlink(chemin.c_str()) != 0 && errno != ENOENT) {
            erreur = std::string("impossible de remplacer la trace précédente : ") +
                     std::strerror(errno);
            return nullptr;
        }
    }
    erreur = "le fichier est sans cesse recréé par un autre programme ; la trace n'est pas écrite";
    return nullptr;
}

FichierTrace::FichierTrace(int fd)
    : m_fd(fd)
    , m_tampon(*this)
    , m_flux(&m_tampon)
{}

FichierTrace::~FichierTrace()
{
    m_flux.flush();
    ::close(m_fd);
}

bool FichierTrace::ecrire(const char* octets, std::size_t n)
{
    if (!m_raison.empty()) {
        return false;
    }
    while (n > 0) {
        const ssize_t ecrit = ::write(m_fd, octets, n);
        if (ecrit < 0 && errno == EINTR) {
            continue;
        }
        if (ecrit <= 0) {
            m_raison = ecrit < 0 ? std::strerror(errno) : "écriture impossible";
            return false;
        }
        octets += ecrit;
        n -= static_cast<std::size_t>(ecrit);
    }
    return true;
}

FichierTrace::Tampon::Tampon(FichierTrace& fichier)
    : m_fichier(fichier)
{
    setp(m_octets, m_octets + sizeof m_octets);
}

FichierTrace::Tampon::int_type FichierTrace::Tampon::overflow(int_type c)
{
    if (sync() != 0) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int FichierTrace::Tampon::sync()
{
    const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
    setp(m_octets, m_octets + sizeof m_octets);
    return n == 0 || m_fichier.ecrire(m_octets, n) ? 0 : -1;
}

} // namespace robotsim
