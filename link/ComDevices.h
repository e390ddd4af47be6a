#pragma once

#include <QString>

/**
 * The devices that stand for the four COM ports of the port settings.
 *
 * COMn (n = 1 .. 4) is, in this order of precedence: the device named by the
 * environment variable KIV_COMn (e.g. KIV_COM1=/dev/ttyUSB0 or a
 * pseudo-terminal), the device the operator assigned to it in the port
 * dialog (kept in the settings store, key "Link/COMn"), or /dev/ttyS<n-1>.
 */
namespace comdevices {

/** First and last COM port number. */
inline constexpr int PremierPort = 1;
inline constexpr int DernierPort = 4;

/** The device COM `port` stands for; empty when `port` is outside 1 .. 4. */
QString comDevice(int port);

/** The device assigned to COM `port` in the settings store; empty when none. */
QString assignedDevice(int port);

/** Assigns `device` to COM `port` in the settings store; an empty device removes the assignment. */
void assignDevice(int port, const QString& device);

/** The device named by KIV_COMn for COM `port`; empty when the variable is unset or empty. */
QString environmentDevice(int port);

/** /dev/ttyS<port - 1>, the platform's own name for COM `port`. */
QString defaultDevice(int port);

} // namespace comdevices
