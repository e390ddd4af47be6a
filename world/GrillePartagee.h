#pragma once

#include "world/Geometry.h"
#include "world/Relaxed.h"

#include <atomic>

/**
 * The field's grid, [row][column], cell (x, y) at [y + 1][x + 1]. Values:
 * 0 free, 1 border or operator obstacle, 2 safety margin, 3 obstacle found
 * by the robot's sensors. The border rows and columns always hold 1. The
 * cells are relaxed: every passability edit is followed by a fresh search,
 * so a reader needs each cell whole, not an order between them.
 */
class GrillePartagee {
public:
    using Ligne = Relaxed<int>[geo::GridSize];

    Ligne& operator[](int ligne) { return m_cellules[ligne]; }
    const Ligne& operator[](int ligne) const { return m_cellules[ligne]; }
    Ligne* begin() { return m_cellules; }
    Ligne* end() { return m_cellules + geo::GridSize; }

    /** 1 after a passability edit since the last search. */
    std::atomic<int> modifiee{0};

private:
    Ligne m_cellules[geo::GridSize];
};
