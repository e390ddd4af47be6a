// Fuzz target of the settings store's numeric reader: whatever text a key
// holds, a value taken is finite, within its range and whole where it must
// be, and equals what a plain reference parse of the same text gives; a
// text is either taken or refused with a reason; the warning shown for it
// holds no control character.
#include "core/ReglageNumerique.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void verifier(bool condition, const char* quoi)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", quoi);
        std::abort(); // libFuzzer keeps the input that got here
    }
}

/** The documented ranges of the console's numeric keys. */
constexpr reglages::Plage kPlages[] = {
    {0.5, 60, false},   // Lien/DelaiPerteSecondes
    {0, 10000, true},   // Lien/SilenceResynchroMs
    {1, 99, true},      // Batterie/SeuilPourcent
    {1, 1048576, true}, // Journal/TailleMaxMo
    {1, 1000, false},   // Calibration/EcartMaxCm
    {0, 4, true},       // Journal/VitesseRejeu
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const reglages::Plage& plage = kPlages[data[0] % (sizeof kPlages / sizeof kPlages[0])];
    const std::string texte(reinterpret_cast<const char*>(data) + 1, size - 1);
    const reglages::Lecture lu = reglages::lireTexte(texte, plage);
    verifier(lu.valeur.has_value() != !lu.refus.empty(), "taken or refused with a reason");
    if (lu.valeur) {
        const double v = *lu.valeur;
        verifier(std::isfinite(v) && v >= plage.min && v <= plage.max, "a value in its range");
        verifier(!plage.entier || v == std::floor(v), "whole where it must be");
        // The reference: the C library's parse of the trimmed word.
        std::string mot = texte;
        mot.erase(0, mot.find_first_not_of(" \t\r\n"));
        mot.erase(mot.find_last_not_of(" \t\r\n") + 1);
        char* fin = nullptr;
        errno = 0;
        const double reference = plage.entier
                                     ? static_cast<double>(std::strtoll(mot.c_str(), &fin, 10))
                                     : std::strtod(mot.c_str(), &fin);
        verifier(errno == 0 && fin == mot.c_str() + mot.size() && reference == v,
                 "the same value as the reference parse");
    }
    const std::string avertissement =
        reglages::texteAvertissement("Lien/SilenceResynchroMs", texte, lu.refus);
    for (const char c : avertissement) {
        const auto octet = static_cast<unsigned char>(c);
        verifier(octet >= 0x20 && octet != 0x7F, "a warning holds no control character");
    }
    return 0;
}
