#include "PrintModel.h"

#include <algorithm>
#include <cmath>

namespace ltsim {

namespace {

// Light reflected at the ink surface before it enters the film: it caps the
// density of every solid.
constexpr double kSurfaceReflection = 0.004;

// Yule-Nielsen factor of the halftone: light scattered in the paper leaves it
// under a neighbouring dot, so halftones print darker than their area says.
constexpr double kYuleNielsenFactor = 1.8;

double clamp01(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

double paperRemission(double wavelength)
{
    // A coated, lightly blue-shaded paper whose remission falls in the near UV.
    return 0.895 - 0.13 * (1.0 - logisticStep(wavelength, 408.0, 11.0)) -
        0.01 * logisticStep(wavelength, 700.0, 40.0);
}

// Target remissions of the solids on this paper; the ink films follow from them.
double cyanSolid(double wavelength)
{
    return 0.02 + 0.52 * gaussianBand(wavelength, 478.0, 105.0) +
        0.06 * (1.0 - logisticStep(wavelength, 400.0, 15.0)) +
        0.55 * logisticStep(wavelength, 760.0, 18.0);
}

double magentaSolid(double wavelength)
{
    return 0.025 + 0.36 * (1.0 - logisticStep(wavelength, 465.0, 14.0)) +
        0.86 * logisticStep(wavelength, 607.0, 11.0);
}

double yellowSolid(double wavelength)
{
    return 0.03 + 0.86 * logisticStep(wavelength, 508.0, 9.0) +
        0.03 * (1.0 - logisticStep(wavelength, 390.0, 8.0));
}

double blackSolid(double wavelength)
{
    return 0.014 + 0.006 * logisticStep(wavelength, 700.0, 30.0);
}

} // namespace

double PrintModel::effectiveArea(double percent) const
{
    double a = clamp01(percent / 100.0);
    return clamp01(a + dotGain_ / 100.0 * 4.0 * a * (1.0 - a));
}

PrintModel::PrintModel(double dotGainAtHalf) : dotGain_(dotGainAtHalf)
{
    paper_ = SpectralCurve::fromFunction(paperRemission);
    double (*solids[4])(double) = {cyanSolid, magentaSolid, yellowSolid, blackSolid};
    for (int ink = 0; ink < 4; ++ink) {
        inkFilm_[ink] = SpectralCurve::fromFunction([&](double wavelength) {
            double film = (solids[ink](wavelength) - kSurfaceReflection) /
                (paperRemission(wavelength) - kSurfaceReflection);
            return clamp01(film);
        });
    }
    for (int set = 0; set < 16; ++set) {
        SpectralCurve film = SpectralCurve::fromFunction([](double) { return 1.0; });
        for (int ink = 0; ink < 4; ++ink) {
            if (!(set & (1 << ink)))
                continue;
            for (int i = 0; i < SpectralCurve::kSamples; ++i)
                film.sample(i) *= inkFilm_[ink].sample(i);
        }
        primaries_[set] = set == 0 ? paper_ : solidOnPaper(film);
    }
}

SpectralCurve PrintModel::solidOnPaper(const SpectralCurve& inkTransmittanceSquared) const
{
    SpectralCurve result;
    for (int i = 0; i < SpectralCurve::kSamples; ++i) {
        result.sample(i) = kSurfaceReflection +
            (paper_.sample(i) - kSurfaceReflection) * inkTransmittanceSquared.sample(i);
    }
    return result;
}

SpectralCurve PrintModel::filmTransmittance(const SpectralCurve& remission) const
{
    SpectralCurve result;
    for (int i = 0; i < SpectralCurve::kSamples; ++i) {
        double film =
            (remission.sample(i) - kSurfaceReflection) / (paper_.sample(i) - kSurfaceReflection);
        result.sample(i) = std::sqrt(clamp01(film));
    }
    return result;
}

SpectralCurve PrintModel::print(const InkCoverage& coverage) const
{
    const double area[4] = {effectiveArea(coverage.cyan), effectiveArea(coverage.magenta),
        effectiveArea(coverage.yellow), effectiveArea(coverage.black)};
    // Demichel weights of the primaries for independently screened inks.
    double weight[16];
    for (int set = 0; set < 16; ++set) {
        weight[set] = 1.0;
        for (int ink = 0; ink < 4; ++ink)
            weight[set] *= (set & (1 << ink)) ? area[ink] : 1.0 - area[ink];
    }
    SpectralCurve result;
    constexpr double kExponent = 1.0 / kYuleNielsenFactor;
    for (int i = 0; i < SpectralCurve::kSamples; ++i) {
        double sum = 0.0;
        for (int set = 0; set < 16; ++set) {
            if (weight[set] > 0.0)
                sum += weight[set] * std::pow(primaries_[set].sample(i), kExponent);
        }
        result.sample(i) = std::pow(sum, kYuleNielsenFactor);
    }
    return result;
}

} // namespace ltsim
