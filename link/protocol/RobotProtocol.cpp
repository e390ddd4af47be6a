#include "link/protocol/RobotProtocol.h"

namespace protocole {

void calculerIntervalles(const std::int16_t horodatages[4], float intervalles[3])
{
    for (int k = 0; k < 3; ++k) {
        const int d = horodatages[k + 1] - horodatages[k] + 65535;
        float t = static_cast<float>(d * Tick);
        while (t <= Plancher) {
            t = static_cast<float>(t + Tour);
        }
        intervalles[k] = t;
    }
}

} // namespace protocole
