// The ISO 5-3 spectral products of reflection densitometry: for each status
// the red, green and blue channel's product of illuminant A, optics and
// filter, and the visual product (illuminant A times the photopic luminous
// efficiency), as published, in 10 nm steps, linear and 100 at each peak.
// Outside its span a product is 0.
#pragma once

#include <vector>

namespace ltsim {

struct SpectralProduct {
    int firstWavelength; // [nm] of the first value
    std::vector<double> values; // every 10 nm from firstWavelength
};

inline constexpr int kSpectralProductStep = 10; // [nm]

struct StatusResponse {
    SpectralProduct red, green, blue;
};

const StatusResponse& statusA();
const StatusResponse& statusE();
const StatusResponse& statusT();
const SpectralProduct& visualProduct();

} // namespace ltsim
