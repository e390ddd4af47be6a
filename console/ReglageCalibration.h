#pragma once

/** Settings-store key of the distance beyond which a calibration point asks before it is kept, cm.
 */
inline constexpr const char* CleEcartMaxCalibration = "Calibration/EcartMaxCm";
/** Its default, and the range it is read in. */
inline constexpr double EcartMaxCalibrationDefaut = 50.0;
inline constexpr double EcartMaxCalibrationMin = 1.0;
inline constexpr double EcartMaxCalibrationMax = 1000.0;

/**
 * The distance, cm, beyond which a point measured in the calibration window
 * asks the operator before it is kept: the settings store's value when it is
 * a number from EcartMaxCalibrationMin to EcartMaxCalibrationMax; otherwise
 * (missing, not a number, out of range) the default, an unusable value told
 * once (core/qt/LireReglage.h).
 */
double ecartMaxCalibrationCm();
