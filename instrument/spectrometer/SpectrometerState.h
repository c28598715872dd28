#pragma once
// What the instrument object keeps about its array spectrometer between calls:
// wavelength calibration, acquisition parameters, the dark and white
// references per pixel, the last result and the colour tables.

#include <cstdint>

#include "instrument/include/TaviSpec.h"
#include "instrument/spectrometer/CieTables.h"
#include "instrument/spectrometer/SpectrumColorimetry.h"

namespace lt {

// Pixels are addressed from 0 up to the window's first pixel (its low byte,
// at most 255) plus the most values one acquisition can deliver.
inline constexpr int kMaxFirstPixel = 255;
inline constexpr int kPixelCapacity = kMaxFirstPixel + 1 + kAquireMaxCounts;
// Positions an acquisition does not cover stay at this count.
inline constexpr std::uint16_t kUnreceivedCount = 170;
// The sensor line: positions below it that were not received repeat the last value.
inline constexpr int kSensorPixels = 256;

inline constexpr std::uint8_t kParameterCommand = 0x01;
inline constexpr std::uint8_t kCalibrationCommand = 0x03;
inline constexpr int kParameterMessageLength = 1 + sizeof(NewParams);

struct SpectrometerData {
    WavelengthCalibration calibration;
    InitParams initParams {}; // as received, floats big-endian
    NewParams parameters {}; // the last ones sent
    std::uint8_t acquisitionByte = 0;
    std::uint64_t acquisitionStartMs = 0; // [ms] on lt::clock()
    std::uint8_t receiveBuffer[2 * kAquireMaxCounts] = {};
    std::uint16_t working[kPixelCapacity] = {}; // received counts by pixel
    std::uint16_t corrected[kPixelCapacity] = {}; // after stray-light correction
    std::uint16_t dark[kPixelCapacity] = {}; // [counts] dark reference
    std::uint16_t white[kPixelCapacity] = {}; // [counts] white minus dark
    float result[kPixelCapacity] = {}; // reflectance or density
    std::uint16_t windowFirst = 0; // correction window [pixel]
    std::uint16_t windowLast = 0;
    Tristimulus last; // the last sample's X, Y, Z
    Tristimulus whitePoint; // Xn, Yn, Zn
    CieTables tables;

    // Only the low byte of the window's first pixel places the received values.
    int firstPixel() const { return parameters.FirstPixel[0]; }
};

} // namespace lt

struct CTaviSpec::SpectrometerState : lt::SpectrometerData { };
