#pragma once

#include "core/FichierLecture.h"
#include "link/recorder/LecteurJournal.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <string>

namespace journal {

/** Where reading stands between two records, to come back to (LecteurSession::reprendre). */
struct PositionSession {
    /** The file being read: its name, and how many files were read up to it (1: the first). */
    std::string nom;
    int fichiers = 1;
    /** The next record's offset in that file, bytes. */
    std::int64_t decalage = 0;
    std::uint64_t dernierTemps = 0;
    std::uint64_t nombre = 0;
    /** The continuation the last record named, if it did. */
    std::optional<std::string> nomSuite;
};

/**
 * Reads a recorded session across the files it was continued in: when a
 * file ends cleanly on a "suite NAME" event, reading goes on with NAME in
 * the same folder, past its header. NAME must be a log's name that sorts
 * after the file that names it (so a chain always ends), and its header
 * must carry the same session start; the records' times never go back from
 * one file to the next. NAME is opened as the recorder made it: a regular
 * file, never through a symbolic link (which could lead out of the folder),
 * and never waiting on a FIFO. The continuation events themselves are
 * handed over like any other record.
 */
class LecteurSession {
public:
    /**
     * Reads `entree`, the content of the file `chemin`; the continuations
     * are looked for beside `chemin`. Without `chemin` nothing is followed.
     */
    explicit LecteurSession(std::istream& entree, const std::string& chemin = {});

    /** Reads the first file's header: false (erreur() says why) when this is no log. */
    bool lireEntete();
    /** The next record into `e`, from whichever file holds it (after lireEntete). */
    Lecture suivant(Enregistrement& e);

    /** The session's start, microseconds since 1970 (after lireEntete). */
    std::int64_t debutUnixUs() const { return m_debut; }
    /** The format version of the file being read (after lireEntete). */
    std::uint16_t version() const { return m_lecteur->version(); }
    /** Why reading stopped short; empty after a clean end. */
    const std::string& erreur() const { return m_erreur; }
    /** Whole records read so far, all files together. */
    std::uint64_t nombre() const { return m_nombre; }
    /** The files read so far, the first one included. */
    int fichiers() const { return m_fichiers; }

    /**
     * Where reading stands, between two records (after lireEntete); nothing
     * when reading stopped or the stream cannot tell its offset.
     */
    std::optional<PositionSession> position();
    /**
     * Reads on from `position`, taken by this reader or one on the same
     * session: the file it names is opened again and its header checked.
     * False (erreur() says why, and reading has stopped) when it cannot be.
     */
    bool reprendre(const PositionSession& position);

private:
    /** Opens the file the last "suite" event named; the reason to stop when it cannot. */
    Lecture ouvrirSuite();
    /** Opens a continuation file into m_suite; false (reading stopped, and why) when it cannot. */
    bool ouvrirFichierSuite(const std::string& chemin);
    Lecture arret(Lecture raison, std::string texte);

    std::istream& m_premier;
    std::string m_dossier;
    std::string m_nom;
    FichierLecture m_suite;
    std::unique_ptr<LecteurJournal> m_lecteur;
    std::optional<std::string> m_nomSuite;
    std::int64_t m_debut = 0;
    std::uint64_t m_dernierTemps = 0;
    std::uint64_t m_nombre = 0;
    int m_fichiers = 1;
    bool m_arrete = false;
    Lecture m_raison = Lecture::Fin;
    std::string m_erreur;
};

} // namespace journal
