#pragma once

#include <semaphore>

/**
 * The wheels' lock: a binary semaphore, taken with an infinite wait and
 * released by the thread that took it. The guards of the world object's
 * parts (Garde.h) are leaves, taken under it.
 */
extern std::binary_semaphore g_wheelLock; ///< wheel codes and the turn request

/** Holds the wheels' lock for the lifetime of a scope. */
class VerrouMonde {
public:
    explicit VerrouMonde(std::binary_semaphore& verrou)
        : m_verrou(verrou)
    {
        m_verrou.acquire();
    }
    ~VerrouMonde() { m_verrou.release(); }
    VerrouMonde(const VerrouMonde&) = delete;
    VerrouMonde& operator=(const VerrouMonde&) = delete;

private:
    std::binary_semaphore& m_verrou;
};
