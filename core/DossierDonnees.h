#pragma once

#include <filesystem>
#include <string>

/**
 * Where the programs find their bundled data (the beacon network, its
 * training set, the scenarios), wherever they are installed: the folder
 * share/kiv-zul beside the programs' bin folder, else the sources' data
 * folder of the build that made them.
 */
namespace donnees {

/** The folder an installed program's data lives in, relative to `executable`. */
std::filesystem::path dossierInstalle(const std::filesystem::path& executable);

/** The running program's file (/proc/self/exe); empty when unknown. */
std::filesystem::path executableCourant();

/**
 * The path of bundled file `nom`: in the installed folder when it holds it,
 * else in the sources' data folder; the installed path when neither does
 * (so that the error names where it was looked for).
 */
std::string chemin(const std::string& nom);

} // namespace donnees
