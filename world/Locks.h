#pragma once

#include <semaphore>

/**
 * The two world locks: binary semaphores, taken with an infinite wait and
 * released by the thread that took them. They never nest; the guards of
 * the world object's parts (Garde.h) are leaves, taken under either.
 */
extern std::binary_semaphore g_robotLock; ///< robot position and cell
extern std::binary_semaphore g_wheelLock; ///< wheel codes and the turn request

/** Holds one world lock for the lifetime of a scope. */
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
