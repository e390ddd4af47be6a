#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace journal {

/**
 * The log folder: file names made of the local date and time a file was
 * started ("kiv-2026-12-07_20-38-36.kivlog", "_2", "_3" ... when a second
 * holds several), so that names sort oldest first; the folder's privacy;
 * and the size cap. Only files named like logs are ever listed or deleted.
 */
namespace dossier {

/** The name of the `rang`-th candidate (1 for the first) for a file started at `debutUnixUs`. */
std::string nomJournal(std::int64_t debutUnixUs, int rang = 1);

/** True for a file name the recorder makes. */
bool estNomJournal(const std::string& nom);

/**
 * True when the log named `a` was started before the one named `b`: by
 * their time, then their rank ("_2" before "_10").
 */
bool avant(const std::string& a, const std::string& b);

/**
 * The `essai`-th candidate (1 for the first) for the file that continues
 * the log named `courant`, started at `debutUnixUs`: always a name that
 * sorts after `courant`, even when the wall clock went back.
 */
std::string nomSuite(const std::string& courant, std::int64_t debutUnixUs, int essai);

/** The logs of `dossier`, oldest first; none when the folder cannot be read. */
std::vector<std::filesystem::path> journaux(const std::filesystem::path& dossier);

/** What limiter() did. */
struct BilanLimite {
    /** Logs deleted. */
    int supprimes = 0;
    /** Bytes the logs of the folder take afterwards, `garde` included. */
    std::uint64_t total = 0;
};

/**
 * Deletes logs oldest first, never `garde`, while the logs of `dossier`
 * take more than `tailleMax` bytes.
 */
BilanLimite limiter(const std::filesystem::path& dossier, std::uint64_t tailleMax,
                    const std::filesystem::path& garde = {});

/**
 * Makes the log folder private: creates what is missing of it (0700), and
 * takes the group's and others' rights off a folder of the user's own.
 * False, with the reason in `raison`, when it is no folder or cannot be made.
 */
bool preparer(const std::filesystem::path& dossier, std::string& raison);

} // namespace dossier
} // namespace journal
