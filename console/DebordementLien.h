#pragma once

#include <cstdint>
#include <optional>
#include <string>

/**
 * The received bytes the link dropped because more waited for the
 * interface thread than the link holds (an overrun): counted, and noted in
 * the session log at most once a second, each note with the bytes lost
 * since the one before ("débordement 1234 octets perdus"). Times are the
 * caller's, in milliseconds of a steady clock. Plain C++.
 */
class DebordementLien {
public:
    /** The shortest time between two notes, ms. */
    static constexpr std::int64_t IntervalleNotesMs = 1000;

    /** `octets` more bytes lost. */
    void noter(std::uint64_t octets);
    /**
     * The note to write at `maintenantMs`, when bytes lost wait to be told
     * and the last note is at least a second old; nothing otherwise.
     */
    std::optional<std::string> note(std::int64_t maintenantMs);
    /**
     * When the bytes lost that wait may be noted (the lowest time when no
     * note was written yet); nothing while none wait.
     */
    std::optional<std::int64_t> prochaineNote() const;
    /** Every byte lost so far. */
    std::uint64_t total() const { return m_total; }

private:
    std::uint64_t m_total = 0;
    std::uint64_t m_aNoter = 0;
    std::optional<std::int64_t> m_derniereNote;
};
