#include "instrument/spectrometer/SpectrometerProcessing.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "instrument/spectrometer/StrayLight.h"

namespace lt {
namespace {

constexpr std::uint8_t kAcquireZeroByte = 7;
constexpr std::uint8_t kAcquireDarkOnlyByte = 6;
constexpr std::uint8_t kAcquireDensityByte = 5;
constexpr std::uint8_t kAcquireStandardByte = 2;
constexpr int kIntegrationCodes = 9;
constexpr std::uint32_t kPauseIntegrationMs[kIntegrationCodes] = {
    40, 80, 160, 320, 640, 1280, 2560, 5200, 10400};
constexpr std::uint32_t kNominalIntegrationMs[kIntegrationCodes] = {
    40, 80, 160, 320, 640, 1280, 2560, 5120, 10240};

bool isDark(unsigned char command)
{
    return command == kCommandDark || command == kCommandDarkOnly || command == kCommandDarkWindow;
}
bool isWhite(unsigned char command)
{
    return command == kCommandWhite || command == kCommandZero;
}
bool isDensity(unsigned char command)
{
    return command == kCommandDensity || command == kCommandDensity31;
}
bool isReflectance(unsigned char command)
{
    return command == kCommandReflectance || command == kCommandReflectance6 ||
        command == kCommandReflectance7 || command == kCommandReflectance32;
}

// The window of the correction: the host's for the dark references that set
// it, the stored one otherwise; copied both ways so the record shows it.
void takeWindow(SpectrometerData& state, Aquire& record, unsigned char command)
{
    if (command == kCommandDark || command == kCommandDarkWindow) {
        state.windowFirst = record.FirstPixel;
        state.windowLast = record.LastPixel;
    } else {
        record.FirstPixel = state.windowFirst;
        record.LastPixel = state.windowLast;
    }
}

void correctWindow(SpectrometerData& state, Aquire& record, int count)
{
    const int first = state.firstPixel();
    std::copy(std::begin(state.working), std::end(state.working), state.corrected);
    const int windowFirst = state.windowFirst;
    const int windowLast = std::min<int>(state.windowLast, kPixelCapacity - 1);
    if (windowFirst <= windowLast)
        correctStrayLight(state.working, windowFirst, windowLast, state.corrected);

    // Received pixels outside the window keep their raw count, so that no
    // value of an earlier acquisition is left in the record.
    for (int i = 0; i < count; ++i)
        record.Counts[i] = state.corrected[first + i];
    for (int k = std::max(windowFirst, first); k <= windowLast && k - first < kAquireMaxCounts; ++k)
        record.Counts[k - first] = state.corrected[k];
}

} // namespace

std::uint8_t acquisitionByteFor(unsigned char command)
{
    switch (command) {
    case kCommandZero:
        return kAcquireZeroByte;
    case kCommandDarkOnly:
        return kAcquireDarkOnlyByte;
    case kCommandDensity31:
    case kCommandReflectance32:
        return kAcquireDensityByte;
    default:
        return kAcquireStandardByte;
    }
}

std::uint32_t pauseIntegrationMs(std::uint8_t code)
{
    return (code >= 1 && code <= kIntegrationCodes) ? kPauseIntegrationMs[code - 1] : 0;
}

std::uint32_t nominalIntegrationMs(std::uint8_t code)
{
    return (code >= 1 && code <= kIntegrationCodes) ? kNominalIntegrationMs[code - 1] : 0;
}

std::uint32_t instrumentIntegrationMs(std::uint8_t code)
{
    return code < kIntegrationCodes ? kNominalIntegrationMs[code] : 0;
}

std::uint64_t integrationBeyondMs(
    std::uint8_t code, std::uint8_t scans, std::uint32_t coveredPerScanMs)
{
    const std::uint32_t integration = instrumentIntegrationMs(code);
    return integration > coveredPerScanMs ? std::uint64_t {integration - coveredPerScanMs} * scans
                                          : 0;
}

void placeReceivedCounts(SpectrometerData& state, const std::uint8_t* values, int count)
{
    const int first = state.firstPixel();
    std::fill(std::begin(state.working), std::end(state.working), kUnreceivedCount);
    for (int i = 0; i < count; ++i)
        state.working[first + i] =
            static_cast<std::uint16_t>(values[2 * i] << 8 | values[2 * i + 1]);
    if (count == 0)
        return;
    // The rest of the sensor line repeats the nearest received value.
    std::fill(state.working, state.working + first, state.working[first]);
    const int end = first + count;
    if (end < kSensorPixels)
        std::fill(state.working + end, state.working + kSensorPixels, state.working[end - 1]);
}

void updateReferences(SpectrometerData& state, unsigned char command, int count)
{
    const int first = state.firstPixel();
    for (int p = first; p < first + count; ++p) {
        const int signal = static_cast<int>(state.corrected[p]) - state.dark[p];
        if (isDark(command)) {
            state.dark[p] = state.corrected[p];
        } else if (isWhite(command)) {
            // A white below the dark level has no light to compare with.
            state.white[p] = static_cast<std::uint16_t>(std::max(signal, 0));
        } else if (isDensity(command)) {
            // A sample at or below the dark level reads as one count: the
            // densest value this white reference can resolve.
            state.result[p] = state.white[p] > 0
                ? static_cast<float>(
                      std::log10(static_cast<double>(state.white[p]) / std::max(signal, 1)))
                : 0.0f;
        } else if (isReflectance(command)) {
            state.result[p] =
                state.white[p] > 0 ? static_cast<float>(signal) / state.white[p] : 0.0f;
        }
    }
}

void computeColourValues(SpectrometerData& state, Aquire& record)
{
    float resampled[kResampledCount];
    float weights[kResampledCount];
    resampleSpectrum(state.result, kPixelCapacity, state.calibration, record.HighWavelength,
        record.Step, resampled);
    illuminantWeights(state.tables, record.Illuminant, weights, record.Step);
    const ColourValues values = colourValues(resampled, weights, state.tables, record.Step);

    const CieLab previous {record.Lab[0], record.Lab[1], record.Lab[2]};
    record.XYZ[0] = values.sample.X;
    record.XYZ[1] = values.sample.Y;
    record.XYZ[2] = values.sample.Z;
    record.Chromaticity[0] = values.x;
    record.Chromaticity[1] = values.y;
    record.Chromaticity[2] = values.z;
    record.DeltaE = deltaE76(values.lab, previous);
    record.Lab[0] = values.lab.L;
    record.Lab[1] = values.lab.a;
    record.Lab[2] = values.lab.b;
    record.Luv[0] = values.luv.L;
    record.Luv[1] = values.luv.u;
    record.Luv[2] = values.luv.v;
    state.last = values.sample;
    state.whitePoint = values.white;
}

void processAcquisition(SpectrometerData& state, Aquire& record, unsigned char command,
    const std::uint8_t* values, int count)
{
    count = std::clamp(count, 0, kAquireMaxCounts);
    placeReceivedCounts(state, values, count);
    takeWindow(state, record, command);
    correctWindow(state, record, count);
    updateReferences(state, command, count);
    if (command != kCommandDarkOnly)
        computeColourValues(state, record);
}

} // namespace lt
