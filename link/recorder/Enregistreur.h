#pragma once

#include "link/recorder/EcrivainJournal.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace journal {

/** Where and how much the recorder keeps, and how often it syncs. */
struct ReglagesJournal {
    /** The log folder (created private when missing). */
    std::string dossier;
    /** The logs of the folder, the session's own included, never take more bytes. */
    std::uint64_t tailleMax = 200ULL * 1024 * 1024;
    /**
     * What is written reaches the disk at most this long after (ms), synced
     * by a thread of the recorder's own, and at the end of the session.
     * 0: no thread; only synchroniser() and the end of the session sync.
     */
    int periodeSynchroMs = 1000;
    /**
     * A new file is started only after a whole number of this many bytes
     * received since the port's last opening (the "ouvert" event), so that
     * a file read without the one before it starts where a frame starts.
     * 1: anywhere.
     */
    std::uint32_t alignement = 1;
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

/** Link event texts of a log continued in another file. */
inline constexpr const char* EvenementSuite = "suite";
inline constexpr const char* EvenementReprise = "reprise";

/**
 * The recording of one program session.
 *
 * The log file is created at the first thing recorded, named by the date
 * and time. The folder's logs never take more than the cap, this session's
 * included: before a record would pass it the oldest logs go, and the
 * session's log is continued in a new file once it holds a quarter of the
 * cap (a "suite NAME" event ends the full file, a "reprise NAME" event
 * starts the next), so that its own oldest part can go too.
 *
 * Any thread may record. The first failure (folder that cannot be made,
 * disk full, I/O error) stops the recording for the session, is kept in
 * erreur() and is told once to the handler given to surArret(); it never
 * throws and never stops the caller.
 */
class Enregistreur {
public:
    explicit Enregistreur(ReglagesJournal reglages, Horloges horloges = horlogesSysteme());
    /** Syncs and closes the log. */
    ~Enregistreur();
    Enregistreur(const Enregistreur&) = delete;
    Enregistreur& operator=(const Enregistreur&) = delete;

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
    /** A destination placed at (x, y) cm (0 .. 500 each). */
    void destination(int x, int y);
    /** A map edit of the field's cell (colonne, ligne), 0 .. 19 each. */
    void edition(EditionCarte genre, int colonne, int ligne);
    /** A calibration point kept (its values as decoderCalibration accepts them). */
    void calibration(const PointCalibre& point);
    /** The whole field as it stands, when it was replaced at once (a field opened, a new one). */
    void terrain(const EtatTerrain& terrain);
    /** Where the filter put the robot after a frame's estimate (each coordinate 0 .. 500). */
    void position(const PositionFiltree& position);

    /**
     * Gives the field as it stands now. It is written at the start of each
     * file of the session, the first one and every continuation, so that
     * each file replays on its own. It is called with the recorder's lock
     * held, on the thread that records: it must return at once and never
     * record. Empty (the default): no field is written there.
     */
    using SourceTerrain = std::function<EtatTerrain()>;
    void fournirTerrain(SourceTerrain source);

    /** An edit of the calibration list (its values as decoderListeCalibration accepts them). */
    void listeCalibration(const EditionListe& edition);

    /**
     * Syncs to the disk what was written since the last sync, the files of
     * the session that are already full included; the recording's thread
     * calls it every periodeSynchroMs. False when a sync failed: the
     * recording then stops.
     */
    bool synchroniser();

    /** The file the session is recorded in now, empty before the first record. */
    std::string chemin() const;
    /** Why the session is not (or no longer) recorded; empty while it is. */
    std::string erreur() const;
    /** The recording stopped on a failure. */
    bool arrete() const;
    /** Bytes after which the session's log is continued in a new file. */
    std::uint64_t tailleMorceau() const;

    /**
     * Told once, on the thread that met the failure, when the recording
     * stops: the file (or folder) at fault and the reason. A handler given
     * after the stop is called at once. It must not block; an empty one
     * removes the handler, after which it is never called again.
     */
    using RappelArret = std::function<void(const std::string& fichier, const std::string& raison)>;
    void surArret(RappelArret rappel);

private:
    void noter(Genre genre, const std::uint8_t* octets, std::size_t n,
               std::optional<std::uint64_t> instant = std::nullopt);
    bool ouvrir();
    bool preparer(std::uint64_t taille);
    /** The field at the start of a file just begun, when there is a source; false on failure. */
    bool ecrireTerrainEnAttente();
    /** Bytes the next record of `taille` takes, with the field that goes before it. */
    std::uint64_t aEcrire(std::uint64_t taille) const;
    bool continuer();
    void regarderDossier(std::uint64_t aEcrire);
    void arreter(const std::string& fichier, const std::string& raison);
    void prevenir();
    void minuterie();

    ReglagesJournal m_reglages;
    Horloges m_horloges;

    mutable std::mutex m_mutex; ///< guards everything below down to m_raisonArret
    EcrivainJournal m_ecrivain;
    std::int64_t m_debut = 0;
    std::uint64_t m_origine = 0;
    std::uint64_t m_dernierTemps = 0;
    /** Bytes of the folder's other logs when it was last looked at. */
    std::uint64_t m_autres = 0;
    /** Size of the file when the folder was last looked at. */
    std::uint64_t m_tailleVerifiee = 0;
    /** Records of the current file beyond its opening. */
    std::uint64_t m_enregistrements = 0;
    /** Bytes received since the port's last opening. */
    std::uint64_t m_recus = 0;
    SourceTerrain m_sourceTerrain;
    /** A file was begun: the field goes first in it. */
    bool m_terrainEnAttente = false;
    bool m_essaye = false;
    bool m_arrete = false;
    /** Written since the last sync. */
    bool m_sale = false;
    /** A file was made in the folder since the last sync. */
    bool m_dossierSale = false;
    /** Descriptors of the session's full files, still to sync and close. */
    std::vector<int> m_aSynchroniser;
    std::string m_chemin;
    std::string m_erreur;
    std::string m_fichierArret;
    std::string m_raisonArret;

    std::mutex m_mutexRappel; ///< guards the handler and whether it was told
    RappelArret m_rappel;
    bool m_prevenu = false;

    std::mutex m_mutexMinuterie;
    std::condition_variable m_reveil;
    bool m_fin = false;
    std::thread m_minuterie;
};

} // namespace journal
