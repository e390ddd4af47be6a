#pragma once

#include "link/RobotLink.h"

#include <QString>

#include <memory>
#include <string>
#include <thread>

class CourrierLien;
class QSerialPort;
struct PartageLien;

/**
 * The serial engine: one COM port (the device comdevices::comDevice gives)
 * and its monitor thread.
 *
 * The monitor thread owns the port once started and runs its event loop.
 * Each line event hands the owner the notifications its event mask asks for
 * (WM_SERIAL_CTS first), then every received byte with the time it was read,
 * one at a time, on the owner's thread (the thread that called Configure,
 * which must run a Qt event loop). The monitor never waits for the owner:
 * what arrives while the owner is busy is read with its own time and handed
 * over when the owner is free, a few milliseconds' worth in each turn of
 * its event loop. What waits for the owner is bounded (capaciteRemise
 * received bytes): beyond it the oldest is dropped and the owner told how
 * many bytes went (surDebordement), in their place; a reflex has seen and
 * answered every byte as it was read all the same. Queued writes leave
 * first in first out, at once. Failed system calls
 * are reported in a message box on the owner's thread, outside any hand-over,
 * while the link goes on; a device that goes away is reported once, told to
 * the owner after the bytes read before it, and ends the monitor.
 *
 * All calls, destruction included, come from the owner's thread. Destroying
 * the engine stops the monitor and waits for it, even from inside the
 * owner's byte handler.
 */
class SerialPort : public RobotLink {
public:
    SerialPort();
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool Configure(RobotLinkOwner* owner, int port, int baud, char parity, int dataBits,
                   int stopBits, unsigned eventMask, int bufferSize) override;
    bool StartMonitor() override;
    bool SuspendMonitor() override;
    bool ResumeMonitor() override;
    void QueueWrite(const char* octets) override;
    bool threadAlive() const override;
    bool installerReflexe(const ReflexeLien& reflexe) override;

    LineSettings lineSettings() const override { return m_dcb; }
    unsigned eventMask() const override { return m_eventMask; }
    int bufferSize() const override { return m_bufferSize; }
    std::string openError() const override { return m_openError; }
    std::string lossReason() const override;

    /**
     * At most `octets` received bytes wait for the owner (FileRemise's
     * default, 256 KiB, unless set); takes effect at once.
     */
    void reglerCapaciteRemise(std::size_t octets);
    std::size_t capaciteRemise() const;

    /** The device the last Configure opened, or tried to. */
    QString device() const { return m_device; }

private:
    /** Tells the monitor to stop and waits for its thread to end. */
    void arreterMoniteur();
    /** Shows the report of a failed step of Configure (owner's thread). */
    void ReportError(const char* step, const std::string& systemText) const;

    std::shared_ptr<PartageLien> m_etat;
    std::thread m_monitor;
    /** The open port until the monitor takes it. */
    std::unique_ptr<QSerialPort> m_port;
    CourrierLien* m_courrier = nullptr;
    LineSettings m_dcb;
    unsigned m_eventMask = 0;
    int m_bufferSize = 0;
    int m_portNumber = 0;
    QString m_device;
    std::string m_openError;
    /** Handed to the next monitor started. */
    ReflexeLien m_reflexe;
};

/** A new, unconfigured serial engine: the factory the console installs. */
std::unique_ptr<RobotLink> makeSerialPort();
