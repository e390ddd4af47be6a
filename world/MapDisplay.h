#pragma once

#include <atomic>

/**
 * What the world and the navigation need of the map window. The window
 * implements it; the world library knows nothing of the toolkit. Both calls
 * may come from any thread and must never wait for the user-interface thread.
 */
class MapDisplay {
public:
    virtual ~MapDisplay() = default;

    /** Repaints the whole map from the world state. */
    virtual void Redraw() = 0;

    /** Refreshes the wheel-speed boxes of the control view. */
    virtual void ShowWheelSpeeds() = 0;
};

/** The one map window, or null before it exists (then display calls do nothing). */
extern std::atomic<MapDisplay*> g_mapView;

/** Redraw through g_mapView when there is a map window. */
void RedrawMap();

/** ShowWheelSpeeds through g_mapView when there is a map window. */
void ShowWheelSpeedsOnMap();
