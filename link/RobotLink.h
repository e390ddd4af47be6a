#pragma once

#include "link/recorder/FormatJournal.h"
#include "link/settings/PortSettings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

/** Notifications the link sends its owner (values of the original platform's window messages). */
inline constexpr unsigned WM_SERIAL_BREAK = 0x401;
inline constexpr unsigned WM_SERIAL_CTS = 0x402;
inline constexpr unsigned WM_SERIAL_ERROR = 0x404;
inline constexpr unsigned WM_SERIAL_RING = 0x405;
inline constexpr unsigned WM_SERIAL_RXCHAR = 0x407;
inline constexpr unsigned WM_SERIAL_EVENTCHAR = 0x408;

/**
 * Receives what the link reads, one notification at a time and in order, on
 * the owner's (user-interface) thread: each notification is handled before
 * the next one is handed over. What arrived while the owner was busy is
 * handed over a byte at a time, a few milliseconds' worth in each turn of
 * the owner's event loop; what waits is bounded, and the oldest goes first
 * (surDebordement).
 */
class RobotLinkOwner {
public:
    virtual ~RobotLinkOwner() = default;
    /** One received byte (0 .. 255) from COM `port` (WM_SERIAL_RXCHAR). */
    virtual void OnRobotByte(int octet, int port) = 0;
    /**
     * The same, with the time the byte was read from the line, in
     * microseconds of the steady clock.
     */
    virtual void OnRobotByteAt(int octet, int port, std::int64_t /*arrivee*/)
    {
        OnRobotByte(octet, port);
    }
    /**
     * Bytes were written to the line at `instant` (same clock): the
     * silences of the line are measured from the later of the last byte
     * received and the last byte written.
     */
    virtual void OnLinkWrite(std::int64_t /*instant*/) {}
    /**
     * The device went away (unplugged, the other end closed): `raison` says
     * why, in French. Comes after every byte read before; the monitor has
     * ended.
     */
    virtual void OnLinkLost(const std::string& /*raison*/) {}
    /**
     * A line event other than a byte: WM_SERIAL_CTS, WM_SERIAL_EVENTCHAR,
     * WM_SERIAL_BREAK, WM_SERIAL_ERROR or WM_SERIAL_RING, from COM `port`.
     * Sent for every line event whose flag is in the event mask, before the
     * bytes of that event. Ignored unless the owner cares.
     */
    virtual void OnLinkEvent(unsigned /*message*/, int /*port*/) {}
    /**
     * The byte stream starts again from a fresh opening of the robot's
     * port: frames are counted from the next byte.
     */
    virtual void OnLinkRestart() {}
    /**
     * The engine's reflex (ReflexeLien) answered the bytes handed over just
     * before: `octets` left the line at `instant`. Comes after the byte
     * that called for it and before the next one.
     */
    virtual void OnLinkAnswered(const std::string& /*octets*/, std::int64_t /*instant*/) {}
    /**
     * `octets` received bytes, the oldest of what waited for this thread,
     * were dropped because more waited than the link holds: told in their
     * place, between the bytes handed over before them and those after.
     * The engine's reflex saw them all (and answered them) as they were read.
     */
    virtual void surDebordement(std::uint64_t /*octets*/) {}
};

/**
 * Work an engine may do itself, on its own thread, with each received byte
 * as it is read, before the owner hears of it: an answer that must not wait
 * for the owner's thread (the command byte that answers a status byte)
 * leaves the line at once. Both functions are called on the engine's thread
 * only, one call at a time, the bytes in the order they came.
 */
struct ReflexeLien {
    /**
     * One received byte (0 .. 255), read at `arrivee` (microseconds of the
     * steady clock); appends to `reponse` the bytes to write now.
     */
    std::function<void(int octet, std::int64_t arrivee, std::string& reponse)> recevoir;
    /** Bytes left the line at `instant` (the reflex's answers and queued writes alike). */
    std::function<void(std::int64_t instant)> emission;
};

