// Stray light of the array spectrometer: light that the grating and the
// housing scatter from where it belongs onto other pixels, and the charge the
// read-out smears along the line.
#pragma once

#include <array>

#include "ltsim/Simulator.h"

namespace ltsim {

using PixelLight = std::array<double, kSpectrometerPixels>; // [counts] per pixel

// Each pixel of the read-out window exchanges signal with every other pixel of
// the window in proportion to their difference, so signal flows from the
// bright pixels to the darker ones: 0.1 % of the difference per pixel at longer
// wavelengths (higher pixel numbers), 0.04 % per pixel at shorter ones. What
// is scattered is scattered again in turn, so the result is the balance of
// that exchange. Pixels outside the window are not read and take no part.
inline constexpr double kScatterFromLongerWavelengths = 0.001;
inline constexpr double kScatterFromShorterWavelengths = 0.0004;

// Signal of each pixel of the window first..last when `direct` is the light the
// grating images on the line; other pixels keep their direct light.
PixelLight withStrayLight(const PixelLight& direct, int first, int last);

} // namespace ltsim
