#include "link/SerialReport.h"

#include "core/Platform.h"

namespace {

/** Length of the longest prefix of `s` no longer than `limite` that ends on a character boundary.
 */
std::size_t coupureUtf8(const std::string& s, std::size_t limite)
{
    if (s.size() <= limite) {
        return s.size();
    }
    std::size_t debut = limite;
    // Back to the first byte of the character that straddles the limit.
    while (debut > 0 && (static_cast<unsigned char>(s[debut]) & 0xC0) == 0x80) {
        --debut;
    }
    return debut;
}

} // namespace

std::string ReportErrorText(std::string_view step, std::string_view systemText, int port)
{
    std::string texte;
    texte.reserve(64 + step.size() + systemText.size());
    texte += "WARNING:  ";
    texte += step;
    texte += " Failed with the following error: \n";
    texte += systemText;
    texte += "\nPort: ";
    texte += std::to_string(port);
    texte += "\n";
    texte.resize(coupureUtf8(texte, TailleRapportSerie - 1));
    return texte;
}

void ShowReport(const std::string& text)
{
    platform().messageBox(text, LegendeRapportSerie, MessageButtons::Ok, MessageIcon::Stop);
}
