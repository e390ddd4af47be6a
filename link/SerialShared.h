#pragma once

#include "link/FileRemise.h"

#include <QEvent>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

class RobotLinkOwner;

/** The time the engine reads or writes bytes: microseconds of the steady clock. */
std::int64_t instantLien();

/**
 * What the serial engine, its monitor thread and its courier (the engine's
 * receiver on the owner's thread) share. Held by shared_ptr: a hand-over or a
 * report that arrives late finds this state, never a destroyed engine.
 *
 * Everything below the mutex is read and written under it. Events posted
 * between the threads carry no data: they only say "look at the state".
 */
struct PartageLien {
    std::mutex verrou;

    // Set by the owner's thread.
    bool arret = false;
    bool suspendu = false;
    /** A port is open and not lost: queued bytes can leave. */
    bool ouvert = false;
    /** Bytes queued by QueueWrite and not yet taken by the monitor, first in first out. */
    std::string sortie;
    RobotLinkOwner* owner = nullptr;
    int port = 0;
    /** Counts the openings and shutdowns: a batch of an earlier one is not handed over. */
    std::uint64_t generation = 0;

    /** The monitor's receiver while its loop runs (lives on the monitor thread). */
    QObject* moniteur = nullptr;
    bool reveilPoste = false;
    /** The courier (lives on the owner's thread), while the engine lives. */
    QObject* courrier = nullptr;

    /** What the monitor read and did, not yet handed to the owner (bounded). */
    FileRemise file;
    bool remisePostee = false;
    /** Why the device went away (French, for the operator); empty while it is there. */
    std::string raisonPerte;

    /** Reports waiting to be shown on the owner's thread. */
    std::deque<std::string> rapports;
    bool rapportPoste = false;

    /** True from StartMonitor until the monitor has left its loop. */
    std::atomic<bool> vivant{false};
};

/** Asks the monitor to look at the state: shutdown, bytes to write. */
QEvent::Type evenementReveil();
/** Asks the courier to hand what arrived to the owner. */
QEvent::Type evenementRemise();
/** Asks the courier to show the waiting reports. */
QEvent::Type evenementRapport();

/** Posts an event of `type` (no data) to `cible`; thread-safe. */
void poster(QObject* cible, QEvent::Type type);

/** Under the state's mutex: makes sure the courier will look at what arrived. */
void posterRemise(PartageLien& etat);
