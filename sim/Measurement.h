// What a spectrophotometer reports for one remission spectrum under the
// measurement conditions in force.
#pragma once

#include <array>
#include <optional>

#include "Colorimetry.h"
#include "Densitometry.h"
#include "SpectralCurve.h"
#include "ltsim/Simulator.h"

namespace ltsim {

struct Measurement {
    Reading reading;
    Tristimulus white; // white point of the illuminant and observer in force
};

// Instrument codes of the parameter message; nullopt for a code the instrument does not know.
std::optional<Illuminant> illuminantOfCode(char code);
std::optional<Observer> observerOfCode(char code);
std::optional<DensityFilter> filterOfCode(char code);

// The spectrum the optics see in the measurement mode: the remission in
// reflection, the ink film without its paper in transmission, and the light
// of the illuminant in force in emission.
SpectralCurve spectrumInMode(const SpectralCurve& remission,
    const MeasurementConditions& conditions, const class PrintModel& print);

Measurement measure(const SpectralCurve& spectrum, const MeasurementConditions& conditions);

// Colorimetric triple of a colour-space index of the colorimetric request:
// 0 x, y, Y; 1 L*, a*, b*; 2 L*, C*ab, hab; 3 L*, u*, v*; 4 X, Y, Z;
// 5 L*, C*uv, huv; 6 Hunter L, a, b. Nullopt for another index.
std::optional<std::array<float, 3>> colourSpaceTriple(const Measurement& measurement, int space);

} // namespace ltsim
