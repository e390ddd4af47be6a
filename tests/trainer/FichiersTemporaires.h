#pragma once

#include "support/RepertoireTemporaire.h"

#include <locale>
#include <string>

namespace kiv_test {

/** Every "\n" of a text written with LF line ends turned into "\r\n". */
inline std::string enCRLF(const std::string& texte)
{
    std::string r;
    for (char c : texte) {
        if (c == '\n') {
            r += '\r';
        }
        r += c;
    }
    return r;
}

/** A numeric punctuation with ',' as decimal point and '.' grouping every three digits. */
class VirguleDecimale : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

/** Installs a global C++ locale that writes 0,5 and 1.000; restores the previous one. */
class LocaleVirgule {
public:
    LocaleVirgule()
        : m_precedente(
              std::locale::global(std::locale(std::locale::classic(), new VirguleDecimale)))
    {}
    ~LocaleVirgule() { std::locale::global(m_precedente); }
    LocaleVirgule(const LocaleVirgule&) = delete;
    LocaleVirgule& operator=(const LocaleVirgule&) = delete;

private:
    std::locale m_precedente;
};

} // namespace kiv_test
