#pragma once

/** The link's port number (COM1 .. COM4) and baud rate, as the port settings give them. */
struct PortSettings {
    int port = 1;
    int baud = 1200;
};

/** The settings file of the link, in the working directory. */
inline constexpr const char* FichierScom = "scom.ini";
