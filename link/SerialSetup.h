#pragma once

#include "link/RobotLink.h"

#include <QString>

#include <optional>
#include <string>

class QSerialPort;

/** The line settings Configure is asked for. */
struct DefinitionLigne {
    int baud = 0;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
};

/** The first configuration step that failed: its name and the system's text. */
struct EchecEtape {
    const char* etape;
    std::string texteSysteme;
};

/** What setting up an open port gave. */
struct ResultatReglage {
    std::optional<EchecEtape> echec;
    /** False when the device has no modem lines (a pseudo-terminal): RTS cannot be raised. */
    bool lignesModem = true;
    /** Why RTS could not be raised, when it could not. */
    std::string texteModem;
};

/**
 * Sets up an open port in the order of the engine's configuration steps,
 * each under its name: "SetCommTimeouts()" (the port's read buffer),
 * "SetCommMask()" (the event mask), "GetCommState()" (the current line
 * settings into `bloc`), "BuildCommDCB()" (RTS on and the requested
 * settings into `bloc`), "SetCommState()" (the settings applied, no flow
 * control, RTS raised). Stops at the first step that fails. A device
 * without modem lines is no failure.
 */
ResultatReglage reglerLigne(QSerialPort& port, const DefinitionLigne& definition,
                            unsigned eventMask, LineSettings& bloc);

/**
 * Why COM `port` (`device`) could not be opened, for the operator (French):
 * held by another program, access refused, missing, or the system's text.
 */
std::string texteEchecOuverture(int port, const QString& device, const QSerialPort& echoue);
