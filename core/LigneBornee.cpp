#include "core/LigneBornee.h"

#include <exception>

LigneLue lireLigneBornee(std::istream& texte, std::string& ligne, std::size_t max, AuDela auDela)
{
    std::streambuf* tampon = texte.rdbuf();
    if (tampon == nullptr || !texte.good()) {
        if (texte.bad()) {
            return LigneLue::Illisible;
        }
        texte.setstate(std::ios::failbit);
        return LigneLue::Fin;
    }
    using Traits = std::char_traits<char>;
    bool lu = false;
    bool coupee = false;    // characters past the bound were dropped
    bool retourFin = false; // the line's last character is a CR
    try {
        for (;;) {
            const Traits::int_type c = tampon->sbumpc();
            if (Traits::eq_int_type(c, Traits::eof())) {
                texte.setstate(std::ios::eofbit);
                break;
            }
            if (!lu) {
                ligne.clear();
                lu = true;
            }
            const char octet = Traits::to_char_type(c);
            if (octet == '\n') {
                break;
            }
            retourFin = octet == '\r';
            // One character past the bound is held when it is a CR, which
            // may be the CR of a CR LF end.
            if (ligne.size() < max || (ligne.size() == max && retourFin)) {
                ligne.push_back(octet);
            } else if (auDela == AuDela::Refuser) {
                return LigneLue::TropLongue;
            } else {
                coupee = true;
            }
        }
    } catch (const std::exception&) {
        texte.setstate(std::ios::badbit);
        return LigneLue::Illisible;
    }
    if (!lu) {
        texte.setstate(std::ios::failbit);
        return LigneLue::Fin;
    }
    if (retourFin && !coupee) {
        ligne.pop_back();
    }
    if (ligne.size() > max) {
        // A CR past the bound that ended no line.
        if (auDela == AuDela::Refuser) {
            return LigneLue::TropLongue;
        }
        ligne.resize(max);
    }
    return LigneLue::Ligne;
}
