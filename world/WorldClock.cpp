#include "world/WorldClock.h"

#include "world/WorldChange.h"

namespace {

/** The machine's steady clock; a wait ends at the deadline or at a change. */
class HorlogeStable : public WorldClock {
public:
    std::chrono::milliseconds now() const override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void waitChangeOrTime(unsigned seen, std::chrono::milliseconds until) override
    {
        // One millisecond more: now() truncates, the deadline must be passed.
        waitWorldChangeFor(seen, until - now() + std::chrono::milliseconds(1));
    }
};

HorlogeStable g_horlogeStable;
/** The test's clock, or null for the steady clock (see ResetWorld). */
std::atomic<WorldClock*> g_horloge;

} // namespace

WorldClock& worldClock()
{
    WorldClock* horloge = g_horloge.load(std::memory_order_acquire);
    return horloge != nullptr ? *horloge : g_horlogeStable;
}

void setWorldClock(WorldClock* clock)
{
    g_horloge.store(clock, std::memory_order_release);
}

std::chrono::milliseconds ManualWorldClock::now() const
{
    return std::chrono::milliseconds(m_ms.load(std::memory_order_acquire));
}

void ManualWorldClock::waitChangeOrTime(unsigned seen, std::chrono::milliseconds /*until*/)
{
    // Time moves only through advance(), which is a change.
    waitWorldChange(seen);
}

void ManualWorldClock::advance(std::chrono::milliseconds duree)
{
    m_ms.fetch_add(duree.count(), std::memory_order_acq_rel);
    notifyWorldChange();
}
