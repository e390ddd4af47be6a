#include "core/ProgressBox.h"

std::string progressPercentText(int lower, int upper, int position)
{
    const long long diviseur = static_cast<long long>(upper) - lower;
    const long long dividende = static_cast<long long>(position) - lower;
    long long pourcent = diviseur > 0 && dividende >= 0 ? dividende * 100 / diviseur : 0;
    if (pourcent != 100) {
        pourcent %= 100;
    }
    return std::to_string(pourcent) + '%';
}
