#pragma once

#include "robot/Liaison.h"
#include "robot/RobotVirtuel.h"

#include <atomic>
#include <functional>
#include <ostream>

namespace robotsim {

/** How a run talks to the console. */
struct OptionsSession {
    /** No sleeping between frames: the next frame leaves as soon as the reply is in. */
    bool rapide = false;
    /** How long the robot waits for the reply to a frame's status byte, ms. */
    int delaiReponseMs = 2000;
    /** Where to write the CSV trace, or null. */
    std::ostream* trace = nullptr;
    /**
     * Called on the robot's thread at the start of each period, before its
     * frame is made: where the robot is moved by hand (commands typed to it).
     */
    std::function<void(RobotVirtuel&)> avantTrame;
    /** Called on the robot's thread after each period (benchmarks watch the truth). */
    std::function<void(const RobotVirtuel&)> apresPeriode;
    /**
     * When set, called on the robot's thread between the eighth byte of a
     * frame and its status byte, with the number of bytes sent so far; the
     * status byte leaves when it returns. Lock-step tests wait there for the
     * console to have acted on the frame's position.
     */
    std::function<void(long octetsEnvoyes)> avantEtat;
};

/** What a run came to. */
struct BilanSession {
    long trames = 0;      ///< frames sent (each with one status byte)
    long reponses = 0;    ///< frames answered by a command byte in time
    long manquantes = 0;  ///< frames with no reply in time (the wheels then stop)
    long inattendues = 0; ///< command bytes beyond one per status byte
    long invalides = 0;   ///< received bytes that are not commands
    long contacts = 0;    ///< bumper contacts reported
    bool partie = false;  ///< the run ended because the other end went away
    Pose finale;
    double batterie = 0.0;
};

/** The summary line kiv-robot prints at the end of a run. */
std::ostream& operator<<(std::ostream& flux, const BilanSession& bilan);

/**
 * The first line of the CSV trace, written (and flushed, as every line) when
 * the run starts. A line per frame: simulated time,
 * the true position when the frame left and the heading once the reply's turn
 * is made, the status and battery bytes, the command bytes received (hex), the
 * wheel codes then in force, the ten bytes sent (hex).
 */
inline constexpr const char* EnteteTrace =
    "frame,time_s,x_cm,y_cm,heading_deg,status,battery,received,left,right,sent\n";

/**
 * The robot's loop on its line: send the frame's first nine bytes together
 * (the four timestamps and the status byte), wait for the one command byte
 * that answers the status byte, apply it, send the battery byte, move one
 * period, and (unless `rapide`) sleep until the next period is due. Without
 * a reply in time the wheels stop and the battery byte still completes the
 * frame. Bytes that come between two frames (the operator's neutral command)
 * are applied and counted as unexpected. Ends when the stop flag is raised
 * or the other end goes away.
 */
BilanSession executerSession(RobotVirtuel& robot, Liaison& liaison, const OptionsSession& options,
                             const std::atomic<bool>& arret);

} // namespace robotsim
