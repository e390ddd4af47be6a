#pragma once

#include <semaphore>

/**
 * A value that threads share, beside the lock that guards it: read and
 * written whole, never half-made. The lock is a leaf: it is held only for a
 * copy or for the function given to `modifier`, which takes no other lock,
 * so no two guards' locks ever nest.
 */
template <class T>
class Garde {
public:
    /** A copy of the whole value. */
    T lire() const
    {
        m_verrou.acquire();
        T copie = m_valeur;
        m_verrou.release();
        return copie;
    }

    /** Replaces the whole value. */
    void ecrire(const T& valeur)
    {
        m_verrou.acquire();
        m_valeur = valeur;
        m_verrou.release();
    }

    /** Runs `f(const T&)` under the lock and returns what it returns: a read of a value too large
     * to copy. */
    template <class F>
    auto consulter(F&& f) const
    {
        const Tenue tenue(m_verrou);
        return f(static_cast<const T&>(m_valeur));
    }

    /** True when no one holds the lock (tests check that nothing is left held). */
    bool libre() const
    {
        if (!m_verrou.try_acquire()) {
            return false;
        }
        m_verrou.release();
        return true;
    }

    /**
     * Runs `f(T&)` under the lock and returns what it returns: a change that
     * reads what it changes. `f` takes no lock and throws nothing.
     */
    template <class F>
    auto modifier(F&& f)
    {
        const Tenue tenue(m_verrou);
        return f(m_valeur);
    }

private:
    /** Holds the lock for a scope: released however `f` leaves. */
    class Tenue {
    public:
        explicit Tenue(std::binary_semaphore& verrou)
            : m_tenu(verrou)
        {
            m_tenu.acquire();
        }
        ~Tenue() { m_tenu.release(); }
        Tenue(const Tenue&) = delete;
        Tenue& operator=(const Tenue&) = delete;

    private:
        std::binary_semaphore& m_tenu;
    };

    mutable std::binary_semaphore m_verrou{1};
    T m_valeur{};
};
