#include "Measurement.h"

#include <cmath>

#include "PrintModel.h"

namespace ltsim {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct UvPrime {
    double u, v;
};

UvPrime uvPrime(const Tristimulus& t)
{
    double denominator = t.x + 15.0 * t.y + 3.0 * t.z;
    if (!(denominator > 0.0))
        return {0.0, 0.0};
    return {4.0 * t.x / denominator, 9.0 * t.y / denominator};
}

double hueAngle(double a, double b)
{
    double degrees = std::atan2(b, a) * 180.0 / kPi;
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

std::array<float, 3> toFloats(double a, double b, double c)
{
    return {static_cast<float>(a), static_cast<float>(b), static_cast<float>(c)};
}

} // namespace

std::optional<Illuminant> illuminantOfCode(char code)
{
    switch (code) {
    case '0':
        return Illuminant::A;
    case '1':
        return Illuminant::C;
    case '2':
        return Illuminant::D65;
    case '3':
        return Illuminant::D50;
    case '4':
        return Illuminant::D75;
    case '5':
        return Illuminant::E;
    case '8':
        return Illuminant::D55;
    }
    return std::nullopt;
}

std::optional<Observer> observerOfCode(char code)
{
    if (code == '0')
        return Observer::TwoDegree;
    if (code == '1')
        return Observer::TenDegree;
    return std::nullopt;
}

std::optional<DensityFilter> filterOfCode(char code)
{
    switch (code) {
    case '0':
        return DensityFilter::AnsiA;
    case '1':
        return DensityFilter::AnsiT;
    case '2':
        return DensityFilter::Din;
    case '3':
        return DensityFilter::DinNarrowBand;
    case '8':
        return DensityFilter::AnsiE;
    }
    return std::nullopt;
}

SpectralCurve spectrumInMode(const SpectralCurve& remission,
    const MeasurementConditions& conditions, const PrintModel& print)
{
    switch (conditions.mode) {
    case MeasureMode::Reflection:
        return remission;
    case MeasureMode::Transmission:
        return print.filmTransmittance(remission);
    case MeasureMode::Emission:
        return illuminantPower(
            illuminantOfCode(conditions.illuminantCode).value_or(Illuminant::D50));
    }
    return remission;
}

Measurement measure(const SpectralCurve& spectrum, const MeasurementConditions& conditions)
{
    Illuminant illuminant = illuminantOfCode(conditions.illuminantCode).value_or(Illuminant::D50);
    Observer observer = observerOfCode(conditions.observerCode).value_or(Observer::TwoDegree);
    DensityFilter filter = filterOfCode(conditions.filterCode).value_or(DensityFilter::AnsiT);

    Measurement result;
    Reading& reading = result.reading;
    for (int i = 0; i < 36; ++i)
        reading.spectrum[i] = static_cast<float>(spectrum.at(380.0 + 10.0 * i));
    Tristimulus xyz = tristimulus(spectrum, illuminant, observer);
    result.white = whitePoint(illuminant, observer);
    CieLab lab = cieLab(xyz, result.white);
    reading.xyz[0] = static_cast<float>(xyz.x);
    reading.xyz[1] = static_cast<float>(xyz.y);
    reading.xyz[2] = static_cast<float>(xyz.z);
    reading.lab[0] = static_cast<float>(lab.l);
    reading.lab[1] = static_cast<float>(lab.a);
    reading.lab[2] = static_cast<float>(lab.b);
    double sum = xyz.x + xyz.y + xyz.z;
    reading.xyY[0] = static_cast<float>(sum > 0.0 ? xyz.x / sum : 0.0);
    reading.xyY[1] = static_cast<float>(sum > 0.0 ? xyz.y / sum : 0.0);
    reading.xyY[2] = static_cast<float>(xyz.y);
    ProcessDensities d = statusDensities(spectrum, filter);
    const double channels[4] = {d.black, d.cyan, d.magenta, d.yellow};
    for (int i = 0; i < 4; ++i)
        reading.density[i] = static_cast<float>(channels[i] * conditions.densitySlopes[i]);
    return result;
}

std::optional<std::array<float, 3>> colourSpaceTriple(const Measurement& measurement, int space)
{
    const Reading& r = measurement.reading;
    Tristimulus xyz {r.xyz[0], r.xyz[1], r.xyz[2]};
    double l = r.lab[0], a = r.lab[1], b = r.lab[2];
    UvPrime sample = uvPrime(xyz), white = uvPrime(measurement.white);
    double u = 13.0 * l * (sample.u - white.u), v = 13.0 * l * (sample.v - white.v);
    switch (space) {
    case 0:
        return std::array<float, 3> {r.xyY[0], r.xyY[1], r.xyY[2]};
    case 1:
        return std::array<float, 3> {r.lab[0], r.lab[1], r.lab[2]};
    case 2:
        return toFloats(l, std::hypot(a, b), hueAngle(a, b));
    case 3:
        return toFloats(l, u, v);
    case 4:
        return std::array<float, 3> {r.xyz[0], r.xyz[1], r.xyz[2]};
    case 5:
        return toFloats(l, std::hypot(u, v), hueAngle(u, v));
    case 6: {
        // Hunter Lab on the white point in force.
        double yr = xyz.y / measurement.white.y;
        double root = std::sqrt(yr);
        if (!(root > 0.0))
            return toFloats(0.0, 0.0, 0.0);
        double ka = 175.0 / 198.04 * (measurement.white.x + measurement.white.y);
        double kb = 70.0 / 218.11 * (measurement.white.y + measurement.white.z);
        return toFloats(100.0 * root, ka * (xyz.x / measurement.white.x - yr) / root,
            kb * (yr - xyz.z / measurement.white.z) / root);
    }
    }
    return std::nullopt;
}

} // namespace ltsim
