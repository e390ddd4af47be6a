#pragma once

#include <atomic>
#include <chrono>

/**
 * The time the world threads wait by: the virtual robot's step between two
 * cells. The program uses the machine's steady clock; tests install a
 * ManualWorldClock and step the virtual robot by moving its time.
 */
class WorldClock {
public:
    virtual ~WorldClock() = default;

    /** The time now, from an origin of the clock's own. */
    virtual std::chrono::milliseconds now() const = 0;

    /**
     * Blocks until the world-change counter differs from `seen` or the clock
     * reaches `until`, whichever comes first (it may also return early).
     */
    virtual void waitChangeOrTime(unsigned seen, std::chrono::milliseconds until) = 0;
};

/** The installed clock: the steady clock unless a test installed another. */
WorldClock& worldClock();

/**
 * Installs `clock` (not owned; it must outlive every wait on it), or the
 * steady clock when null. Install it while no world thread runs.
 */
void setWorldClock(WorldClock* clock);

/**
 * Time that stands still until advance() moves it. Moving it counts as a
 * world change, so the threads asleep on it wake and look at the time.
 */
class ManualWorldClock : public WorldClock {
public:
    std::chrono::milliseconds now() const override;
    void waitChangeOrTime(unsigned seen, std::chrono::milliseconds until) override;

    /** Moves the time forward by `duree` and wakes the sleepers. */
    void advance(std::chrono::milliseconds duree);

private:
    std::atomic<long long> m_ms{0};
};
