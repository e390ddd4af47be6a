#pragma once

/** The link's port number (COM1 .. COM4) and baud rate, as the port settings give them. */
struct PortSettings {
    int port = 1;
    int baud = 1200;
};
