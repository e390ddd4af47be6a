#include "StringTable.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, std::string_view>, 3> kStrings{{
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
