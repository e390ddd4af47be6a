#pragma once

#include <string_view>

/** Identifiers of the string table. */
namespace ids {
inline constexpr int TrainerMenuItem = 101;
inline constexpr int TrainerProgressTitle = 102;
inline constexpr int ProgressTitle = 103;
inline constexpr int DocumentTemplate = 128;
inline constexpr int AppTitle = 57344;
inline constexpr int IdleStatus = 57345;
} // namespace ids

/** The program's string table; empty for an unknown id. */
std::string_view stringTableEntry(int id);
