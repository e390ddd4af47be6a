#include "link/recorder/EcrivainJournal.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace journal {

EcrivainJournal::~EcrivainJournal()
{
    fermer();
}

EcrivainJournal::EcrivainJournal(EcrivainJournal&& autre) noexcept
    : m_fichier(std::exchange(autre.m_fichier, nullptr))
    , m_taille(autre.m_taille)
    , m_chemin(std::move(autre.m_chemin))
    , m_quoi(std::move(autre.m_quoi))
    , m_raison(std::move(autre.m_raison))
    , m_code(autre.m_code)
{}

EcrivainJournal& EcrivainJournal::operator=(EcrivainJournal&& autre) noexcept
{
    if (this != &autre) {
        fermer();
        m_fichier = std::exchange(autre.m_fichier, nullptr);
        m_taille = autre.m_taille;
        m_chemin = std::move(autre.m_chemin);
        m_quoi = std::move(autre.m_quoi);
        m_raison = std::move(autre.m_raison);
        m_code = autre.m_code;
    }
    return *this;
}

bool EcrivainJournal::echec(const std::string& quoi, int code)
{
    char tampon[256];
    m_code = code;
    m_quoi = quoi;
    m_raison = quoi + " : " + ::strerror_r(code, tampon, sizeof tampon);
    fermer();
    return false;
}

std::string EcrivainJournal::erreur() const
{
    if (m_raison.empty()) {
        return {};
    }
    return m_quoi + " (" + m_chemin + ")" + m_raison.substr(m_quoi.size());
}

bool EcrivainJournal::ouvrir(const std::string& chemin, std::int64_t debutUnixUs)
{
    fermer();
    m_chemin = chemin;
    m_quoi.clear();
    m_raison.clear();
    m_code = 0;
    m_taille = 0;
    // Private, never over another file, never through a link someone planted.
    const int fd =
        ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return echec("création du journal impossible", errno);
    }
    m_fichier = ::fdopen(fd, "wb");
    if (m_fichier == nullptr) {
        const int code = errno;
        ::close(fd);
        return echec("création du journal impossible", code);
    }
    std::array<std::uint8_t, TailleEntete> entete{};
    encoderEntete(entete.data(), debutUnixUs);
    if (std::fwrite(entete.data(), 1, entete.size(), m_fichier) != entete.size() ||
        std::fflush(m_fichier) != 0) {
        return echec("écriture du journal impossible", errno);
    }
    m_taille = entete.size();
    return true;
}

bool EcrivainJournal::ecrire(Genre genre, std::uint64_t tempsUs, const std::uint8_t* octets,
                             std::size_t n)
{
    if (m_fichier == nullptr) {
        return false;
    }
    // Header and payload go through the stream's buffer and leave in one
    // flush per record: a crash tears at most the record being written.
    std::array<std::uint8_t, TailleEnteteEnregistrement> entete{};
    do {
        const std::size_t part = n < ChargeMax ? n : ChargeMax;
        encoderEnregistrement(entete.data(), tempsUs, genre, part);
        if (std::fwrite(entete.data(), 1, entete.size(), m_fichier) != entete.size() ||
            (part > 0 && std::fwrite(octets, 1, part, m_fichier) != part) ||
            std::fflush(m_fichier) != 0) {
            return echec("écriture du journal impossible", errno);
        }
        m_taille += entete.size() + part;
        octets += part;
        n -= part;
    } while (n > 0);
    return true;
}

bool EcrivainJournal::ecrire(Genre genre, std::uint64_t tempsUs, std::string_view texte)
{
    const std::size_t n = texte.size() < ChargeMax ? texte.size() : ChargeMax;
    return ecrire(genre, tempsUs, reinterpret_cast<const std::uint8_t*>(texte.data()), n);
}

bool EcrivainJournal::synchroniser()
{
    if (m_fichier == nullptr) {
        return false;
    }
    if (std::fflush(m_fichier) != 0 || ::fsync(::fileno(m_fichier)) != 0) {
        return echec("synchronisation du journal impossible", errno);
    }
    return true;
}

int EcrivainJournal::descripteur() const
{
    return m_fichier != nullptr ? ::fileno(m_fichier) : -1;
}

void EcrivainJournal::fermer()
{
    if (m_fichier != nullptr) {
        std::fclose(m_fichier);
        m_fichier = nullptr;
    }
}

} // namespace journal
