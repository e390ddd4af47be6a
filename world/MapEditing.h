#pragma once

/**
 * What the operator's mouse does to the world on the map, without the
 * toolkit: the map window translates its events into these calls and then
 * refreshes what the result asks for, in the order given.
 */

/** The checked button of the control view's "Sélection" group. */
enum class Selection { None, Destination, Obstacle, Robot, Bandit };

/** Button and key flags of a mouse move (the values of the original events). */
enum MouseFlag : unsigned {
    MouseLeft = 0x01,
    MouseRight = 0x02,
    MouseShift = 0x04,
    MouseControl = 0x08,
    MouseMiddle = 0x10,
};

/** What the map window must refresh after an edit, in this order. */
struct MapEdit {
    bool showDestination = false;
    bool showRobotPosition = false;
    bool redraw = false;
};

/**
 * Brings a point of the 501 x 501 window into the field: the last pixel row
 * and column (500) count as 499. Points outside the window (a drag that left
 * it) are refused: returns false and nothing must be edited.
 */
bool ClampMapPoint(int& x, int& y);

/** Left button pressed at (x, y). */
MapEdit OnMapLeftButtonDown(Selection selection, int x, int y);

/** Right button pressed at (x, y): erases an operator obstacle in "Obstacle" mode. */
MapEdit OnMapRightButtonDown(Selection selection, int x, int y);

/** Mouse moved to (x, y) with `flags` (MouseFlag bits) held. */
MapEdit OnMapMouseMove(Selection selection, unsigned flags, int x, int y);
