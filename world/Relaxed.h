#pragma once

#include <atomic>

/**
 * A value shared between threads without a lock, read and written with
 * relaxed atomic operations. The world grid and the marker positions are
 * plain ints that several threads touch at once; every passability edit is
 * followed by a fresh search, so no ordering is needed, only tear-free access
 * that the thread checker can see. On the machines we target a relaxed load
 * or store is an ordinary move.
 */
template <class T>
class Relaxed {
public:
    constexpr Relaxed(T v = T()) noexcept
        : m_value(v)
    {}
    Relaxed(const Relaxed& other) noexcept
        : m_value(other.load())
    {}
    Relaxed& operator=(const Relaxed& other) noexcept
    {
        store(other.load());
        return *this;
    }
    Relaxed& operator=(T v) noexcept
    {
        store(v);
        return *this;
    }
    operator T() const noexcept { return load(); }

    T load() const noexcept { return m_value.load(std::memory_order_relaxed); }
    void store(T v) noexcept { m_value.store(v, std::memory_order_relaxed); }

private:
    std::atomic<T> m_value;
};
