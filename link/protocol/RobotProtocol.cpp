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

std::optional<Commande> decoderCommande(std::uint8_t octet)
{
    const int virage = (octet >> 4) & 7;
    if ((octet & 0x80) == 0 || virage > 5) {
        return std::nullopt;
    }
    return Commande{octet & 3, (octet >> 2) & 3, virage};
}

std::array<std::uint8_t, TailleTrame> encoderTrame(const std::array<std::int16_t, 4>& horodatages,
                                                   std::uint8_t etat, std::uint8_t batterie)
{
    std::array<std::uint8_t, TailleTrame> octets{};
    for (std::size_t k = 0; k < 4; ++k) {
        const auto mot = static_cast<std::uint16_t>(horodatages[k]);
        octets[2 * k] = static_cast<std::uint8_t>(mot & 0xFF);
        octets[2 * k + 1] = static_cast<std::uint8_t>(mot >> 8);
    }
    octets[8] = etat;
    octets[9] = batterie;
    return octets;
}

} // namespace protocole
