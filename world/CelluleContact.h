#pragma once

#include "world/Geometry.h"

#include <functional>

/**
 * Which cell a bumper touched, from where the robot truly is rather than
 * from the centre of its known cell.
 *
 * The robot's body is a disc; a bumper closes when it drives into what
 * lies at its radius, ahead (both bumpers) or on one side of its heading.
 * So each cell near the filtered position is scored by how far its nearest
 * point lies from the radius (in the position's spreads) and from the
 * bumper's sector (in the heading's); those out of reach or sector are
 * not candidates. The likeliest candidate is the one touched: a known
 * obstacle or the field's wall when it is as likely as any free cell (it
 * then explains the contact), a free cell otherwise. Cells the robot has
 * been inside are never candidates.
 *
 * Plain C++: the grid is read through a callback.
 */
namespace contact {

/** What a cell of the field is, for the bumper. */
enum class Nature {
    Libre,  ///< free or a margin: it may be the one touched
    Connue, ///< an obstacle already known (painted, loaded or marked)
    Exclue, ///< the robot has been inside it: it cannot be touched
};

/** Where the robot stands when it touches, and how sure that is. */
struct Situation {
    double x = 0.0;       ///< cm
    double y = 0.0;       ///< cm
    double cap = 0.0;     ///< radians, clockwise from the x axis (map y downwards)
    double rayon = 6.0;   ///< the body's radius, cm
    double marge = 4.0;   ///< the position's uncertainty added to the radius, cm
    double jeuCap = 0.35; ///< the heading's uncertainty, radians
};

/** What the contact touched. */
struct Touche {
    enum class Quoi {
        Rien,    ///< nothing in reach: the caller keeps its own rule
        Mur,     ///< the field's wall
        Cellule, ///< cell (x, y), 0-based
    };
    Quoi quoi = Quoi::Rien;
    int x = -1;
    int y = -1;
    bool connue = false; ///< the cell is an obstacle already known
};

/**
 * The cell (or wall) a contact touched. `bits`: bit 0 the right bumper,
 * bit 1 the left. `nature(x, y)` tells what cell (x, y) of the field is.
 */
Touche celluleTouchee(const Situation& s, int bits, const std::function<Nature(int, int)>& nature);

} // namespace contact
