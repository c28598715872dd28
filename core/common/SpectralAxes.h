#pragma once
// The wavelength axes of the instruments' spectra.
//
// The spectrophotometers (Lumatrak, Spectrolino) report 36 remission values
// from 380 nm in 10 nm steps. The array spectrometer's axis is
// wavelength = zero + slope * pixel; the instrument reports its own
// calibration when it opens, and until then, or when the settings hold
// none, the shipped one below applies.

namespace lt {

inline constexpr double kRemissionFirstWavelength = 380.0; // [nm]
inline constexpr double kRemissionWavelengthStep = 10.0; // [nm]
inline constexpr int kRemissionPoints = 36;
inline constexpr double kRemissionLastWavelength =
    kRemissionFirstWavelength + (kRemissionPoints - 1) * kRemissionWavelengthStep; // 730 nm

inline constexpr double kDefaultSpectrometerSlope = 2.94118; // [nm/pixel]
inline constexpr double kDefaultSpectrometerZero = 226.5; // [nm] at pixel 0

} // namespace lt
