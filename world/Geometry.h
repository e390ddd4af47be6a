#pragma once

#include <cstddef>

/** Size of the field, its cells and the eight moves of the planner. */
namespace geo {

/** A cell is 25 cm wide; map pixels are centimetres. */
inline constexpr int CellSize = 25;
/** The field is 20 x 20 cells. */
inline constexpr int Cells = 20;
/** The grid adds a one-cell border all around the field. */
inline constexpr int GridSize = Cells + 2;
/** Cells of the field: the longest route holds fewer. */
inline constexpr std::size_t CellulesTerrain = static_cast<std::size_t>(Cells) * Cells;
/** Map side in pixels (the view itself is one pixel wider). */
inline constexpr int MapSize = Cells * CellSize;

/** Cost of a straight and of a diagonal step. */
inline constexpr int StraightCost = 10;
inline constexpr int DiagonalCost = 14;

/** One move: code k (1 .. 8, clockwise from up) steps by (dx, dy) at cost. */
struct Step {
    int dx;
    int dy;
    int cost;
};

/** Moves indexed by direction code; entry 0 is "no direction". */
inline constexpr Step Steps[9] = {
    {0, 0, 0},  {0, -1, 10}, {1, -1, 14}, {1, 0, 10},   {1, 1, 14},
    {0, 1, 10}, {-1, 1, 14}, {-1, 0, 10}, {-1, -1, 14},
};

inline constexpr bool estDiagonale(int code)
{
    return code % 2 == 0 && code != 0;
}

/** Cell index (0 .. 19 inside the field) of a position in cm, p >= 0. */
inline constexpr int celluleDe(int p)
{
    return p / CellSize;
}

/** Top-left pixel of the cell that holds p (p >= 0). */
inline constexpr int coinDe(int p)
{
    return p - p % CellSize;
}

/** Centre pixel of the cell that holds p (p >= 0). */
inline constexpr int centreDe(int p)
{
    return coinDe(p) + 12;
}

} // namespace geo

/** An integer point or cell (x to the right, y downwards). */
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};
