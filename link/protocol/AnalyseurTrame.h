#pragma once

#include "link/protocol/SilenceLigne.h"

#include <cstdint>
#include <functional>

namespace protocole {

/** What the position estimator makes of a frame's three intervals. */
struct Estimation {
    /** False when there is no estimate (no network, or one that refuses the inputs). */
    bool valide = false;
    /** The network's output 0 (the robot's y, cm, before clamping). */
    double sortie0 = 0.0;
    /** The network's output 1 (the robot's x, cm, before clamping). */
    double sortie1 = 0.0;
};

/**
 * Turns three intervals in seconds into the network's two outputs. The
 * console passes its network dialog; anything else will do.
 */
using Estimateur = std::function<Estimation(double t1, double t2, double t3)>;

/** What the owner of the parser has to do after one byte. */
enum class Action {
    Aucune,   ///< nothing (a timestamp byte before the eighth)
    Position, ///< the timestamps are complete: estimate the position from the intervals
    Etat,     ///< the status byte: bumper bits, then one command byte in reply
    Batterie, ///< the battery byte: the level for the bar
};

/** The byte a frame's parser expects next (m_rxState's values). */
enum class EtatTrame : int {
    Horodatages = 2, ///< timestamp byte number m_rxIndex
    Statut = 3,      ///< the status byte
    Batterie = 4,    ///< the battery byte
};

/** The outcome of one byte; only the fields of its action are meaningful. */
struct Evenement {
    Action action = Action::Aucune;
    /** Position: the frame's timestamps T1 .. T4 and its three intervals, s. */
    std::int16_t horodatages[4] = {};
    float intervalles[3] = {};
    /** Etat: bit 0 and bit 1 of the status byte, 1 when set. */
    int bit0 = 0;
    int bit1 = 0;
    /** Batterie: the level, 0 .. 255. */
    int batterie = 0;
    /**
     * Bytes of an unfinished frame thrown away before this byte, because a
     * silence longer than the threshold came before it; this byte then
     * starts a new frame. 0 on a clean line.
     */
    int ecartes = 0;
    /** With `ecartes`: the silence that came before this byte, us. */
    Instant silence = 0;
};

/**
 * The sensor-frame parser, fed one received byte at a time. A frame is ten
 * bytes: four little-endian 16-bit timestamps, a status byte and a battery
 * byte; nothing marks its start, so frames are found by counting bytes from
 * the moment the link was opened (`demarrer`). After the eighth timestamp
 * byte it gives the frame's intervals (the caller estimates the position:
 * ChaineTrames); the world's share of each event is the caller's too.
 *
 * Counting alone would read every later frame from the wrong place after one
 * lost, extra or garbled byte. A robot sends a frame's first nine bytes
 * together and its battery byte right after the reply, and leaves a silence
 * between frames; so when bytes are given with their arrival times and a
 * silence threshold is set, a silence longer than the threshold inside a
 * frame (measured from the later of the last byte received and the last
 * command byte written, `noterEmission`) starts a new frame: the bytes of the
 * unfinished one are thrown away and counted. Bytes without a time, or a
 * threshold of 0, leave the parser counting only.
 *
 * Status and battery events and cut frames are traced on the protocol
 * channel.
 */
class AnalyseurTrame {
public:
    /** Back to the first timestamp byte: state 2, m_rxIndex 0; no silence measured yet. */
    void demarrer();

    /** The silence inside a frame that starts a new one, us; 0: frames by counting only. */
    void reglerSeuilSilence(Instant seuil) { m_seuilSilence = seuil > 0 ? seuil : 0; }
    Instant seuilSilence() const { return m_seuilSilence; }

    /**
     * One received byte (only its low 8 bits count), read at `arrivee` (us
     * of a steady clock; InstantInconnu when not known).
     */
    Evenement recevoir(int octet, Instant arrivee = InstantInconnu);

    /** A command byte was written at `instant`: silences are measured from there too. */
    void noterEmission(Instant instant);

    /** Frames cut short by a silence since the parser was made. */
    std::uint64_t resynchronisations() const { return m_resynchronisations; }
    /** The bytes those frames held, thrown away. */
    std::uint64_t octetsEcartes() const { return m_octetsEcartes; }

    /** m_rxState: 2 timestamps, 3 status, 4 battery. */
    int rxState() const { return static_cast<int>(m_rxState); }
    int rxIndex() const { return m_rxIndex; }
    /** T1 .. T4 of the frame being read (or the last one). */
    const std::int16_t* horodatages() const { return m_rxStamps; }
    /** The last complete frame's intervals, in seconds. */
    const float* intervalles() const { return m_intervals; }

private:
    Evenement horodatage(std::uint8_t octet);
    /** Bytes of the frame being read (0 at a frame's start). */
    int octetsDeLaTrame() const;
    /**
     * Starts a new frame when `arrivee` ends too long a silence inside one;
     * the bytes thrown away, and the silence, go into `evenement`.
     */
    void resynchroniser(Instant arrivee, Evenement& evenement);

    EtatTrame m_rxState = EtatTrame::Horodatages;
    /** Position 0 .. 7 of the next timestamp byte. */
    int m_rxIndex = 0;
    /** The low byte waiting for its high byte. */
    std::uint8_t m_lowByte = 0;
    std::int16_t m_rxStamps[4] = {};
    float m_intervals[3] = {};
    Instant m_seuilSilence = 0;
    Instant m_derniereArrivee = InstantInconnu;
    Instant m_derniereEmission = InstantInconnu;
    std::uint64_t m_resynchronisations = 0;
    std::uint64_t m_octetsEcartes = 0;
};

} // namespace protocole
