#pragma once

#include "link/SerialShared.h"

#include <QString>

#include <future>
#include <memory>

class QSerialPort;
class QThread;

/** What StartMonitor hands to the monitor thread. */
struct DepartMoniteur {
    std::shared_ptr<EtatLien> etat;
    /** The open port; it belongs to the monitor thread once moved there. */
    std::unique_ptr<QSerialPort> port;
    QString device;
    int portNumber = 0;
    unsigned eventMask = 0;
    /** The monitor publishes its thread here, so the port can be moved to it ... */
    std::promise<QThread*> ici;
    /** ... and waits for this before it touches the port. */
    std::future<void> feu;
};

/**
 * The body of the monitor thread: runs the port's event loop until the
 * shutdown or the loss of the device. Each line event hands the owner the
 * notifications of the event mask and then every received byte, one at a
 * time, waiting until each is handled; queued bytes are written first in
 * first out, right after the hand-over during which they were queued. The
 * port is closed on this thread before it ends. Nothing thrown leaves it.
 */
void MonitorThread(DepartMoniteur& depart);
