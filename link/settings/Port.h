#pragma once

#include "link/settings/PortSettings.h"

#include <istream>
#include <string>

/**
 * The reader of the link's settings: the port number and the baud rate of
 * the settings file, for each opening of the link. One object per reading.
 */
class Port {
public:
    virtual ~Port() = default;

    /**
     * Reads the settings file at `chemin`. Its first line is not examined;
     * the line after "[OPTIONS]" gives the port, the line after "[Port#1]"
     * the baud rate. Without an "[OPTIONS]" line both fall back to port 1 at
     * 1200 baud. A file that cannot be opened is reported in a message box
     * and leaves the fields as they were. Returns 1.
     */
    int lire(const std::string& chemin = FichierScom);

    /** The same reading from a stream already open; returns 1. */
    int lire(std::istream& entree);

    /** The two fields, as one value. */
    PortSettings reglages() const { return {port, baud}; }

    int port = 1;
    int baud = 1200;
};
