#include "core/instrument_page/SpectrometerSession.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "core/common/AppPaths.h"
#include "core/common/NumberText.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtStatus.h"

namespace lt {

namespace {

constexpr std::size_t kTableNameLength = 80; // characters of a table file name from the settings
constexpr std::uint16_t kSpectrometerBaudRate = 19200;
const char* const kScansStep = "Scans";

// The spectrometer sends its calibration as big-endian IEEE floats.
double bigEndianFloat(const std::uint8_t bytes[4])
{
    const std::uint32_t raw = static_cast<std::uint32_t>(bytes[0]) << 24 |
        static_cast<std::uint32_t>(bytes[1]) << 16 | static_cast<std::uint32_t>(bytes[2]) << 8 |
        bytes[3];
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

// A table file from the settings: absolute names stay; a relative one is
// taken from the config directory when the operator put one there, else
// from the data the program ships.
void copyTablePath(const std::string& settingsName, char (&target)[kFileNameLength])
{
    std::string name = settingsName.substr(0, kTableNameLength);
    std::string path = name;
    if (!name.empty() && name.front() != '/') {
        std::error_code error;
        const std::string own = resolveConfigPath(name);
        path = std::filesystem::exists(own, error) ? own : dataFile(name);
    }
    std::memset(target, 0, sizeof target);
    std::memcpy(target, path.data(), std::min(path.size(), sizeof target - 1));
}

} // namespace

CountStatistics countStatistics(
    const Aquire& record, int windowStart, int firstPixel, int lastPixel)
{
    CountStatistics statistics;
    const int received = std::min<int>(record.Count, kAquireMaxCounts);
    const int first = std::max(firstPixel - windowStart, 0);
    const int last = std::min(lastPixel - windowStart, received - 1);
    if (last < first)
        return statistics;
    const int n = last - first + 1;
    long long sum = 0;
    statistics.minimum = record.Counts[first];
    statistics.minimumPixel = static_cast<std::uint16_t>(first + windowStart);
    statistics.maximum = record.Counts[first];
    statistics.maximumPixel = statistics.minimumPixel;
    for (int i = first; i <= last; ++i) {
        const std::uint16_t count = record.Counts[i];
        sum += count;
        if (count < statistics.minimum) {
            statistics.minimum = count;
            statistics.minimumPixel = static_cast<std::uint16_t>(i + windowStart);
        }
        if (count > statistics.maximum) {
            statistics.maximum = count;
            statistics.maximumPixel = static_cast<std::uint16_t>(i + windowStart);
        }
    }
    const long long mean = sum / n;
    double squares = 0;
    for (int i = first; i <= last; ++i) {
        const double deviation = static_cast<double>(record.Counts[i]) - static_cast<double>(mean);
        squares += deviation * deviation;
    }
    statistics.mean = static_cast<std::uint16_t>(mean);
    statistics.spread = static_cast<std::uint16_t>(std::sqrt(squares / n));
    return statistics;
}

int pixelOfWavelength(double wavelength, double slope, double zero)
{
    if (!(slope > 0))
        return 0;
    const double pixel = std::floor((wavelength - zero) / slope + 0.5);
    return static_cast<int>(std::clamp(pixel, 0.0, static_cast<double>(kLastSpectrometerPixel)));
}

std::string spectrometerValueLine(const Aquire& record)
{
    auto value = [](double number) { return formatFixed(number, 3, 6); };
    return " X= " + value(record.XYZ[0]) + ",   Y= " + value(record.XYZ[1]) +
        ",   Z= " + value(record.XYZ[2]) + ",     L= " + value(record.Lab[0]) +
        ",   a= " + value(record.Lab[1]) + ",   b= " + value(record.Lab[2]) +
        ",    dE= " + value(record.DeltaE);
}

void SpectrometerSession::loadTableFiles()
{
    Settings& settings = page.station.settings();
    copyTablePath(settings.load(keys::kObserverTableFile), fileNames.XYZFile);
    copyTablePath(settings.load(keys::kIlluminantTableFile), fileNames.ILLUMFile);
}

void SpectrometerSession::loadCalibration()
{
    slope = page.station.settings().loadSpectrometerSlope();
    zero = page.station.settings().loadSpectrometerZero();
}

void SpectrometerSession::closePort()
{
    if (InstrumentAccess::Exchange exchange = page.station.instrumentAccess().tryBegin())
        exchange.instrument().SpecPortClose();
}

void SpectrometerSession::useOwnAxis()
{
    WavelengthAxis& axis = page.axis;
    axis.slope = slope;
    axis.zero = zero;
    axis.firstPixel = pixelOfWavelength(page.minWavelength, slope, zero);
    axis.lastPixel = pixelOfWavelength(page.maxWavelength, slope, zero);
    axis.low = page.minWavelength;
    axis.high = page.maxWavelength;
}

void SpectrometerSession::abandon(const char* action)
{
    PageControls& state = page.state;
    state.darkRef = state.zeroRef = state.newParameter = false;
    state.transmissionButton = state.acquire = false;
    page.finished(action, page.result, false, kCancelledAcquisitionProblem);
}

unsigned long SpectrometerSession::sendParameters()
{
    parameters = NewParams {};
    parameters.IntegrationTime = static_cast<std::uint8_t>(page.integrationTime);
    parameters.Gain = static_cast<std::uint8_t>(page.gain);
    // The spectrometer integrates at least once per acquisition.
    parameters.Scans = static_cast<std::uint8_t>(std::clamp(page.scanCount, 1, 255));
    parameters.FirstPixel[0] = static_cast<std::uint8_t>(page.axis.firstPixel & 0xFF);
    parameters.FirstPixel[1] = static_cast<std::uint8_t>(page.axis.firstPixel >> 8);
    parameters.LastPixelLow = static_cast<std::uint8_t>(page.axis.lastPixel & 0xFF);
    InstrumentAccess::Exchange exchange = page.station.instrumentAccess().tryBegin();
    if (!exchange)
        return kStatusInstrumentBusy;
    return exchange.instrument().SpecNewParams(&parameters);
}

unsigned long SpectrometerSession::open()
{
    unsigned long status;
    {
        InstrumentAccess::Exchange exchange = page.station.instrumentAccess().tryBegin();
        if (!exchange)
            return kStatusInstrumentBusy;
        comPort = ComPort {};
        comPort.DeviceType = InstrumentPrototype;
        comPort.PortNumber = static_cast<std::uint16_t>(page.port);
        comPort.BaudRate = kSpectrometerBaudRate;
        comPort.ByteSize = 8;
        comPort.ProbeBaud = 1;
        loadTableFiles();
        status = exchange.instrument().SpecPortOpen(&comPort, &fileNames);
        if (status != kStatusOk)
            return status;
        status = exchange.instrument().SpecInitParams(&calibration);
    }
    PageControls& state = page.state;
    if (status == kStatusShortReply) {
        state.darkRef = state.zeroRef = state.newParameter = state.transmissionButton =
            state.acquire = false;
        page.station.op().showMessage(
            kErrorWithCommPower, kPageCaption, MessageButtons::Ok, MessageIcon::Stop);
        return status;
    }
    if (status != kStatusOk)
        return status;

    const double reportedSlope = bigEndianFloat(calibration.Slope);
    const double reportedZero = bigEndianFloat(calibration.Zero);
    // A calibration that cannot be a wavelength scale keeps the one in use.
    if (std::isfinite(reportedSlope) && reportedSlope > 0 && std::isfinite(reportedZero)) {
        slope = reportedSlope;
        zero = reportedZero;
    }
    Settings& settings = page.station.settings();
    settings.store(keys::kSpectrometerSlope, slope);
    settings.store(keys::kSpectrometerZero, zero);
    settings.store(keys::kSpectrometerDirection, calibration.Direction);
    settings.store(keys::kSpectrometerPixel380, calibration.Lambda380);
    settings.store(keys::kSpectrometerPixel780, calibration.Lambda780);
    useOwnAxis();

    status = sendParameters();
    if (status == kStatusOk) {
        state.darkRef = state.newParameter = state.transmissionButton = true;
        state.zeroRef = state.acquire = false;
    }
    return status;
}

void SpectrometerSession::initDevice(const DeviceType& type)
{
    if (!type.initialises) {
        page.finished(kInitDeviceAction, kStatusOk, false, kNoDeviceTypeProblem);
        page.changed();
        return;
    }
    page.servicePortOpen = false;
    page.result = open();
    if (page.result != kStatusOk && page.cancelled()) {
        page.finished(kInitDeviceAction, page.result, false, kCancelledProblem);
    } else {
        if (page.result != kStatusOk)
            page.reportCommTrouble();
        page.finished(kInitDeviceAction, page.result);
    }
    page.changed();
}

unsigned long SpectrometerSession::acquireInto(Aquire& record, unsigned char command)
{
    InstrumentAccess::Exchange exchange = page.station.instrumentAccess().tryBegin();
    if (!exchange)
        return kStatusInstrumentBusy;
    const WavelengthAxis& axis = page.axis;
    record.LowWavelength = static_cast<float>(page.minWavelength);
    record.HighWavelength = static_cast<float>(page.maxWavelength);
    record.Step = kResamplingStep;
    record.Illuminant = static_cast<std::uint8_t>(page.illuminant);
    record.FirstPixel = static_cast<std::uint16_t>(axis.firstPixel);
    record.LastPixel = static_cast<std::uint16_t>(axis.lastPixel);
    // The spectrometer integrates all scans before it answers: the display
    // counts them by the integration time.
    const int index = std::clamp<int>(
        parameters.IntegrationTime, 0, static_cast<int>(std::size(kIntegrationTimesMs)) - 1);
    page.report(kScansStep, 0, std::max<int>(parameters.Scans, 1),
        static_cast<unsigned>(kIntegrationTimesMs[index]));
    const unsigned long status = exchange.instrument().SpecAquire(&record, command, 0);
    if (status == kStatusOk) {
        const CountStatistics statistics =
            countStatistics(record, axis.firstPixel, record.FirstPixel, record.LastPixel);
        const std::uint16_t values[] = {statistics.minimum, statistics.minimumPixel,
            statistics.maximum, statistics.maximumPixel, statistics.spread, statistics.mean};
        std::copy(std::begin(values), std::end(values), record.Statistics);
        lastCommand = command;
        ++acquisitionCount;
    }
    return status;
}

bool SpectrometerSession::acquisitionGoesOn(unsigned long status, const char* action)
{
    if (status == kStatusInstrumentBusy)
        return false; // refused: another exchange runs
    page.result = status;
    if (status != kStatusOk && page.cancelled()) {
        abandon(action);
        page.changed();
        return false;
    }
    return true;
}

void SpectrometerSession::acquire(const DeviceType& type)
{
    const unsigned char command =
        page.measureMode() == MeasureReflection ? type.reflectionCommand : type.otherModeCommand;
    const unsigned long status = acquireInto(sample, command);
    if (!acquisitionGoesOn(status, kAcquireAction)) {
        page.result = status;
        return;
    }
    if (status == kStatusOk) {
        if (command == kCommandReflectance7)
            page.values = spectrometerValueLine(sample);
        else if (command == kCommandDensity)
            page.values.clear();
    }
    page.finished(kAcquireAction, status);
    page.changed();
}

void SpectrometerSession::remotePoll()
{
    // The spectrometer has no key: the poll ends and is not started again.
    page.state.acquire = false;
    page.changed();
}

void SpectrometerSession::newParameter(const DeviceType& type)
{
    if (!type.spectrometerControls) {
        page.changed();
        return;
    }
    page.stopRemote(true);
    WavelengthAxis& axis = page.axis;
    const WavelengthAxis before = axis;
    axis.firstPixel = pixelOfWavelength(page.minWavelength, axis.slope, axis.zero);
    axis.lastPixel = pixelOfWavelength(page.maxWavelength, axis.slope, axis.zero);
    page.result = sendParameters();
    if (page.result == kStatusOk) {
        axis.low = page.minWavelength;
        axis.high = page.maxWavelength;
        page.state.zeroRef = page.state.acquire = false;
    } else {
        axis = before;
    }
    page.finished(kNewParameterAction, page.result);
    page.changed();
}

void SpectrometerSession::darkReference()
{
    const unsigned long status = acquireInto(dark, kCommandDark);
    if (!acquisitionGoesOn(status, kDarkRefAction))
        return;
    if (status == kStatusOk) {
        page.state.zeroRef = true;
        page.state.acquire = false;
    } else if (status == kStatusDataIncomplete || status == kStatusPortNotOpen ||
        status == kStatusShortReply) {
        page.station.op().showMessage(
            kErrorWithComm, kPageCaption, MessageButtons::Ok, MessageIcon::Stop);
    }
    page.finished(kDarkRefAction, status);
    page.changed();
}

void SpectrometerSession::zeroReference()
{
    const unsigned long status = acquireInto(white, kCommandZero);
    if (!acquisitionGoesOn(status, kZeroRefAction))
        return;
    if (status == kStatusOk) {
        page.state.acquire = true;
        page.values.clear();
        // The first sample's colour difference is taken against ideal white.
        sample.Lab[0] = 100.0f;
        sample.Lab[1] = 0.0f;
        sample.Lab[2] = 0.0f;
    }
    page.finished(kZeroRefAction, status);
    page.changed();
}

} // namespace lt
