#include "Densitometry.h"

#include <cmath>

#include "StatusResponses.h"

namespace ltsim {

namespace {

// Density of a remission weighted by a response, down to the darkest the
// instrument resolves.
double densityOf(double weighted, double total)
{
    const double r = total > 0.0 ? weighted / total : 0.0;
    const double floor = std::pow(10.0, -kMaxDensity);
    return r > floor ? -std::log10(r) : kMaxDensity;
}

double productDensity(const SpectralCurve& remission, const SpectralProduct& product)
{
    double weighted = 0.0, total = 0.0;
    for (std::size_t i = 0; i < product.values.size(); ++i) {
        const double wavelength =
            product.firstWavelength + kSpectralProductStep * static_cast<double>(i);
        weighted += product.values[i] * remission.at(wavelength);
        total += product.values[i];
    }
    return densityOf(weighted, total);
}

// Narrow-band (interference) filters: peak and full width at half maximum.
struct NarrowBand {
    double peak; // [nm]
    double bandwidth; // [nm]
};
constexpr NarrowBand kNarrowRed {625, 20}, kNarrowGreen {545, 20}, kNarrowBlue {450, 20};
constexpr double kBandFirstWavelength = 380.0; // [nm]
constexpr double kBandLastWavelength = 780.0; // [nm]
constexpr double kBandStep = 5.0; // [nm]

double bandDensity(const SpectralCurve& remission, NarrowBand band)
{
    double weighted = 0.0, total = 0.0;
    for (double wavelength = kBandFirstWavelength; wavelength <= kBandLastWavelength;
         wavelength += kBandStep) {
        const double w = gaussianBand(wavelength, band.peak, band.bandwidth);
        weighted += w * remission.at(wavelength);
        total += w;
    }
    return densityOf(weighted, total);
}

// ANSI A, T and E are ISO Status A, T and E; DIN 16536's wide band is the
// origin of Status E and reads the same.
const StatusResponse* statusOf(DensityFilter filter)
{
    switch (filter) {
    case DensityFilter::AnsiA:
        return &statusA();
    case DensityFilter::AnsiT:
        return &statusT();
    case DensityFilter::Din:
    case DensityFilter::AnsiE:
        return &statusE();
    case DensityFilter::DinNarrowBand:
        return nullptr;
    }
    return &statusT();
}

} // namespace

ProcessDensities statusDensities(const SpectralCurve& remission, DensityFilter filter)
{
    ProcessDensities result;
    result.black = productDensity(remission, visualProduct());
    if (const StatusResponse* status = statusOf(filter)) {
        result.cyan = productDensity(remission, status->red);
        result.magenta = productDensity(remission, status->green);
        result.yellow = productDensity(remission, status->blue);
    } else {
        result.cyan = bandDensity(remission, kNarrowRed);
        result.magenta = bandDensity(remission, kNarrowGreen);
        result.yellow = bandDensity(remission, kNarrowBlue);
    }
    return result;
}

} // namespace ltsim
