#pragma once

#include "link/recorder/FormatJournal.h"

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace journal {

/** One record as read back; the payload is valid until the next read. */
struct Enregistrement {
    std::uint64_t tempsUs = 0;
    Genre genre = Genre::Recu;
    std::vector<std::uint8_t> charge;

    std::string_view texte() const
    {
        return {reinterpret_cast<const char*>(charge.data()), charge.size()};
    }
};

/** Where reading stopped, or that a record was read. */
enum class Lecture {
    Enregistrement, ///< a whole record was read
    Fin,            ///< the file ends after the last whole record
    Tronque,        ///< the file ends inside a record (a session cut short)
    Corrompu,       ///< an unknown kind, a bad map record or a time going back: nothing after it is
                    ///< trusted
};

/**
 * Reads a log from any stream, one record at a time, holding one record's
 * payload: a declared length grows the buffer only as far as the input
 * actually fills it. After the first non-record result every later read
 * gives the same result.
 */
class LecteurJournal {
public:
    explicit LecteurJournal(std::istream& entree);

    /** Reads the header: false (erreur() says why) when this is no log of version 1 or 2. */
    bool lireEntete();
    /** The next record into `e` (after lireEntete). */
    Lecture suivant(Enregistrement& e);

    /** The session's start, microseconds since 1970 (after lireEntete). */
    std::int64_t debutUnixUs() const { return m_debut; }
    /** The log's format version (after lireEntete): 1 holds no map records. */
    std::uint16_t version() const { return m_version; }
    const std::string& erreur() const { return m_erreur; }
    /** Whole records read so far. */
    std::uint64_t nombre() const { return m_nombre; }

private:
    Lecture arret(Lecture raison, std::string texte);

    std::istream& m_entree;
    std::int64_t m_debut = 0;
    std::uint16_t m_version = Version;
    std::uint64_t m_dernierTemps = 0;
    std::uint64_t m_nombre = 0;
    bool m_entete = false;
    bool m_arrete = false;
    Lecture m_raison = Lecture::Fin;
    std::string m_erreur;
};

} // namespace journal
