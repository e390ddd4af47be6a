#include "console/CaractereRecu.h"

#include "trainer/TexteWindows.h"

QChar caractereRecu(int octet)
{
    const auto valeur = static_cast<unsigned char>(octet & 0xFF);
    if (valeur < 0x20) {
        return QChar(static_cast<char16_t>(0x2400 + valeur));
    }
    if (valeur == 0x7F) {
        return QChar(static_cast<char16_t>(0x2421));
    }
    const char32_t point = depuisWindows1252(valeur);
    // Every Windows-1252 character lies in the basic plane: one QChar.
    return point != 0 ? QChar(static_cast<char16_t>(point)) : QChar(QChar::ReplacementCharacter);
}
