// Status densities of a remission spectrum: the remission weighted by the
// spectral product of a density filter, as log10(1 / weighted remission).
// The chromatic channels use the ISO 5-3 status products (narrow-band
// filters: bands of 20 nm), the visual channel the ISO visual product.
#pragma once

#include "SpectralCurve.h"

namespace ltsim {

enum class DensityFilter { AnsiA, AnsiT, Din, DinNarrowBand, AnsiE };

// Density of the darkest remission the instrument resolves.
inline constexpr double kMaxDensity = 4.0;

struct ProcessDensities {
    double black = 0.0; // visual channel
    double cyan = 0.0; // red channel
    double magenta = 0.0; // green channel
    double yellow = 0.0; // blue channel
};

ProcessDensities statusDensities(const SpectralCurve& remission, DensityFilter filter);

} // namespace ltsim
