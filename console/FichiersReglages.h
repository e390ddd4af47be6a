#pragma once

#include <string>
#include <vector>

/**
 * The files Qt's settings store reads for the program (QSettings on Linux:
 * the program's and its organisation's files in the user's configuration
 * folder, then in the system's), most specific first. Computed without the
 * store: making a QSettings reads them at once.
 */
std::vector<std::string> fichiersReglages();

/**
 * Empty when every file of `fichiers` is a regular file or missing; else
 * the operator's message for the first one that is not (a FIFO would hold
 * the console in Qt's reader before any window, a device feed it forever).
 */
std::string refusFichiersReglages(const std::vector<std::string>& fichiers);
