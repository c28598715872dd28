// CIE colorimetry of remission spectra: tristimulus values for a CIE
// illuminant and observer (white = 100), chromaticity and CIE 1976 L*a*b*.
#pragma once

#include "SpectralCurve.h"

namespace ltsim {

enum class Illuminant { A, C, D50, D55, D65, D75, E };
enum class Observer { TwoDegree, TenDegree };

struct Tristimulus {
    double x = 0.0, y = 0.0, z = 0.0;
};

struct CieLab {
    double l = 0.0, a = 0.0, b = 0.0;
};

// Sums over 380 ... 780 nm in 5 nm steps, normalised so that the perfect
// reflecting diffuser has Y = 100.
Tristimulus tristimulus(const SpectralCurve& remission, Illuminant illuminant, Observer observer);
Tristimulus whitePoint(Illuminant illuminant, Observer observer);
CieLab cieLab(const Tristimulus& sample, const Tristimulus& white);

// Relative spectral power of the illuminant, 1.0 at 560 nm.
SpectralCurve illuminantPower(Illuminant illuminant);

} // namespace ltsim
