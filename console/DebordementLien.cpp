#include "console/DebordementLien.h"

#include "link/recorder/FormatJournal.h"

#include <cstdio>
#include <limits>

void DebordementLien::noter(std::uint64_t octets)
{
    m_total += octets;
    m_aNoter += octets;
}

std::optional<std::string> DebordementLien::note(std::int64_t maintenantMs)
{
    const std::optional<std::int64_t> quand = prochaineNote();
    if (!quand || maintenantMs < *quand) {
        return std::nullopt;
    }
    char texte[96];
    std::snprintf(texte, sizeof texte, "%s %llu octet%s perdu%s", journal::EvenementDebordement,
                  static_cast<unsigned long long>(m_aNoter), m_aNoter > 1 ? "s" : "",
                  m_aNoter > 1 ? "s" : "");
    m_aNoter = 0;
    m_derniereNote = maintenantMs;
    return std::string(texte);
}

std::optional<std::int64_t> DebordementLien::prochaineNote() const
{
    if (m_aNoter == 0) {
        return std::nullopt;
    }
    if (!m_derniereNote) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return *m_derniereNote + IntervalleNotesMs;
}
