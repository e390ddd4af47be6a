#pragma once

// The plain reference of the bounded line reader: the input cut at each LF,
// a CR just before an LF (or at the very end) dropped.

#include <string>
#include <vector>

namespace kiv_fuzz {

/** The lines of `texte`, their ends aside; an empty input or a final LF ends with "". */
inline std::vector<std::string> lignesReference(const std::string& texte)
{
    std::vector<std::string> lignes(1);
    for (const char c : texte) {
        if (c == '\n') {
            if (!lignes.back().empty() && lignes.back().back() == '\r') {
                lignes.back().pop_back();
            }
            lignes.emplace_back();
        } else {
            lignes.back().push_back(c);
        }
    }
    if (!lignes.back().empty() && lignes.back().back() == '\r') {
        lignes.back().pop_back();
    }
    return lignes;
}

/** The length of each line of `texte`, its end aside. */
inline std::vector<std::size_t> longueursReference(const std::string& texte)
{
    std::vector<std::size_t> longueurs;
    for (const std::string& l : lignesReference(texte)) {
        longueurs.push_back(l.size());
    }
    return longueurs;
}

} // namespace kiv_fuzz
