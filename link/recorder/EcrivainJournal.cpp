#include "link/recorder/EcrivainJournal.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace journal {

EcrivainJournal::~EcrivainJournal()
{
    fermer();
}

bool EcrivainJournal::echec(const std::string& quoi)
{
    m_code = errno;
    m_erreur = quoi + " (" + m_chemin + ") : " + std::strerror(m_code);
    fermer();
    return false;
}

bool EcrivainJournal::ouvrir(const std::string& chemin, std::int64_t debutUnixUs)
{
    fermer();
    m_chemin = chemin;
    m_erreur.clear();
    m_taille = 0;
    // "x": a log is never written over another one.
    m_fichier = std::fopen(chemin.c_str(), "wbx");
    if (m_fichier == nullptr) {
        return echec("création du journal impossible");
    }
    std::array<std::uint8_t, TailleEntete> entete{};
    encoderEntete(entete.data(), debutUnixUs);
    if (std::fwrite(entete.data(), 1, entete.size(), m_fichier) != entete.size() ||
        std::fflush(m_fichier) != 0) {
        return echec("écriture du journal impossible");
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
            return echec("écriture du journal impossible");
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

void EcrivainJournal::fermer()
{
    if (m_fichier != nullptr) {
        std::fclose(m_fichier);
        m_fichier = nullptr;
    }
}

} // namespace journal
