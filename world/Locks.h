#pragma once

#include <semaphore>

/**
 * The three world locks: binary semaphores, taken with an infinite wait and
 * released by the thread that took them. The only nesting allowed is
 * g_robotLock then g_pathLock.
 */
extern std::binary_semaphore g_robotLock; ///< robot position and cell
extern std::binary_semaphore g_pathLock;  ///< the planned path
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
