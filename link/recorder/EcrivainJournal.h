#pragma once

#include "link/recorder/FormatJournal.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace journal {

/**
 * Writes one log file: the header at opening, then one record per call,
 * each flushed to the system before the call returns. After the first
 * failure (disk full, file removed) it stops writing and keeps the reason;
 * it never throws.
 */
class EcrivainJournal {
public:
    EcrivainJournal() = default;
    ~EcrivainJournal();
    EcrivainJournal(const EcrivainJournal&) = delete;
    EcrivainJournal& operator=(const EcrivainJournal&) = delete;

    /**
     * Creates `chemin` (never over an existing file) and writes the header
     * with the session's start time. False, with erreur() set, on failure.
     */
    bool ouvrir(const std::string& chemin, std::int64_t debutUnixUs);
    /**
     * Appends the bytes as records of `genre` at `tempsUs` (split every
     * ChargeMax bytes). False when nothing more can be written.
     */
    bool ecrire(Genre genre, std::uint64_t tempsUs, const std::uint8_t* octets, std::size_t n);
    /** A text event as one record (cut at ChargeMax bytes). */
    bool ecrire(Genre genre, std::uint64_t tempsUs, std::string_view texte);
    void fermer();

    bool ouvert() const { return m_fichier != nullptr; }
    /** Bytes written to the file so far, header included. */
    std::uint64_t taille() const { return m_taille; }
    const std::string& erreur() const { return m_erreur; }
    /** The system's error number of the last failure (EEXIST: the file exists). */
    int codeErreur() const { return m_code; }

private:
    bool echec(const std::string& quoi);

    std::FILE* m_fichier = nullptr;
    std::uint64_t m_taille = 0;
    std::string m_chemin;
    std::string m_erreur;
    int m_code = 0;
};

} // namespace journal
