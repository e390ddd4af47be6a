#pragma once

#include <cstdint>

namespace robotsim {

/** Where the body touches something: the nearest point of the obstacle, cm. */
struct Contact {
    bool touche = false;
    double x = 0.0;
    double y = 0.0;
};

/**
 * The physical field: its four sides and the obstacle cells (hidden or
 * painted alike). Answers whether the round body at a given centre overlaps
 * any of them, and where.
 */
class TerrainPhysique {
public:
    /** `obstacles[r][c]` non-zero marks the cell in column c, row r. */
    explicit TerrainPhysique(const std::uint8_t (&obstacles)[20][20]);

    /** The nearest point the body (radius Rayon) centred at (x, y) overlaps, if any. */
    Contact contact(double x, double y) const;

    /**
     * The body centred at (x, y) keeps clear of every side and obstacle:
     * it neither overlaps nor touches one (a body tangent to a side is not
     * clear).
     */
    bool degage(double x, double y) const;

    bool occupee(int c, int r) const { return m_obstacle[r][c] != 0; }

private:
    std::uint8_t m_obstacle[20][20] = {};
};

} // namespace robotsim
