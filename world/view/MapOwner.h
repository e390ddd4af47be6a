#pragma once

#include "world/MapEditing.h"

/**
 * What the map window needs of the control view that holds it: the radio
 * group that says what a click places, and the boxes it keeps up to date.
 * Every call comes on the user-interface thread.
 */
class MapOwner {
public:
    virtual ~MapOwner() = default;

    virtual Selection selection() const = 0;
    virtual void ShowDestination() = 0;
    virtual void ShowRobotPosition() = 0;
    virtual void ShowWheelSpeeds() = 0;
    /**
     * A left click at map pixel (x, y), offered before it edits anything:
     * true when the owner took it for itself (a point designated for a
     * tool), and the map then does nothing with it.
     */
    virtual bool prendreClic(int /*x*/, int /*y*/) { return false; }
};