/** Line events the owner wants to hear of (EV_ flags of the original platform). */
enum LinkEvent : unsigned {
    LinkRxChar = 0x0001,
    LinkRxFlag = 0x0002,
    LinkTxEmpty = 0x0004,
    LinkCts = 0x0008,
    LinkDsr = 0x0010,
    LinkRlsd = 0x0020,
    LinkBreak = 0x0040,
    LinkErr = 0x0080,
    LinkRing = 0x0100,
    /** Every flag an event mask may hold. */
    LinkAllEvents = 0x1FFF,
};

/** The line settings of an open port (the device control block of the original platform). */
struct LineSettings {
    int baud = 0;
    /** 'N', 'O', 'E', 'M' or 'S'. */
    char parity = 'N';
    int dataBits = 0;
    int stopBits = 0;
    /** RTS raised while the port is open. */
    bool requestToSend = false;
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
     * the device cannot be opened (openError() then says why).
     */
    virtual bool Configure(RobotLinkOwner* owner, int port, int baud, char parity, int dataBits,
                           int stopBits, unsigned eventMask, int bufferSize) = 0;
    /** Starts the monitor thread; false when it could not be started. */
    virtual bool StartMonitor() = 0;
    /** Stops handing bytes over: they wait for ResumeMonitor (within the engine's cap). */
    virtual bool SuspendMonitor() = 0;
    /** Hands over again what a suspended monitor kept. */
    virtual bool ResumeMonitor() { return true; }
    /** Queues a NUL-terminated byte string for the monitor to write. */
    virtual void QueueWrite(const char* octets) = 0;
    /** True while the monitor thread runs its loop. */
    virtual bool threadAlive() const = 0;
    /**
     * Has the engine run `reflexe` on every byte it reads from the next
     * StartMonitor on, each answer noted to the owner (OnLinkAnswered) after
     * its byte. False: this link runs no reflex (no device, a test's); the
     * owner then answers itself.
     */
    virtual bool installerReflexe(const ReflexeLien& /*reflexe*/) { return false; }

    /** The line settings the last Configure applied. */
    virtual LineSettings lineSettings() const { return {}; }
    /** The event mask the last Configure was given. */
    virtual unsigned eventMask() const { return 0; }
    /** The output buffer's size in bytes: a queued text keeps at most this less one byte. */
    virtual int bufferSize() const { return 0; }
    /**
     * Why the last Configure could not open the device, naming it (French,
     * for the operator); empty after a successful opening.
     */
    virtual std::string openError() const { return {}; }
    /** Notes an operator or navigation event in the session's log, when the link keeps one. */
    virtual void noteEvent(const std::string& /*texte*/) {}
    /** Notes a link event (lost, back) in the session's log, when the link keeps one. */
    virtual void noteLinkEvent(const std::string& /*texte*/) {}
    /** Why the device went away (French); empty while it is there or was closed normally. */
    virtual std::string lossReason() const { return {}; }
    /** Notes a destination placed at (x, y) cm in the session's log, when the link keeps one. */
    virtual void noteDestination(int /*x*/, int /*y*/) {}
    /** Notes a map edit in the session's log, when the link keeps one. */
    virtual void noteMapEdit(const journal::Edition& /*edition*/) {}
    /** Notes a calibration point kept in the session's log, when the link keeps one. */
    virtual void noteCalibration(const journal::PointCalibre& /*point*/) {}
    /** Notes the whole field, replaced at once, in the session's log, when the link keeps one. */
    virtual void noteTerrain(const journal::EtatTerrain& /*terrain*/) {}
    /**
     * Notes an edit of the calibration list ("Retirer", "Vider") in the
     * session's log, when the link keeps one.
     */
    virtual void noteCalibrationEdit(const journal::EditionListe& /*edition*/) {}
    /**
     * Notes where the filter put the robot after a frame's estimate, in the
     * session's log, when the link keeps one; called on the thread that
     * handled the frame.
     */
    virtual void notePosition(const journal::PositionFiltree& /*position*/) {}
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
