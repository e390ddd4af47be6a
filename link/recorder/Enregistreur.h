#pragma once

#include "link/recorder/EcrivainJournal.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace journal {

/** Where and how much the recorder keeps. */
struct ReglagesJournal {
    /** The log folder (created when missing). */
    std::string dossier;
    /** The logs of the folder are cut back to this many bytes, oldest first. */
    std::uint64_t tailleMax = 200ULL * 1024 * 1024;
};

/** The clocks of a recording session, injectable for tests. */
struct Horloges {
    /** A steady clock, in microseconds from any origin. */
    std::function<std::uint64_t()> stable;
    /** The wall clock, in microseconds since 1970 (names and the log's header). */
    std::function<std::int64_t()> murale;
};

/** The system's steady and wall clocks. */
Horloges horlogesSysteme();

/**
 * The recording of one program session: the log file is created at the
 * first thing recorded, named by the date and time, and the folder is then
 * cut back to its size cap (again after every further megabyte written).
 * Any thread may record. A failure stops the recording for the session and
 * is kept in erreur(); it never throws and never stops the caller.
 */
class Enregistreur {
public:
    explicit Enregistreur(ReglagesJournal reglages, Horloges horloges = horlogesSysteme());

    void recu(const std::uint8_t* octets, std::size_t n);
    /**
     * Bytes read from the line at `lu`, a time of the steady clock (the one
     * Horloges::stable reads): the record keeps the time they arrived, not
     * the time they were handed over (never before an earlier record).
     */
    void recu(const std::uint8_t* octets, std::size_t n, std::uint64_t lu);
    void emis(const std::uint8_t* octets, std::size_t n);
    void lien(std::string_view texte);
    void navigation(std::string_view texte);

    /** The session's log file, empty before the first record. */
    std::string chemin() const;
    /** Why the session is not (or no longer) recorded; empty while it is. */
    std::string erreur() const;

private:
    void noter(Genre genre, const std::uint8_t* octets, std::size_t n,
               std::optional<std::uint64_t> instant = std::nullopt);
    bool ouvrir();

    ReglagesJournal m_reglages;
    Horloges m_horloges;
    mutable std::mutex m_mutex;
    EcrivainJournal m_ecrivain;
    std::uint64_t m_origine = 0;
    std::uint64_t m_dernierTemps = 0;
    std::uint64_t m_tailleVerifiee = 0;
    bool m_essaye = false;
    std::string m_chemin;
    std::string m_erreur;
};

} // namespace journal
