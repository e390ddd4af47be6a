#include "link/protocol/SilenceLigne.h"

namespace protocole {

Instant seuilSilence(int baud)
{
    if (baud <= 0) {
        return PlancherSilence;
    }
    const Instant octets = OctetsDeSilence * 10LL * 1'000'000LL / baud;
    return octets > PlancherSilence ? octets : PlancherSilence;
}

} // namespace protocole
