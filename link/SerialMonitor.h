#pragma once

#include "link/RobotLink.h"
#include "link/SerialShared.h"

#include <QString>

#include <future>
#include <memory>

class QSerialPort;
class QThread;

/** What StartMonitor hands to the monitor thread. */
struct DepartMoniteur {
    std::shared_ptr<PartageLien> etat;
    /** The open port; it belongs to the monitor thread once moved there. */
    std::unique_ptr<QSerialPort> port;
    QString device;
    int portNumber = 0;
    unsigned eventMask = 0;
    /** Run on every byte read, on the monitor thread (empty functions: none). */
    ReflexeLien reflexe;
    /** The monitor publishes its thread here, so the port can be moved to it ... */
    std::promise<QThread*> ici;
    /** ... and waits for this before it touches the port. */
    std::future<void> feu;
};

/**
 * The body of the monitor thread: runs the port's event loop until the
 * shutdown or the loss of the device. Each line event queues, with the time
 * it was read, the notifications of the event mask and then the bytes
 * received, for the courier to hand to the owner on its thread. With a
 * reflex, each byte goes through it as it is read and its answer is written
 * at once, noted after the byte that called for it; the monitor
 * never waits for the owner. Queued bytes are written first in first out as
 * soon as the owner queues them, and each write is noted in the same queue
 * with its time. The port is closed on this thread before it ends. Nothing
 * thrown leaves it.
 */
void MonitorThread(DepartMoniteur& depart);
