#pragma once

#include <array>
#include <cstddef>

/**
 * The robot's last positions (cm), oldest first, for its trail on the map.
 * A position equal to the last one is not kept again; beyond the capacity
 * the oldest is dropped. Fixed storage, no allocation. Plain C++.
 */
class TraceRobot {
public:
    static constexpr std::size_t Capacite = 500;

    struct Position {
        int x = 0;
        int y = 0;
        friend bool operator==(const Position&, const Position&) = default;
    };

    /** Keeps `p` unless the robot has not moved since the last one. */
    void ajouter(Position p);
    void vider() { m_nombre = 0; }

    std::size_t taille() const { return m_nombre; }
    /** The k-th kept position, 0 the oldest. */
    Position operator[](std::size_t k) const { return m_positions[(m_debut + k) % Capacite]; }

private:
    std::array<Position, Capacite> m_positions{};
    std::size_t m_debut = 0;
    std::size_t m_nombre = 0;
};
