#include "Colorimetry.h"

#include <cmath>

#include "CieTables.h"

namespace ltsim {

namespace {

using namespace cie;

const double* powerTable(Illuminant illuminant)
{
    switch (illuminant) {
    case Illuminant::A:
        return kIlluminantA;
    case Illuminant::C:
        return kIlluminantC;
    case Illuminant::D50:
        return kIlluminantD50;
    case Illuminant::D55:
        return kIlluminantD55;
    case Illuminant::D65:
        return kIlluminantD65;
    case Illuminant::D75:
        return kIlluminantD75;
    case Illuminant::E:
        return kIlluminantE;
    }
    return kIlluminantD50;
}

struct MatchingFunctions {
    const double* x;
    const double* y;
    const double* z;
};

MatchingFunctions matchingFunctions(Observer observer)
{
    if (observer == Observer::TenDegree)
        return {kObserver10X, kObserver10Y, kObserver10Z};
    return {kObserver2X, kObserver2Y, kObserver2Z};
}

double wavelengthOf(int index)
{
    return kCieFirstWavelength + kCieStep * index;
}

// CIE 1976 lightness function and its linear part near black.
double labFunction(double ratio)
{
    constexpr double kEpsilon = 216.0 / 24389.0;
    constexpr double kKappa = 24389.0 / 27.0;
    return ratio > kEpsilon ? std::cbrt(ratio) : (kKappa * ratio + 16.0) / 116.0;
}

} // namespace

Tristimulus tristimulus(const SpectralCurve& remission, Illuminant illuminant, Observer observer)
{
    const double* power = powerTable(illuminant);
    MatchingFunctions cmf = matchingFunctions(observer);
    double sumX = 0.0, sumY = 0.0, sumZ = 0.0, normaliser = 0.0;
    for (int i = 0; i < kCieSamples; ++i) {
        double r = remission.at(wavelengthOf(i));
        sumX += power[i] * cmf.x[i] * r;
        sumY += power[i] * cmf.y[i] * r;
        sumZ += power[i] * cmf.z[i] * r;
        normaliser += power[i] * cmf.y[i];
    }
    double k = 100.0 / normaliser;
    return {k * sumX, k * sumY, k * sumZ};
}

Tristimulus whitePoint(Illuminant illuminant, Observer observer)
{
    return tristimulus(
        SpectralCurve::fromFunction([](double) { return 1.0; }), illuminant, observer);
}

CieLab cieLab(const Tristimulus& sample, const Tristimulus& white)
{
    double fx = labFunction(sample.x / white.x);
    double fy = labFunction(sample.y / white.y);
    double fz = labFunction(sample.z / white.z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

SpectralCurve illuminantPower(Illuminant illuminant)
{
    const double* power = powerTable(illuminant);
    constexpr int kIndex560 = (560 - kCieFirstWavelength) / kCieStep;
    double reference = power[kIndex560];
    return SpectralCurve::fromFunction([&](double wavelength) {
        double position = (wavelength - kCieFirstWavelength) / kCieStep;
        int index = position < 0         ? 0
            : position > kCieSamples - 1 ? kCieSamples - 1
                                         : static_cast<int>(position + 0.5);
        return power[index] / reference;
    });
}

} // namespace ltsim
