#include "console/ReglageCalibration.h"

#include "core/qt/LireReglage.h"

double ecartMaxCalibrationCm()
{
    return lireReglage(reglages::EcartMaxCalibration);
}
