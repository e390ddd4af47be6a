#include "core/Echappement.h"

#include <cstdio>

namespace {

/** Length of the well-formed UTF-8 sequence at the start of `texte`, 0 when there is none. */
std::size_t sequenceUtf8(std::string_view texte)
{
    const auto octet = [&](std::size_t k) { return static_cast<unsigned char>(texte[k]); };
    const unsigned char premier = octet(0);
    std::size_t n = 0;
    char32_t point = 0;
    if (premier >= 0xC2 && premier <= 0xDF) {
        n = 2;
        point = premier & 0x1F;
    } else if (premier >= 0xE0 && premier <= 0xEF) {
        n = 3;
        point = premier & 0x0F;
    } else if (premier >= 0xF0 && premier <= 0xF4) {
        n = 4;
        point = premier & 0x07;
    } else {
        return 0;
    }
    if (texte.size() < n) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((octet(k) & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (octet(k) & 0x3F);
    }
    constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valide = point >= kMinimum[n] && point <= 0x10FFFF &&
                        (point < 0xD800 || point > 0xDFFF) && (point < 0x80 || point > 0x9F);
    return valide ? n : 0;
}

} // namespace

std::string echapper(std::string_view texte)
{
    std::string resultat;
    resultat.reserve(texte.size());
    std::size_t k = 0;
    while (k < texte.size()) {
        const auto c = static_cast<unsigned char>(texte[k]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            resultat += static_cast<char>(c);
            ++k;
            continue;
        }
        // A whole sequence of a printable character passes; C1 controls do not.
        if (const std::size_t n = c >= 0x80 ? sequenceUtf8(texte.substr(k)) : 0; n > 0) {
            resultat.append(texte.substr(k, n));
            k += n;
            continue;
        }
        char code[5];
        std::snprintf(code, sizeof code, "\\x%02X", c);
        resultat += code;
        ++k;
    }
    return resultat;
}
