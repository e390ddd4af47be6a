#pragma once

/**
 * The distance, cm, beyond which a point measured in the calibration window
 * asks the operator before it is kept: the settings store's value when it is
 * a number within reglages::EcartMaxCalibration's range; otherwise
 * (missing, not a number, out of range) the default, an unusable value told
 * once (core/qt/LireReglage.h).
 */
double ecartMaxCalibrationCm();
