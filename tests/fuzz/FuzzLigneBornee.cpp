// Fuzz target of the one line reader of the text formats: every line of the
// input read with a bound and a way taken from its first byte, checked
// against the plain reference (the input cut at each LF).
#include "FuzzSupport.h"
#include "LignesReference.h"

#include "core/LigneBornee.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

using kiv_fuzz::verifier;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::size_t max = data[0] & 0x3F;
    const AuDela auDela = (data[0] & 0x40) != 0 ? AuDela::Couper : AuDela::Refuser;
    const std::string texte(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string> attendues = kiv_fuzz::lignesReference(texte);
    if (texte.empty() || texte.back() == '\n') {
        attendues.pop_back(); // no line after the last line's end
    }
    std::istringstream flux(texte);
    std::string ligne = "avant";
    std::size_t n = 0;
    for (;;) {
        const std::string precedente = ligne;
        const LigneLue lue = lireLigneBornee(flux, ligne, max, auDela);
        verifier(lue != LigneLue::Illisible, "a string never fails");
        if (lue == LigneLue::Fin) {
            verifier(n == attendues.size(), "the end comes after the last line");
            verifier(ligne == precedente, "the end leaves the last line");
            verifier(flux.fail(), "the end marks the stream");
            break;
        }
        verifier(n < attendues.size(), "no line past the last");
        const std::string& attendue = attendues[n];
        if (lue == LigneLue::TropLongue) {
            verifier(auDela == AuDela::Refuser && attendue.size() > max, "refused for its length");
            break;
        }
        verifier(ligne.size() <= max, "within the bound");
        verifier(ligne == attendue.substr(0, max), "the line, or its start when cut");
        verifier(auDela == AuDela::Couper || attendue.size() <= max, "whole when refusing");
        ++n;
    }
    return 0;
}
