#pragma once
// From a per-pixel reflectance of the array spectrometer to CIE colour values:
// resampling to 5 nm, illuminant weights, XYZ, chromaticity, CIELAB, CIELUV.

#include "instrument/spectrometer/CieTables.h"

namespace lt {

inline constexpr int kResampledCount = 80; // samples 380, 385, ... 775 nm
inline constexpr float kResampleStart = kObserverFirstWavelength; // [nm] the tables' first row
inline constexpr float kResampleHighMargin = 5.0f; // [nm] pixels are walked up to high + this
inline constexpr int kIlluminantRowOf380nm = 16; // 300 nm + 16 * 5 nm
inline constexpr float kEqualEnergyWeight = 100.0f;

struct WavelengthCalibration {
    float slope = 0.0f; // [nm/pixel]
    float zero = 0.0f; // [nm] at pixel 0
};

struct Tristimulus {
    float X = 0.0f, Y = 0.0f, Z = 0.0f;
};

struct CieLab {
    float L = 0.0f, a = 0.0f, b = 0.0f;
};

struct CieLuv {
    float L = 0.0f, u = 0.0f, v = 0.0f;
};

struct ColourValues {
    Tristimulus sample; // scale: perfect white Y = 100
    Tristimulus white; // the illuminant's white point on the same scale
    float x = 0.0f, y = 0.0f, z = 0.0f;
    CieLab lab;
    CieLuv luv;
};

// Pixel whose wavelength is nearest to `wavelength`, clamped to 0..pixelCount-1.
int pixelOfWavelength(WavelengthCalibration calibration, float wavelength, int pixelCount);

// Resamples `result` (one value per pixel) at 380 nm, 380 + step, ... by linear
// interpolation between the two pixels around each target wavelength, walking
// the pixels up to the one at `high`. Samples not reached stay 0.
void resampleSpectrum(const float* result, int pixelCount, WavelengthCalibration calibration,
    float high, float step, float resampled[kResampledCount]);

// Relative spectral power at the resampled wavelengths (380 nm, 380 + step,
// ...) for an illuminant index; indexes without a table weigh every
// wavelength equally. The 5 nm tables are read at each sample's own
// wavelength, between rows by linear interpolation.
void illuminantWeights(const CieTables& tables, int illuminantIndex, float weights[kResampledCount],
    float step = kTableStep);

// Colour values of a reflectance resampled at 380 nm, 380 + step, ... under
// the given weights and the observer of the table's first three columns,
// read at each sample's wavelength; samples beyond the tables' last row
// (775 nm) do not count. Values that are undefined (an empty table, a black
// sample, a step that is not positive) come out as 0.
ColourValues colourValues(const float resampled[kResampledCount],
    const float weights[kResampledCount], const CieTables& tables, float step = kTableStep);

CieLab cieLab(Tristimulus sample, Tristimulus white);
CieLuv cieLuv(Tristimulus sample, Tristimulus white, float lightness);
float deltaE76(CieLab a, CieLab b);

} // namespace lt
