#pragma once

#include "link/settings/PortSettings.h"

#include <string>

/**
 * The eight lines of the settings file for `reglages`, as bytes: CR LF line
 * ends, Windows-1252 ("séries" holds 0xE9), numbers in plain decimal
 * whatever the user's locale.
 */
std::string texteScom(const PortSettings& reglages);

/**
 * Writes the settings file at `chemin` anew, safely (EcritureSure): a write
 * that fails (disk full, folder not writable) leaves the previous file whole
 * and no temporary file behind, and returns false with the system's reason
 * in `raison` when given. A settings file that is a link of the user's own
 * is written to the file it points to, which keeps its mode.
 */
bool ecrireScom(const PortSettings& reglages, const std::string& chemin = FichierScom,
                std::string* raison = nullptr);
