#include "calibration/GrilleCalibration.h"

namespace calibration {

std::vector<balises::Position> grilleSuggeree(int cote)
{
    std::vector<balises::Position> points;
    if (cote < CoteGrilleMin || cote > CoteGrilleMax) {
        return points;
    }
    points.reserve(static_cast<std::size_t>(cote) * static_cast<std::size_t>(cote));
    const double pas = (500.0 - 2.0 * MargeGrille) / (cote - 1);
    for (int j = 0; j < cote; ++j) {
        for (int i = 0; i < cote; ++i) {
            const int colonne = j % 2 == 0 ? i : cote - 1 - i;
            points.push_back({MargeGrille + colonne * pas, MargeGrille + j * pas});
        }
    }
    return points;
}

} // namespace calibration
