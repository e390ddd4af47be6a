#pragma once

#include "world/Geometry.h"

#include <atomic>
#include <cstdint>

/**
 * A point shared without a lock, read and written whole: both coordinates
 * travel in one atomic word, so that a reader without the writer's lock
 * (the recorder's field, the position boxes) never takes the x of one
 * position with the y of another.
 */
class SharedPoint {
public:
    Point get() const
    {
        const std::uint64_t mot = m_mot.load(std::memory_order_relaxed);
        return {static_cast<std::int32_t>(static_cast<std::uint32_t>(mot >> 32)),
                static_cast<std::int32_t>(static_cast<std::uint32_t>(mot))};
    }
    void set(int px, int py)
    {
        m_mot.store(static_cast<std::uint64_t>(static_cast<std::uint32_t>(px)) << 32 |
                        static_cast<std::uint32_t>(py),
                    std::memory_order_relaxed);
    }

private:
    std::atomic<std::uint64_t> m_mot{0};
};
