#pragma once

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
    Aucune,   ///< nothing (a timestamp byte before the eighth, or a resynchronisation)
    Position, ///< the timestamps are complete: apply the estimate, show the position
    Etat,     ///< the status byte: bumper bits, then one command byte in reply
    Batterie, ///< the battery byte: the level for the bar
};

/** The outcome of one byte; only the fields of its action are meaningful. */
struct Evenement {
    Action action = Action::Aucune;
    /** Position: the estimate made from the frame's intervals. */
    Estimation estimation;
    /** Etat: bit 0 and bit 1 of the status byte, 1 when set. */
    int bit0 = 0;
    int bit1 = 0;
    /** Batterie: the level, 0 .. 255. */
    int batterie = 0;
};

/**
 * The sensor-frame parser, fed one received byte at a time. A frame is ten
 * bytes: four little-endian 16-bit timestamps, a status byte and a battery
 * byte; nothing marks its start, so frames are found only by counting bytes
 * from the moment the link was opened (`demarrer`).
 *
 * States (m_rxState): 2 timestamps, 3 status, 4 battery. After the eighth
 * timestamp byte the parser computes the intervals and asks the estimator;
 * the world's share of each event is the caller's (world/RobotReports.h).
 * Every frame event is traced on the protocol channel.
 */
class AnalyseurTrame {
public:
    /** `estimateur` may be empty: frames then carry no estimate. */
    explicit AnalyseurTrame(Estimateur estimateur = {});

    /** Back to the first timestamp byte: state 2, m_rxIndex 0. */
    void demarrer();

    /** One received byte (only its low 8 bits count). */
    Evenement recevoir(int octet);

    int rxState() const { return m_rxState; }
    int rxIndex() const { return m_rxIndex; }
    /** T1 .. T4 of the frame being read (or the last one). */
    const std::int16_t* horodatages() const { return m_rxStamps; }
    /** The last complete frame's intervals, in seconds. */
    const float* intervalles() const { return m_intervals; }

private:
    Evenement horodatage(std::uint8_t octet);

    Estimateur m_estimateur;
    /** 2 timestamps, 3 status, 4 battery; any other value resynchronises. */
    int m_rxState = 2;
    /** Position 0 .. 7 of the next timestamp byte. */
    int m_rxIndex = 0;
    /** The low byte waiting for its high byte. */
    std::uint8_t m_lowByte = 0;
    std::int16_t m_rxStamps[4] = {};
    float m_intervals[3] = {};
};

} // namespace protocole
