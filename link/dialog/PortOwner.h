#pragma once

/**
 * The window that owns the robot link, as the port dialog sees it: after
 * the operator confirms new settings, the dialog asks it to open the link
 * again with them. The control view implements it.
 */
class PortOwner {
public:
    virtual ~PortOwner() = default;
    /** Opens the link with the settings file's port and rate: 0 when open, 1 when it failed. */
    virtual int OpenRobotPort() = 0;
};
