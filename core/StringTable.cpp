#include "StringTable.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, std::string_view>, 6> kStrings{{
    {ids::TrainerMenuItem, "    "},
    {ids::TrainerProgressTitle, "Apprentissage du réseau"},
    {ids::ProgressTitle, "Boite de progression"},
    {ids::DocumentTemplate, "KIV\n\nKIV\n\n\nKIV.Document\nKIV Document"},
    {ids::AppTitle, "KIV-ZUL"},
    {ids::IdleStatus, "Prêt"},
}};

} // namespace

std::string_view stringTableEntry(int id)
{
    for (const auto& [key, text] : kStrings) {
        if (key == id) {
            return text;
        }
    }
    return {};
}
