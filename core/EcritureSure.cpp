#include "core/EcritureSure.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <locale>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<std::uint64_t (*)()> g_alea{nullptr};

/** The system's message for `code`, whatever thread asks. */
std::string texteErreur(int code)
{
    char tampon[256];
    return ::strerror_r(code, tampon, sizeof tampon);
}

std::uint64_t aleaSysteme()
{
    std::uint64_t valeur = 0;
    if (::getrandom(&valeur, sizeof valeur, 0) == static_cast<ssize_t>(sizeof valeur)) {
        return valeur;
    }
    // No entropy source: still a name that differs from one try to the next.
    static std::atomic<std::uint64_t> s_compteur{0};
    std::uint64_t x =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(::getpid()) << 32) ^ (s_compteur++ * 0x9E3779B97F4A7C15ULL);
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ULL;
    return x ^ (x >> 29);
}

std::uint64_t alea()
{
    const auto source = g_alea.load();
    return source != nullptr ? source() : aleaSysteme();
}

/** The folder part of `chemin`: "." for a bare name. */
std::string dossierDe(const std::string& chemin)
{
    const std::size_t barre = chemin.rfind('/');
    if (barre == std::string::npos) {
        return ".";
    }
    return barre == 0 ? std::string("/") : chemin.substr(0, barre);
}

/**
 * Follows the symbolic links at `chemin` as long as they are the user's own.
 * Returns false (with ELOOP in `code`) for a chain that never ends.
 */
bool suivreLiens(std::string& chemin, int& code)
{
    for (int niveau = 0; niveau < 40; ++niveau) {
        struct stat etat {};
        if (::lstat(chemin.c_str(), &etat) != 0 || !S_ISLNK(etat.st_mode) ||
            etat.st_uid != ::geteuid()) {
            return true;
        }
        char lien[PATH_MAX];
        const ssize_t n = ::readlink(chemin.c_str(), lien, sizeof lien);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof lien) {
            return true;
        }
        const std::string_view suivant(lien, static_cast<std::size_t>(n));
        if (suivant.front() == '/') {
            chemin = suivant;
        } else {
            chemin = dossierDe(chemin).append("/").append(suivant);
        }
    }
    code = ELOOP;
    return false;
}

} // namespace

namespace ecriture_sure {

void definirAlea(std::uint64_t (*source)())
{
    g_alea.store(source);
}

std::string nomTemporaire(const std::string& cible, std::uint64_t valeur)
{
    const std::size_t barre = cible.rfind('/');
    std::string nom = barre == std::string::npos ? cible : cible.substr(barre + 1);
    // Room for the prefix and the suffix within a file name's 255 bytes.
    if (nom.size() > 200) {
        nom.resize(200);
    }
    char suffixe[24];
    static constexpr char kChiffres[] = "0123456789abcdef";
    for (int k = 0; k < 16; ++k) {
        suffixe[k] = kChiffres[(valeur >> (60 - 4 * k)) & 0xF];
    }
    std::string chemin = barre == std::string::npos ? std::string() : cible.substr(0, barre + 1);
    return chemin + "." + nom + "." + std::string(suffixe, 16) + ".tmp";
}

} // namespace ecriture_sure

EcritureSure::EcritureSure(const std::string& chemin)
    : m_cible(chemin)
{
    int code = 0;
    if (m_cible.empty()) {
        echec(ENOENT);
        return;
    }
    if (!suivreLiens(m_cible, code)) {
        echec(code);
        return;
    }
    struct stat etat {};
    if (::lstat(m_cible.c_str(), &etat) == 0) {
        if (S_ISDIR(etat.st_mode)) {
            echec(EISDIR);
            return;
        }
        if (S_ISREG(etat.st_mode)) {
            m_existe = true;
            m_mode = etat.st_mode & 07777;
            m_proprietaire = etat.st_uid;
            m_groupe = etat.st_gid;
        } else if (!S_ISLNK(etat.st_mode)) {
            // A device or a pipe would be replaced by a plain file: refused.
            echec(EINVAL, "ce n'est pas un fichier ordinaire");
            return;
        }
        // A link of someone else's is replaced by the new file, never followed.
    } else if (errno != ENOENT) {
        echec(errno);
        return;
    }
    for (int essai = 0; essai < 100; ++essai) {
        m_temporaire = ecriture_sure::nomTemporaire(m_cible, alea());
        // Private while written when it replaces a file; a new file is made
        // as any new file would be (0666 less the umask).
        m_fd = ::open(m_temporaire.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      m_existe ? 0600 : 0666);
        if (m_fd >= 0) {
            return;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    const int erreur = errno;
    m_temporaire.clear(); // never ours: nothing to remove
    echec(erreur);
}

EcritureSure::~EcritureSure()
{
    abandonner();
}

bool EcritureSure::echec(int code)
{
    return echec(code, texteErreur(code));
}

bool EcritureSure::echec(int code, std::string raison)
{
    m_code = code;
    m_raison = std::move(raison);
    abandonner();
    return false;
}

void EcritureSure::abandonner()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporaire.empty()) {
        ::unlink(m_temporaire.c_str());
        m_temporaire.clear();
    }
}

