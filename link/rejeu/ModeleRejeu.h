#pragma once

#include "core/FichierLecture.h"
#include "link/recorder/LecteurSession.h"
#include "link/rejeu/EtatRejeu.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/** How a log is played back. */
struct OptionsRejeu {
    std::string fichier;
    /** Turns a frame's intervals into the network's outputs; empty: the robot is not placed. */
    protocole::Estimateur estimateur;
    /** Log time runs this many times faster than real time (finite, above 0). */
    double vitesse = 1.0;
    /** Steady clock in microseconds; empty: the system's. */
    std::function<std::uint64_t()> horloge;
    /**
     * One call of avancer() does at most this much work, us of the work
     * clock (0: no limit), so that a window stays live at any speed and
     * while a long log is read.
     */
    std::int64_t dureeTourMaxUs = 20'000;
    /** The clock that measures a turn's work, us; empty: the steady clock. */
    std::function<std::int64_t()> horlogeTravail;
    /** Records between two snapshots of the replayed state (a seek back starts from one). */
    std::uint64_t pasInstantanes = 4096;
};

/**
 * A recorded session played back from its log alone, on a state of its own
 * (EtatRejeu): it never reads nor writes the live world, the link or the
 * navigation. Log time runs from the session's first record to its last,
 * as a clock given by the caller says; "position" is the log time the state
 * shows (every record up to it applied, none after it).
 *
 * The log is read once first, the files it was continued in included: that
 * finds its end (and any damage, where the replay then stops) and keeps a
 * snapshot of the state, with where to read on, every pasInstantanes
 * records. Seeking back starts again from the nearest snapshot before the
 * time sought; seeking forward applies the records up to it without
 * waiting (from a later snapshot when there is one). Every piece of work,
 * the first reading included, goes in turns of avancer() of at most
 * dureeTourMaxUs each.
 */
class ModeleRejeu {
public:
    explicit ModeleRejeu(OptionsRejeu options);
    ~ModeleRejeu();
    ModeleRejeu(const ModeleRejeu&) = delete;
    ModeleRejeu& operator=(const ModeleRejeu&) = delete;

    /** Opens the log and reads its header: false (erreur() says why) when it is not one. */
    bool ouvrir();
    /** Why the log cannot be replayed at all (French); empty once it is open. */
    const std::string& erreur() const { return m_erreur; }

    /** What one turn did and what is to come. */
    struct Tour {
        /** Records applied in this turn (the first reading's included). */
        int appliques = 0;
        /** Work is left that waits for nothing: call again at the next turn of the event loop. */
        bool encore = false;
        /** Playing: the next record is due in this many us of the clock; -1: nothing to wait for.
         */
        std::int64_t attenteUs = -1;
    };
    /** Does the work that is due now, for at most one turn (OptionsRejeu::dureeTourMaxUs). */
    Tour avancer();

    /** Plays on from the position at the clock's pace; from the start after the end. */
    void lire();
    /** Stops where it is: the position stays. */
    void suspendre();
    /** Playing (or about to, while the log is first read). */
    bool enLecture() const { return m_enLecture; }
    /** Changes the speed, while playing too: the position goes on from where it is. */
    void reglerVitesse(double vitesse);
    double vitesse() const { return m_vitesse; }
    /** Goes to log time `tempsUs` (brought within the log's first and last record times). */
    void chercher(std::uint64_t tempsUs);
    /** A seek is under way (its records are being applied). */
    bool rechercheEnCours() const { return m_cible.has_value(); }

    /** The log was read through once: its end, its damage, its snapshots are known. */
    bool lu() const { return m_lu; }
    /** The log time of its first and last records (the last known so far while it is first read).
     */
    std::uint64_t tempsDebut() const { return m_tempsDebut; }
    std::uint64_t tempsFin() const { return m_tempsFin; }
    /** The log time the state shows. */
    std::uint64_t position() const { return m_position; }
    /** Everything up to the log's end (or its damage) has been shown. */
    bool termine() const;
    /** How the log ends (Fin, Tronque, Corrompu), once read through. */
    journal::Lecture finJournal() const { return m_finJournal; }
    /** Why it ends before its last record was whole (French); empty for a clean end. */
    const std::string& raisonFin() const { return m_raisonFin; }
    /** The session's start, us since 1970 UTC. */
    std::int64_t debutSessionUnixUs() const { return m_debutSession; }
    /** The log's format version (1 and 2 record no whole field). */
    std::uint16_t versionJournal() const { return m_versionJournal; }
    /** Whole fields recorded in the log (kind 8), once read through. */
    std::uint64_t terrains() const { return m_terrains; }
    /** Snapshots kept. */
    std::size_t instantanes() const { return m_instantanes.size(); }

    const EtatRejeu& etat() const { return m_etat; }
    /** Bumped each time the state or the position changes (the display looks again). */
    std::uint64_t changements() const { return m_changements; }

private:
    /** One reading of the log: its file, its reader, the record read ahead. */
    struct Lecteur {
        FichierLecture fichier;
        std::unique_ptr<journal::LecteurSession> session;
        journal::Enregistrement prochain;
        bool aProchain = false;
        journal::Lecture fin = journal::Lecture::Fin;
    };
    /** The state after `nombre` records, the last at `temps`, and where to read on. */
    struct PointReprise {
        std::uint64_t temps = 0;
        std::uint64_t nombre = 0;
        EtatRejeu etat;
        journal::PositionSession position;
    };

    bool ouvrirLecteur(Lecteur& lecteur);
    void lireSuivant(Lecteur& lecteur);
    /** The first reading; true when the turn is full. */
    bool lirePremiereFois(std::int64_t debutTour, int& appliques);
    /** A seek's records; true when the turn is full. */
    bool poursuivreRecherche(std::int64_t debutTour, int& appliques);
    /** Applies the records due up to `temps`; true when the turn is full. */
    bool appliquerJusqua(std::uint64_t temps, std::int64_t debutTour, int& appliques);
    void restaurer(const PointReprise& point);
    bool tourPlein(std::int64_t debutTour, int appliques) const;
    /** The log time the clock has reached while playing (not beyond the end). */
    std::uint64_t tempsHorloge() const;
    void demarrerHorloge();
    /** Every record up to the end the first reading found is applied. */
    bool auBout() const;
    void poserPosition(std::uint64_t position);

    OptionsRejeu m_options;
    std::string m_erreur;
    Lecteur m_index;
    Lecteur m_lecture;
    EtatRejeu m_etatIndex;
    std::uint64_t m_nombreIndex = 0;
    std::vector<PointReprise> m_instantanes;
    bool m_lu = false;
    bool m_premierTrouve = false;
    std::uint64_t m_tempsDebut = 0;
    std::uint64_t m_tempsFin = 0;
    journal::Lecture m_finJournal = journal::Lecture::Fin;
    std::string m_raisonFin;
    std::int64_t m_debutSession = 0;
    std::uint16_t m_versionJournal = 0;
    std::uint64_t m_terrains = 0;

    EtatRejeu m_etat;
    /** Records applied to m_etat, and the time of the last one. */
    std::uint64_t m_appliques = 0;
    std::uint64_t m_tempsApplique = 0;
    std::uint64_t m_position = 0;
    std::optional<std::uint64_t> m_cible;
    /** The seek under way has chosen where it starts from. */
    bool m_departChoisi = false;
    bool m_enLecture = false;
    double m_vitesse = 1.0;
    /** Log time at m_depart, the clock's time when playing last started. */
    std::uint64_t m_base = 0;
    std::uint64_t m_depart = 0;
    std::uint64_t m_changements = 0;
};
