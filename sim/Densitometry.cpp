#include "Densitometry.h"

#include <cmath>

#include "Colorimetry.h"

namespace ltsim {

namespace {

// One colour channel of a filter set: peak and full width at half maximum of its response.
struct ChannelResponse {
    double peak; // [nm]
    double bandwidth; // [nm]
};

struct FilterSet {
    ChannelResponse red, green, blue;
};

// Wide-band filters (ANSI T, DIN) look at more of an ink's absorption band than
// the narrow-band ones (ANSI A, DIN NB); ANSI E differs from T in its blue channel.
FilterSet filterSet(DensityFilter filter)
{
    switch (filter) {
    case DensityFilter::AnsiA:
        return {{612, 38}, {536, 38}, {442, 38}};
    case DensityFilter::AnsiT:
        return {{610, 60}, {540, 50}, {440, 55}};
    case DensityFilter::Din:
        return {{620, 70}, {540, 60}, {445, 60}};
    case DensityFilter::DinNarrowBand:
        return {{625, 20}, {545, 20}, {450, 20}};
    case DensityFilter::AnsiE:
        return {{610, 60}, {540, 50}, {430, 40}};
    }
    return {{610, 60}, {540, 50}, {440, 55}};
}

constexpr double kFirstWavelength = 380.0; // [nm]
constexpr double kLastWavelength = 780.0; // [nm]
constexpr double kStep = 5.0; // [nm]

template <typename Response>
double weightedDensity(const SpectralCurve& remission, Response response)
{
    double weighted = 0.0, total = 0.0;
    for (double wavelength = kFirstWavelength; wavelength <= kLastWavelength; wavelength += kStep) {
        double w = response(wavelength);
        weighted += w * remission.at(wavelength);
        total += w;
    }
    double r = weighted / total;
    double floor = std::pow(10.0, -kMaxDensity);
    return r > floor ? -std::log10(r) : kMaxDensity;
}

double bandDensity(const SpectralCurve& remission, ChannelResponse channel)
{
    return weightedDensity(remission, [&](double wavelength) {
        return gaussianBand(wavelength, channel.peak, channel.bandwidth);
    });
}

} // namespace

ProcessDensities statusDensities(const SpectralCurve& remission, DensityFilter filter)
{
    FilterSet set = filterSet(filter);
    ProcessDensities result;
    result.black = weightedDensity(remission, luminousEfficiency);
    result.cyan = bandDensity(remission, set.red);
    result.magenta = bandDensity(remission, set.green);
    result.yellow = bandDensity(remission, set.blue);
    return result;
}

} // namespace ltsim
