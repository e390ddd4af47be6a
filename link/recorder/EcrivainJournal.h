#pragma once

#include "link/recorder/FormatJournal.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace journal {

/**
 * Writes one log file: the header at opening, then one record per call,
 * each flushed to the system before the call returns. The file is private
 * (0600), created exclusively and never through a link. After the first
 * failure (disk full, file removed) it stops writing and keeps the reason;
 * it never throws.
 */
class EcrivainJournal {
public:
    EcrivainJournal() = default;
    ~EcrivainJournal();
    EcrivainJournal(const EcrivainJournal&) = delete;
    EcrivainJournal& operator=(const EcrivainJournal&) = delete;
    EcrivainJournal(EcrivainJournal&& autre) noexcept;
    EcrivainJournal& operator=(EcrivainJournal&& autre) noexcept;

    /**
     * Creates `chemin` (never over an existing file or link) and writes the
     * header with the session's start time. False, with erreur() set, on
     * failure.
     */
    bool ouvrir(const std::string& chemin, std::int64_t debutUnixUs);
    /**
     * Appends the bytes as records of `genre` at `tempsUs` (split every
     * ChargeMax bytes). False when nothing more can be written.
     */
    bool ecrire(Genre genre, std::uint64_t tempsUs, const std::uint8_t* octets, std::size_t n);
    /** A text event as one record (cut at ChargeMax bytes). */
    bool ecrire(Genre genre, std::uint64_t tempsUs, std::string_view texte);
    /** Syncs what was written to the disk; false (erreur() set) when that failed. */
    bool synchroniser();
    /** Closes the file, unsynced. */
    void fermer();

    bool ouvert() const { return m_fichier != nullptr; }
    /** The file's descriptor while it is open (to sync it from elsewhere), else -1. */
    int descripteur() const;
    /** Bytes written to the file so far, header included. */
    std::uint64_t taille() const { return m_taille; }
    const std::string& chemin() const { return m_chemin; }
    /** What failed and why, file included: "écriture du journal impossible (chemin) : ...". */
    std::string erreur() const;
    /** What failed and why, without the file: "écriture du journal impossible : ...". */
    const std::string& raison() const { return m_raison; }
    /** The system's error number of the last failure (EEXIST: the file exists). */
    int codeErreur() const { return m_code; }

private:
    bool echec(const std::string& quoi, int code);

    std::FILE* m_fichier = nullptr;
    std::uint64_t m_taille = 0;
    std::string m_chemin;
    std::string m_quoi;
    std::string m_raison;
    int m_code = 0;
};

/** The bytes `n` payload bytes of one write take in a log, record headers included. */
inline std::uint64_t tailleEcrite(std::size_t n)
{
    const std::size_t enregistrements = n == 0 ? 1 : (n + ChargeMax - 1) / ChargeMax;
    return n + enregistrements * TailleEnteteEnregistrement;
}

} // namespace journal
