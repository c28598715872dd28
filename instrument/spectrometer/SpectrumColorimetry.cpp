#include "instrument/spectrometer/SpectrumColorimetry.h"

#include <algorithm>
#include <cmath>

namespace lt {
namespace {

constexpr double kLabEpsilon = 0.008856;
constexpr double kLabSlope = 7.787;
constexpr double kLabOffset = 0.138;
constexpr double kCubeRoot = 0.3333333;

double labF(double t)
{
    return t > kLabEpsilon ? std::pow(t, kCubeRoot) : kLabSlope * t + kLabOffset;
}

double ratio(double numerator, double denominator)
{
    return denominator != 0.0 ? numerator / denominator : 0.0;
}

// Row position in the 5 nm tables of resampled sample i, or -1 beyond the
// tables' last row (or for a step that is not positive).
double tableRowOf(int i, float step)
{
    if (!(step > 0.0f) || !std::isfinite(step))
        return -1.0;
    const double row = i * static_cast<double>(step) / kTableStep;
    return row <= kResampledCount - 1 ? row : -1.0;
}

// A table column read at a fractional row, linear between the rows.
double valueAtRow(const float* column, double row)
{
    const int below = static_cast<int>(row);
    const double fraction = row - below;
    if (fraction == 0.0)
        return column[below];
    return column[below] * (1.0 - fraction) + column[below + 1] * fraction;
}

} // namespace

int pixelOfWavelength(WavelengthCalibration calibration, float wavelength, int pixelCount)
{
    if (pixelCount <= 0)
        return 0;
    if (!(calibration.slope > 0.0f) || !std::isfinite(calibration.zero))
        return 0;
    const double pixel =
        (static_cast<double>(wavelength) - calibration.zero) / calibration.slope + 0.5;
    if (!(pixel >= 0.0))
        return 0;
    if (pixel >= pixelCount - 1)
        return pixelCount - 1;
    return static_cast<int>(pixel);
}

void resampleSpectrum(const float* result, int pixelCount, WavelengthCalibration calibration,
    float high, float step, float resampled[kResampledCount])
{
    std::fill(resampled, resampled + kResampledCount, 0.0f);
    const double slope = calibration.slope;
    if (!(slope > 0.0) || !std::isfinite(slope) || pixelCount <= 0)
        return; // no wavelength calibration yet
    const int highPixel = pixelOfWavelength(calibration, high, pixelCount);
    double target = kResampleStart;
    int emitted = 0;
    // One sample at most per pixel: the first pixel beyond the target wavelength
    // and its left neighbour share the sample by their distances.
    for (int k = 0; k <= highPixel && emitted < kResampledCount; ++k) {
        const double lambda = calibration.zero + k * slope;
        if (!(lambda < high + kResampleHighMargin))
            break;
        if (lambda > target) {
            const double beyond = lambda - target;
            const double previous = result[k > 0 ? k - 1 : 0];
            resampled[emitted++] =
                static_cast<float>((result[k] * (slope - beyond) + beyond * previous) / slope);
            target += step;
        }
    }
}

void illuminantWeights(
    const CieTables& tables, int illuminantIndex, float weights[kResampledCount], float step)
{
    const int column = illuminantColumnForIndex(illuminantIndex);
    for (int i = 0; i < kResampledCount; ++i) {
        const double row = tableRowOf(i, step);
        if (row < 0.0)
            weights[i] = 0.0f;
        else if (column < 0)
            weights[i] = kEqualEnergyWeight;
        else
            weights[i] = static_cast<float>(
                valueAtRow(tables.illuminant[column] + kIlluminantRowOf380nm, row));
    }
}

CieLab cieLab(Tristimulus sample, Tristimulus white)
{
    const double fx = labF(ratio(sample.X, white.X));
    const double fy = labF(ratio(sample.Y, white.Y));
    const double fz = labF(ratio(sample.Z, white.Z));
    return {static_cast<float>(116.0 * fy - 16.0), static_cast<float>(500.0 * (fx - fy)),
        static_cast<float>(200.0 * (fy - fz))};
}

CieLuv cieLuv(Tristimulus sample, Tristimulus white, float lightness)
{
    const double sampleDenominator = sample.X + 15.0 * sample.Y + 3.0 * sample.Z;
    const double whiteDenominator = white.X + 15.0 * white.Y + 3.0 * white.Z;
    const double uPrime =
        ratio(4.0 * sample.X, sampleDenominator) - ratio(4.0 * white.X, whiteDenominator);
    const double vPrime =
        ratio(9.0 * sample.Y, sampleDenominator) - ratio(9.0 * white.Y, whiteDenominator);
    return {lightness, static_cast<float>(13.0 * lightness * uPrime),
        static_cast<float>(13.0 * lightness * vPrime)};
}

float deltaE76(CieLab a, CieLab b)
{
    const double dL = a.L - b.L, da = a.a - b.a, db = a.b - b.b;
    return static_cast<float>(std::sqrt(dL * dL + da * da + db * db));
}

ColourValues colourValues(const float resampled[kResampledCount],
    const float weights[kResampledCount], const CieTables& tables, float step)
{
    double sumX = 0, sumY = 0, sumZ = 0, whiteX = 0, whiteY = 0, whiteZ = 0;
    for (int i = 0; i < kResampledCount; ++i) {
        const double row = tableRowOf(i, step);
        if (row < 0.0)
            break;
        const double s = weights[i];
        const double xBar = valueAtRow(tables.observer[0], row);
        const double yBar = valueAtRow(tables.observer[1], row);
        const double zBar = valueAtRow(tables.observer[2], row);
        sumX += s * xBar * resampled[i];
        sumY += s * yBar * resampled[i];
        sumZ += s * zBar * resampled[i];
        whiteX += s * xBar;
        whiteY += s * yBar;
        whiteZ += s * zBar;
    }
    const double k = ratio(100.0, whiteY);

    ColourValues values;
    values.sample = {
        static_cast<float>(k * sumX), static_cast<float>(k * sumY), static_cast<float>(k * sumZ)};
    values.white = {static_cast<float>(k * whiteX), whiteY != 0.0 ? 100.0f : 0.0f,
        static_cast<float>(k * whiteZ)};
    const double total = static_cast<double>(values.sample.X) + values.sample.Y + values.sample.Z;
    values.x = static_cast<float>(ratio(values.sample.X, total));
    values.y = static_cast<float>(ratio(values.sample.Y, total));
    values.z = static_cast<float>(ratio(values.sample.Z, total));
    values.lab = cieLab(values.sample, values.white);
    values.luv = cieLuv(values.sample, values.white, values.lab.L);
    return values;
}

} // namespace lt
