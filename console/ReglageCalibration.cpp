#include "console/ReglageCalibration.h"

#include <QSettings>

double ecartMaxCalibrationCm()
{
    bool lu = false;
    const double cm = QSettings().value(QString::fromLatin1(CleEcartMaxCalibration)).toDouble(&lu);
    // Written so that a value that is not a number fails the range.
    if (lu && cm >= EcartMaxCalibrationMin && cm <= EcartMaxCalibrationMax) {
        return cm;
    }
    return EcartMaxCalibrationDefaut;
}