bool EcritureSure::ecrire(const void* octets, std::size_t n)
{
    if (m_fd < 0) {
        return false;
    }
    const auto* p = static_cast<const char*>(octets);
    while (n > 0) {
        const ssize_t fait = ::write(m_fd, p, n);
        if (fait < 0 && errno == EINTR) {
            continue;
        }
        if (fait <= 0) {
            return echec(fait < 0 ? errno : EIO);
        }
        p += fait;
        n -= static_cast<std::size_t>(fait);
    }
    return true;
}

bool EcritureSure::valider()
{
    if (m_fd < 0) {
        return false;
    }
    if (::fsync(m_fd) != 0) {
        return echec(errno);
    }
    if (m_existe) {
        // Owner first: a change of owner clears the set-id bits the mode
        // restores. Only root may give the file to another user; for anyone
        // else the file becomes theirs, as any file they write.
        if (::fchown(m_fd, m_proprietaire, m_groupe) != 0) {
            // Not root: the file is the writer's now.
        }
        if (::fchmod(m_fd, m_mode) != 0) {
            return echec(errno);
        }
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        return echec(errno);
    }
    if (::rename(m_temporaire.c_str(), m_cible.c_str()) != 0) {
        return echec(errno);
    }
    m_temporaire.clear();
    // The rename lasts only once the folder is on the disk too.
    const int dossier = ::open(dossierDe(m_cible).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dossier >= 0) {
        const bool synchro = ::fsync(dossier) == 0 || errno == EINVAL || errno == EROFS;
        const int erreur = errno;
        ::close(dossier);
        if (!synchro) {
            return echec(erreur);
        }
    }
    return true;
}

bool ecrireFichierSur(const std::string& chemin, std::string_view octets, std::string* raison)
{
    EcritureSure ecriture(chemin);
    const bool ok = ecriture.ecrire(octets.data(), octets.size()) && ecriture.valider();
    if (!ok && raison != nullptr) {
        *raison = ecriture.raison();
    }
    return ok;
}

TamponSur::TamponSur(EcritureSure& ecriture)
    : m_ecriture(ecriture)
{
    setp(m_tampon.data(), m_tampon.data() + m_tampon.size());
}

bool TamponSur::vider()
{
    const std::ptrdiff_t n = pptr() - pbase();
    setp(m_tampon.data(), m_tampon.data() + m_tampon.size());
    return n == 0 || m_ecriture.ecrire(m_tampon.data(), static_cast<std::size_t>(n));
}

TamponSur::int_type TamponSur::overflow(int_type c)
{
    if (!vider()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize TamponSur::xsputn(const char* s, std::streamsize n)
{
    const std::streamsize place = epptr() - pptr();
    if (n <= place) {
        std::memcpy(pptr(), s, static_cast<std::size_t>(n));
        pbump(static_cast<int>(n));
        return n;
    }
    // A long piece goes straight to the file after what the buffer holds.
    if (!vider() || !m_ecriture.ecrire(s, static_cast<std::size_t>(n))) {
        return 0;
    }
    return n;
}

int TamponSur::sync()
{
    return vider() ? 0 : -1;
}

FluxSur::FluxSur(const std::string& chemin)
    : std::ostream(nullptr)
    , m_ecriture(chemin)
    , m_tampon(m_ecriture)
{
    imbue(std::locale::classic());
    if (m_ecriture.ouverte()) {
        rdbuf(&m_tampon);
    } else {
        setstate(std::ios::badbit);
    }
}

FluxSur::~FluxSur() = default;

bool FluxSur::valider()
{
    if (!m_ecriture.ouverte()) {
        return false;
    }
    if (fail() || !m_tampon.vider()) {
        m_ecriture.abandonner();
        setstate(std::ios::badbit);
        return false;
    }
    if (!m_ecriture.valider()) {
        setstate(std::ios::badbit);
        return false;
    }
    return true;
}
