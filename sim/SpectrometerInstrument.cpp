#include "SpectrometerInstrument.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "SpectrometerStrayLight.h"

namespace ltsim {

namespace {

constexpr char kProbe[] = "CCP\r\n";
constexpr std::size_t kProbeBytes = 5;
constexpr std::size_t kCalibrationBytes = 13;
constexpr std::size_t kParameterBytes = 7;

constexpr std::uint8_t kCommandParameters = 0x01;
constexpr std::uint8_t kCommandCalibration = 0x03;
constexpr std::uint8_t kAcquireSample = 0x02;
constexpr std::uint8_t kAcquireDensity = 0x05;
constexpr std::uint8_t kAcquireDark = 0x06;
constexpr std::uint8_t kAcquireWhite = 0x07;

// Integration times 40, 80, ... 10240 ms by the codes 0 ... 8.
constexpr double kShortestIntegrationMs = 40.0;
constexpr int kLongestIntegrationCode = 8;

// Counts of the white reference at the lamp's and sensor's most sensitive
// wavelength, for 640 ms at gain 1.
constexpr double kWhitePeakCounts = 40000.0;
constexpr double kReferenceIntegrationMs = 640.0;
// Every read-out, dark or lit, sits on this pedestal of the sensor and the
// housing; the library's stray-light correction takes it off as a fixed amount.
constexpr double kPedestalCounts = 210.0;
// Dark signal above the pedestal: amplifier offset plus thermal current, with a
// fixed pattern over the pixels.
constexpr double kDarkOffsetCounts = 390.0;
constexpr double kDarkCountsPerMs = 0.5;
constexpr double kDarkPatternCounts = 25.0;

// Wavelengths of pixels 52 and 188, sent with the calibration.
constexpr std::uint8_t kPixelAt380 = 52;
constexpr std::uint8_t kPixelAt780 = 188;
constexpr std::uint8_t kDirectionAscending = 1;

// A heat-absorbing filter in the lamp's path blocks the near infrared, which
// would otherwise flood the line with stray light: half transmission here.
constexpr double kInfraredCutEdge = 790.0; // [nm]
constexpr double kInfraredCutWidth = 8.0; // [nm]

double pixelWavelength(int pixel)
{
    return kSpectrometerZero + kSpectrometerSlope * pixel;
}

// Unscaled signal of a tungsten-halogen lamp (black body near 2900 K) behind
// the infrared filter, seen by a silicon line sensor.
double unscaledLampAndSensor(double wavelength)
{
    double metres = wavelength * 1e-9;
    double planck = 1.0 / (std::pow(metres, 5.0) * (std::exp(1.4388e-2 / (metres * 2900.0)) - 1.0));
    double sensor = gaussianBand(wavelength, 650.0, 420.0) * logisticStep(wavelength, 360.0, 18.0);
    double filter = 1.0 - logisticStep(wavelength, kInfraredCutEdge, kInfraredCutWidth);
    return planck * sensor * filter;
}

// The same, 1.0 at its maximum.
double lampAndSensor(double wavelength)
{
    static const double peak = [] {
        double best = 0.0;
        for (double nm = 300.0; nm <= 1000.0; nm += 1.0)
            best = std::max(best, unscaledLampAndSensor(nm));
        return best;
    }();
    return unscaledLampAndSensor(wavelength) / peak;
}

void appendBigEndian(std::string& out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

} // namespace

SpectrometerInstrument::SpectrometerInstrument(Bench& bench) : bench_(bench)
{
}

double SpectrometerInstrument::integrationTimeMs(std::uint8_t code)
{
    return kShortestIntegrationMs * std::pow(2.0, std::min<int>(code, kLongestIntegrationCode));
}

std::size_t SpectrometerInstrument::requestLength(std::string_view pending, bool lineIdle) const
{
    if (pending.empty())
        return 0;
    auto first = static_cast<std::uint8_t>(pending[0]);
    std::size_t needed = 1;
    if (first == kProbe[0]) {
        std::size_t compare = std::min(pending.size(), kProbeBytes);
        if (pending.substr(0, compare) != std::string_view(kProbe, compare))
            return 1; // noise
        needed = kProbeBytes;
    } else if (first == kCommandParameters) {
        needed = 1 + kParameterBytes;
    }
    if (pending.size() >= needed)
        return needed;
    return lineIdle ? pending.size() : 0;
}

std::size_t SpectrometerInstrument::replyLength(std::string_view request) const
{
    if (request == kProbe)
        return kProbeBytes;
    if (request.size() == 1 + kParameterBytes &&
        static_cast<std::uint8_t>(request[0]) == kCommandParameters)
        return kParameterBytes;
    if (request.size() != 1)
        return 0;
    switch (static_cast<std::uint8_t>(request[0])) {
    case kCommandCalibration:
        return kCalibrationBytes;
    case kAcquireSample:
    case kAcquireDensity:
    case kAcquireDark:
    case kAcquireWhite: {
        int count = std::max(0, parameters_.lastPixel - parameters_.firstPixel + 1);
        return 2 + 2 * static_cast<std::size_t>(count);
    }
    }
    return 0;
}

Reply SpectrometerInstrument::answer(std::string_view request)
{
    if (request == kProbe)
        return Reply {std::string(request), 0, std::nullopt};
    if (request.size() == 1 + kParameterBytes &&
        static_cast<std::uint8_t>(request[0]) == kCommandParameters) {
        return newParameters(request);
    }
    if (request.size() != 1)
        return {};
    auto command = static_cast<std::uint8_t>(request[0]);
    if (command == kCommandCalibration)
        return calibration();
    if (command == kAcquireSample || command == kAcquireDensity || command == kAcquireDark ||
        command == kAcquireWhite) {
        return acquisition(command);
    }
    return {};
}

Reply SpectrometerInstrument::calibration() const
{
    std::string reply;
    appendBigEndian(reply, kSpectrometerSlope);
    appendBigEndian(reply, kSpectrometerZero);
    const std::uint8_t tail[5] = {kDirectionAscending, 0, kPixelAt380, 0, kPixelAt780};
    reply.append(reinterpret_cast<const char*>(tail), sizeof tail);
    return Reply {reply, 0, std::nullopt};
}

Reply SpectrometerInstrument::newParameters(std::string_view request)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(request.data() + 1);
    Parameters p;
    p.integrationCode = bytes[0];
    p.gainCode = bytes[1];
    p.scans = std::max<std::uint8_t>(bytes[2], 1);
    p.firstPixel = std::min(bytes[4] | (bytes[5] << 8), kSpectrometerPixels - 1);
    p.lastPixel = std::min<int>(bytes[6], kSpectrometerPixels - 1);
    parameters_ = p;
    lampOn_ = false;
    return Reply {std::string(request.substr(1)), 0, std::nullopt};
}

std::array<std::uint16_t, kSpectrometerPixels> SpectrometerInstrument::acquire(Light light)
{
    double timeMs = integrationTimeMs(parameters_.integrationCode);
    double gain = parameters_.gainCode == 1 ? 2.0 : 1.0;
    double signalScale = kWhitePeakCounts * timeMs / kReferenceIntegrationMs * gain;
    SpectralCurve remission;
    if (light == Light::WhiteReference)
        remission = SpectralCurve::fromFunction([](double) { return 1.0; });
    if (light == Light::Sample)
        remission = bench_.remissionUnderHead(false);
    // Read-out noise, averaged over the scans.
    std::normal_distribution<double> noise(
        0.0, bench_.noise * kSpectrometerFullScale / std::sqrt(double(parameters_.scans)));
    PixelLight direct {};
    if (light != Light::Dark) {
        for (int pixel = 0; pixel < kSpectrometerPixels; ++pixel) {
            double wavelength = pixelWavelength(pixel);
            direct[pixel] = signalScale * lampAndSensor(wavelength) * remission.at(wavelength);
        }
    }
    const PixelLight signal = withStrayLight(direct, parameters_.firstPixel, parameters_.lastPixel);
    std::array<std::uint16_t, kSpectrometerPixels> counts {};
    for (int pixel = 0; pixel < kSpectrometerPixels; ++pixel) {
        double dark = kPedestalCounts + kDarkOffsetCounts + kDarkCountsPerMs * timeMs +
            kDarkPatternCounts * std::sin(pixel * 0.7);
        double value = dark + signal[pixel] + (bench_.noise > 0.0 ? noise(bench_.random) : 0.0);
        counts[pixel] = static_cast<std::uint16_t>(
            std::clamp(std::lround(value), 0L, long {kSpectrometerFullScale}));
    }
    return counts;
}

Reply SpectrometerInstrument::acquisition(std::uint8_t command)
{
    Light light = Light::Sample;
    if (command == kAcquireDark)
        light = Light::Dark;
    if (command == kAcquireWhite) {
        light = Light::WhiteReference;
        lampOn_ = true;
    }
    if (!lampOn_)
        light = Light::Dark;
    auto counts = acquire(light);
    int count = std::max(0, parameters_.lastPixel - parameters_.firstPixel + 1);
    std::string reply;
    reply.push_back(static_cast<char>(count >> 8));
    reply.push_back(static_cast<char>(count & 0xFF));
    for (int i = 0; i < count; ++i) {
        std::uint16_t value = counts[parameters_.firstPixel + i];
        reply.push_back(static_cast<char>(value >> 8));
        reply.push_back(static_cast<char>(value & 0xFF));
    }
    double workMs = integrationTimeMs(parameters_.integrationCode) * parameters_.scans;
    return Reply {reply, static_cast<unsigned>(workMs), std::nullopt};
}

} // namespace ltsim
