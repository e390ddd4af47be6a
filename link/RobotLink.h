#pragma once

#include "link/settings/PortSettings.h"

#include <functional>
#include <memory>

/**
 * Receives the bytes the link reads, one at a time and in order, on the
 * owner's (user-interface) thread: the engine hands each byte over and waits
 * until it has been handled.
 */
class RobotLinkOwner {
public:
    virtual ~RobotLinkOwner() = default;
    /** One received byte (0 .. 255) from COM `port`. */
    virtual void OnRobotByte(int octet, int port) = 0;
};

/** Line events the owner wants to hear of (EV_ flags of the original platform). */
enum LinkEvent : unsigned {
    LinkRxChar = 0x0001,
    LinkCts = 0x0008,
};

/**
 * The serial link to the robot as the control view drives it: configure a
 * COM port, run the monitor that hands every received byte to the owner in
 * order, queue bytes to send. One engine per opening; reopening suspends the
 * monitor, destroys the engine and builds a new one.
 */
class RobotLink {
public:
    virtual ~RobotLink() = default;

    /**
     * Opens COM `port` (1 .. 4) with the given line settings. False only when
     * the device cannot be opened.
     */
    virtual bool Configure(RobotLinkOwner* owner, int port, int baud, char parity, int dataBits,
                           int stopBits, unsigned eventMask, int bufferSize) = 0;
    /** Starts the monitor thread; false when it could not be started. */
    virtual bool StartMonitor() = 0;
    virtual bool SuspendMonitor() = 0;
    /** Queues a NUL-terminated byte string for the monitor to write. */
    virtual void QueueWrite(const char* octets) = 0;
    /** True while the monitor thread runs its loop. */
    virtual bool threadAlive() const = 0;
};

/** Makes the engine for an opening; the console's default gives UnavailableLink. */
using RobotLinkFactory = std::function<std::unique_ptr<RobotLink>()>;

/**
 * The engine used until a serial engine is installed: no device can be
 * opened, so the console runs without a link (and says so).
 */
class UnavailableLink : public RobotLink {
public:
    bool Configure(RobotLinkOwner*, int, int, char, int, int, unsigned, int) override
    {
        return false;
    }
    bool StartMonitor() override { return false; }
    bool SuspendMonitor() override { return true; }
    void QueueWrite(const char*) override {}
    bool threadAlive() const override { return false; }
};
