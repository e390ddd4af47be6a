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
 * Writes the settings file at `chemin` anew. The bytes go to a temporary
 * file in the same folder, which then replaces the file in one step: a write
 * that fails (disk full, folder not writable) leaves the previous file whole
 * and no temporary file behind. Returns false on failure.
 */
bool ecrireScom(const PortSettings& reglages, const std::string& chemin = FichierScom);
