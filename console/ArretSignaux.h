#pragma once

/**
 * SIGTERM, SIGINT and SIGHUP end the console as "Quitter" does: the event
 * loop ends (nested ones too), then the windows, the robot's link (its port
 * closed, out of exclusive mode, its lock file removed) and the session log
 * (its closing event written) close as usual. The handler only writes a byte
 * into a pipe the event loop watches; a second signal while the console
 * closes ends it at once. Call once, after the QApplication is made.
 */
void arreterSurSignaux();
