#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace journal {

/**
 * The log folder: file names made of the session's local date and time
 * ("kiv-2026-12-07_20-38-36.kivlog", "_2", "_3" ... when a second holds
 * several sessions), so that names sort oldest first; and the size cap.
 * Only files named like logs are ever listed or deleted.
 */
namespace dossier {

/** The name of the `rang`-th candidate (1 for the first) for a session started at `debutUnixUs`. */
std::string nomJournal(std::int64_t debutUnixUs, int rang = 1);

/** True for a file name the recorder makes. */
bool estNomJournal(const std::string& nom);

/** The logs of `dossier`, oldest first; none when the folder cannot be read. */
std::vector<std::filesystem::path> journaux(const std::filesystem::path& dossier);

/**
 * Deletes logs oldest first, never `garde`, while the logs of `dossier`
 * take more than `tailleMax` bytes. Returns how many were deleted.
 */
int limiter(const std::filesystem::path& dossier, std::uint64_t tailleMax,
            const std::filesystem::path& garde = {});

} // namespace dossier
} // namespace journal
