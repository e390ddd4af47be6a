#include "trainer/FichierParametres.h"

#include "trainer/TexteWindows.h"

#include <charconv>
#include <climits>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

/** One line of the file: its key and the field it holds (a double or an int). */
struct Champ {
    const char* cle;
    double ParametresReseau::*reel;
    int ParametresReseau::*entier;
};

constexpr Champ kChamps[] = {
    {"Gain=", &ParametresReseau::Gain, nullptr},
    {"Momentum=", &ParametresReseau::Momentum, nullptr},
    {"Epsilon=", &ParametresReseau::Epsilon, nullptr},
    {"Tolerance=", &ParametresReseau::Tolerance, nullptr},
    {"ErreurMax=", &ParametresReseau::ErreurMax, nullptr},
    {"IterMax=", nullptr, &ParametresReseau::IterMax},
    {"NeuroneEntree=", nullptr, &ParametresReseau::NeuroneEntree},
    {"NeuroneSortie=", nullptr, &ParametresReseau::NeuroneSortie},
    {"CoucheCache=", nullptr, &ParametresReseau::CoucheCache},
    {"NeuroneCoucheCache=", nullptr, &ParametresReseau::NeuroneCoucheCache},
    {"MinOutput=", &ParametresReseau::MinOutput, nullptr},
    {"MaxOutput=", &ParametresReseau::MaxOutput, nullptr},
    {"DonnéesTest1=", &ParametresReseau::DonneesTest1, nullptr},
    {"DonnéesTest2=", &ParametresReseau::DonneesTest2, nullptr},
    {"DonnéesTest3=", &ParametresReseau::DonneesTest3, nullptr},
};

/** The white space of the C locale, which atof and atoi skip. */
bool blanc(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/** The "C" locale, made once: strtod_l with it reads '.' whatever setlocale says. */
locale_t localeC()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

} // namespace

double texteVersDouble(std::string_view texte)
{
    // strtod needs a terminated string; a line of the file is short.
    const std::string copie(texte);
    return strtod_l(copie.c_str(), nullptr, localeC());
}

int texteVersEntier(std::string_view texte)
{
    std::size_t k = 0;
    while (k < texte.size() && blanc(texte[k])) {
        ++k;
    }
    bool negatif = false;
    if (k < texte.size() && (texte[k] == '+' || texte[k] == '-')) {
        negatif = texte[k] == '-';
        ++k;
    }
    const char* debut = texte.data() + k;
    const char* fin = texte.data() + texte.size();
    if (debut == fin || *debut < '0' || *debut > '9') {
        return 0;
    }
    // The digits are read as a magnitude so that "-2147483648" is in range.
    unsigned long long magnitude = 0;
    const auto [ptr, ec] = std::from_chars(debut, fin, magnitude);
    (void)ptr;
    const unsigned long long limite =
        negatif ? static_cast<unsigned long long>(INT_MAX) + 1 : INT_MAX;
    if (ec == std::errc::result_out_of_range || magnitude > limite) {
        return negatif ? INT_MIN : INT_MAX;
    }
    if (negatif) {
        return static_cast<int>(-static_cast<long long>(magnitude));
    }
    return static_cast<int>(magnitude);
}

void ecrireParametres(std::ostream& os, const ParametresReseau& p)
{
    for (const Champ& champ : kChamps) {
        os << champ.cle;
        if (champ.reel != nullptr) {
            os << p.*champ.reel;
        } else {
            os << p.*champ.entier;
        }
        os << '\n';
    }
    os.flush();
}

ParametresReseau lireParametres(std::istream& is)
{
    ParametresReseau p;
    std::string ligne;
    for (const Champ& champ : kChamps) {
        lireLigne(is, ligne); // past the end of the file the line stays empty
        const std::size_t egal = ligne.find('=');
        const std::string_view valeur = egal == std::string::npos
                                            ? std::string_view(ligne)
                                            : std::string_view(ligne).substr(egal + 1);
        if (champ.reel != nullptr) {
            p.*champ.reel = texteVersDouble(valeur);
        } else {
            p.*champ.entier = texteVersEntier(valeur);
        }
    }
    return p;
}
