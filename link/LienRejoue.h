#pragma once

#include "link/RobotLink.h"
#include "link/recorder/LecteurSession.h"

#include <QTimer>

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

/** How a log is played back. */
struct OptionsRejeu {
    std::string fichier;
    /** Log time runs this many times faster than real time (finite, above 0). */
    double vitesse = 1.0;
    /** Steady clock in microseconds; empty: the system's. */
    std::function<std::uint64_t()> horloge;
    /** False: nothing plays by itself, the caller drives avancer() (tests). */
    bool minuterie = true;
    /**
     * One turn of the event loop hands over at most this much work, us of
     * the steady clock (0: no limit); the rest goes on at the next turn, so
     * that the window stays live at any speed.
     */
    std::int64_t dureeTourMaxUs = 20'000;
    /** The clock that measures a turn's work, us; empty: the steady clock. */
    std::function<std::int64_t()> horlogeTravail;
};

/**
 * A recorded session played back as a link, across the files it was
 * continued in: the received bytes reach the owner at their recorded times
 * (scaled by the speed), a later opening in the log restarts the owner's
 * frame count, the command bytes sent then, the destinations placed and the
 * map edits made are handed over in their turn, and whatever the owner
 * queues for sending goes nowhere.
 * Playback runs on the owner's thread from a timer; the monitor counts as
 * running until the log's end.
 */
class LienRejoue : public RobotLink {
public:
    explicit LienRejoue(OptionsRejeu options);
    ~LienRejoue() override;
    LienRejoue(const LienRejoue&) = delete;
    LienRejoue& operator=(const LienRejoue&) = delete;

    /** Opens the log; false (openError() says why) when it is not one. */
    bool Configure(RobotLinkOwner* owner, int port, int baud, char parity, int dataBits,
                   int stopBits, unsigned eventMask, int bufferSize) override;
    bool StartMonitor() override;
    bool SuspendMonitor() override;
    bool ResumeMonitor() override;
    /** Nothing is sent anywhere; counted only. */
    void QueueWrite(const char* octets) override;
    bool threadAlive() const override { return m_enCours; }
    std::string openError() const override { return m_erreur; }
    std::string replayFile() const override { return m_options.fichier; }

    /**
     * Hands over the records due at the clock's time, for at most one
     * turn's work (OptionsRejeu::dureeTourMaxUs); the number handed over.
     */
    int avancer();
    /** How the log ended (Fin, Tronque, Corrompu) once played to its end. */
    journal::Lecture fin() const { return m_fin; }
    /** Bytes the owner queued during playback, all dropped. */
    std::uint64_t octetsIgnores() const { return m_ignores; }

private:
    /** Reads the next record into m_prochain; false at the log's end. */
    bool lireSuivant();
    /** Hands one record to the owner; false when the link was destroyed meanwhile. */
    bool remettre(const journal::Enregistrement& e);
    std::uint64_t tempsJournal() const;
    void programmer();
    /** At the log's end: a damaged log is told to the operator. */
    void signalerFin() const;

    OptionsRejeu m_options;
    RobotLinkOwner* m_owner = nullptr;
    int m_port = 0;
    std::ifstream m_fichier;
    std::unique_ptr<journal::LecteurSession> m_lecteur;
    journal::Enregistrement m_prochain;
    bool m_aProchain = false;
    journal::Lecture m_fin = journal::Lecture::Fin;
    bool m_enCours = false;
    bool m_suspendu = false;
    bool m_dansAvancer = false;
    int m_ouvertures = 0;
    /** Log time reached when the clock read m_depart. */
    std::uint64_t m_base = 0;
    std::uint64_t m_depart = 0;
    std::uint64_t m_ignores = 0;
    std::string m_erreur;
    QTimer m_minuterie;
    /** Goes with the link: a hand-over learns through it that the link is gone. */
    std::shared_ptr<bool> m_vivant = std::make_shared<bool>(true);
};
