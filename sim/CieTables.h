// CIE colour-matching functions and illuminant spectra, 380 to 780 nm in 5 nm steps.
#pragma once

namespace ltsim::cie {

inline constexpr int kCieFirstWavelength = 380; // [nm]
inline constexpr int kCieStep = 5; // [nm]
inline constexpr int kCieSamples = 81;

extern const double kObserver2X[kCieSamples];
extern const double kObserver2Y[kCieSamples];
extern const double kObserver2Z[kCieSamples];
extern const double kObserver10X[kCieSamples];
extern const double kObserver10Y[kCieSamples];
extern const double kObserver10Z[kCieSamples];

extern const double kIlluminantA[kCieSamples];
extern const double kIlluminantC[kCieSamples];
extern const double kIlluminantD50[kCieSamples];
extern const double kIlluminantD55[kCieSamples];
extern const double kIlluminantD65[kCieSamples];
extern const double kIlluminantD75[kCieSamples];
extern const double kIlluminantE[kCieSamples];

} // namespace ltsim::cie
