#include "core/instrument_page/InstrumentController.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "core/colour/ColorArithmetic.h"
#include "core/common/AppPaths.h"
#include "core/common/NumberText.h"
#include "core/settings/DensitySettings.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtClock.h"
#include "instrument/include/LtStatus.h"

namespace lt {

namespace {

constexpr std::size_t kIdentityDigits = 24;
constexpr std::size_t kIdentityCharacters = 11;
constexpr std::size_t kTableNameLength =
    80; // characters of a table file name taken from the settings
constexpr std::uint16_t kSpectrometerBaudRate = 19200;
constexpr unsigned long kDarkReferenceTimeout = 996; // the data were still incomplete

const char* const kCommTroublePrefix = "Trouble with Comm ";
const char* const kCommTroubleReasons =
    "\n\rPossible reasons: \nno instrument power, wrong port, port not present or occupied !";
// The actions as the status line names them.
const char* const kInitDeviceAction = "Init Device";
const char* const kAcquireAction = "Acquire";
const char* const kRemoteAction = "Remote";
const char* const kRemoteMeasurementAction = "Measurement by the instrument's key";
const char* const kNewParameterAction = "New Parameter";
const char* const kDarkRefAction = "DarkRef";
const char* const kZeroRefAction = "ZeroRef";
const char* const kMeasureModeAction = "Measure mode";
const char* const kTryingBaudStep = "Trying ";
const char* const kBaudUnit = " baud";
const char* const kScansStep = "Scans";

// 10000 is the library's "port not open": a failure like every code above it.
bool succeeded(unsigned long status)
{
    return status < kLinkFailureThreshold;
}

int hexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

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

std::string decodeIdentity(const char* hexDigits, std::size_t length)
{
    std::string text = "V";
    length = std::min(length, kIdentityDigits);
    for (std::size_t i = 0; i + 1 < length && text.size() <= kIdentityCharacters; i += 2) {
        const int high = hexValue(hexDigits[i]);
        const int low = hexValue(hexDigits[i + 1]);
        if (high <= 0 || low < 0)
            break; // a pair starting with "0" is a NUL and ends the text
        const int character = high * 16 + low;
        text.push_back(character >= 0x20 && character < 0x7F ? static_cast<char>(character) : '?');
    }
    return text;
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

InstrumentController::InstrumentController(Workstation& workstation, Beeper beeper)
    : station(workstation), beep(std::move(beeper))
{
    Settings& settings = station.settings();
    SharedRecord& record = station.record();

    port = settings.load(keys::kCommNumber);
    integrationTime = settings.load(keys::kIntegrationTime);
    brand = settings.load(keys::kBrand);
    gain = settings.load(keys::kGain);
    scanCount = settings.load(keys::kNumberOfScans);
    minWavelength = settings.load(keys::kMinWavelength);
    maxWavelength = settings.loadMaxWavelength(minWavelength);
    copyTablePath(settings.load(keys::kObserverTableFile), fileNames.XYZFile);
    copyTablePath(settings.load(keys::kIlluminantTableFile), fileNames.ILLUMFile);
    const bool remoteAtStart = settings.load(keys::kRemote) != 0;
    spectrometerSlope = settings.loadSpectrometerSlope();
    spectrometerZero = settings.loadSpectrometerZero();
    loadDensityParameters(settings, record.densityParameters);
    illuminant = record.densityParameters.integer(slot::kIllumType);

    type = std::clamp(brand, 0, kDeviceTypeCount - 1);
    record.instrumentType = type;
    record.beepOption = 1;
    useFixedAxis();

    state.acquire = true;
    state.spectrometerSettings = type == InstrumentPrototype;
    if (remoteAtStart)
        startRemote();
    if (port != 1 && port != 2)
        station.op().showMessage(
            kCommNotSupported, "", MessageButtons::Ok, MessageIcon::Exclamation);
}

int InstrumentController::measureMode() const
{
    return station.record().measureMode;
}

bool InstrumentController::beepOn() const
{
    return station.record().beepOption != 0;
}

void InstrumentController::finished(
    const char* action, unsigned long status, bool measurement, std::string problem)
{
    if (!onOutcome)
        return;
    // A measurement's small codes are the instrument's answers, not failures.
    const bool failed =
        !problem.empty() || (measurement ? !succeeded(status) : status != kStatusOk);
    onOutcome({action, status, port, measurement, failed, std::move(problem)});
}

void InstrumentController::changed()
{
    if (onChange)
        onChange();
}

void InstrumentController::beepSuccess()
{
    if (beepOn() && beep)
        beep(kBeepHz, kShortBeepMs);
}

void InstrumentController::beepFailure()
{
    if (!beepOn() || !beep)
        return;
    for (unsigned long frequency : {kBeepHz, kHighBeepHz, kBeepHz, kHighBeepHz})
        beep(frequency, kShortBeepMs);
}

bool InstrumentController::exchangeRunning() const
{
    return station.exchanges().running();
}

bool InstrumentController::runExchange(
    const char* action, bool cancellable, std::function<void()> work)
{
    return station.exchanges().start(
        action, cancellable, [this, work = std::move(work)](ExchangeControl& control) {
            runningExchange = &control;
            work();
            runningExchange = nullptr;
        });
}

bool InstrumentController::cancelled() const
{
    return runningExchange != nullptr && runningExchange->cancelRequested();
}

void InstrumentController::abandonSpectrometer(const char* action)
{
    state.darkRef = state.zeroRef = state.newParameter = false;
    state.transmissionButton = state.acquire = false;
    finished(action, result, false, kCancelledAcquisitionProblem);
}

void InstrumentController::useFixedAxis()
{
    axisSlope = kRemissionWavelengthStep;
    axisZero = kRemissionFirstWavelength;
    windowFirst = 0;
    windowLast = kRemissionPoints - 1;
    windowLow = kRemissionFirstWavelength;
    windowHigh = kRemissionLastWavelength;
}

void InstrumentController::useSpectrometerAxis()
{
    axisSlope = spectrometerSlope;
    axisZero = spectrometerZero;
    windowFirst = pixelOfWavelength(minWavelength, axisSlope, axisZero);
    windowLast = pixelOfWavelength(maxWavelength, axisSlope, axisZero);
    windowLow = minWavelength;
    windowHigh = maxWavelength;
}

void InstrumentController::startRemote()
{
    timerRunning = true;
    state.remoteOn = true;
    state.acquire = false;
}

void InstrumentController::stopRemote(bool writeSetting)
{
    timerRunning = false;
    state.remoteOn = false;
    if (writeSetting)
        station.settings().store(keys::kRemote, 0);
}

void InstrumentController::reportCommTrouble()
{
    const std::string text = std::string(kCommTroublePrefix) + " " + formatInteger(port) +
        " !\r\n " + kCommTroubleReasons;
    station.op().showMessage(text, "", MessageButtons::Ok, MessageIcon::Stop);
}

unsigned long InstrumentController::openWithBaudRetry()
{
    InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
    if (!exchange)
        return kStatusInstrumentBusy;
    CTaviSpec& instrument = exchange.instrument();
    comPort = ComPort {};
    comPort.DeviceType = static_cast<std::uint8_t>(type);
    comPort.PortNumber = static_cast<std::uint16_t>(port);
    comPort.ByteSize = 8;
    comPort.Handshake = type == InstrumentSpectrolino ? 0 : 1;
    identityText.clear();

    constexpr int rateCount = static_cast<int>(std::size(kBaudRetryRates));
    unsigned long status = kStatusPortNotOpen;
    for (int i = 0; i < rateCount; ++i) {
        if (cancelled())
            break;
        if (runningExchange)
            runningExchange->report(
                kTryingBaudStep + formatInteger(kBaudRetryRates[i]) + kBaudUnit, i, rateCount);
        FileNames identity {};
        comPort.BaudRate = kBaudRetryRates[i];
        comPort.Status = 0;
        comPort.Handle = nullptr;
        void* handle = instrument.GretagPortOpenAndInit(&comPort, &identity);
        if (handle != nullptr && handle != reinterpret_cast<void*>(~std::uintptr_t {0})) {
            identityText = decodeIdentity(identity.XYZFile, kIdentityDigits);
            return kStatusOk;
        }
        // An open that failed without naming a reason is still a failure.
        status = comPort.Status != 0 ? comPort.Status : kStatusPortNotOpen;
        if (comPort.Status != kStatusNoAnswerAtRate || i + 1 >= rateCount || cancelled())
            break;
        const std::string question = "Trouble with COM" + formatInteger(port) +
            ",\r\n Try next Baud rate: " + formatInteger(kBaudRetryRates[i + 1]) + " ?";
        if (station.op().showMessage(question, "COMPort Problem !", MessageButtons::YesNo,
                MessageIcon::Question) != MessageAnswer::Yes)
            break;
    }
    return status;
}

unsigned long InstrumentController::whiteReference()
{
    const unsigned long status = station.cycle().InitRemission();
    // A Lumatrak A without its table now runs as a Lumatrak S.
    type = station.record().instrumentType;
    return status;
}

void InstrumentController::initDevice()
{
    runExchange(kInitDeviceAction, true, [this] { initDeviceNow(); });
}

void InstrumentController::initDeviceNow()
{
    if (state.remoteOn || timerRunning) {
        stopRemote(true);
        state.remote = false;
    }
    if (type <= InstrumentSpectrolino) {
        result = openWithBaudRetry();
        servicePortOpen = result == kStatusOk && type == InstrumentLumatrakS;
        if (result != kStatusOk) {
            if (cancelled()) {
                finished(kInitDeviceAction, result, false, kCancelledProblem);
                changed();
                return;
            }
            reportCommTrouble();
            finished(kInitDeviceAction, result);
            changed();
            return;
        }
        state.darkRef = state.zeroRef = state.newParameter = false;
        state.transmissionButton = state.remote = state.acquire = false;
        changed();
        MessageAnswer answer = MessageAnswer::Ok;
        if (type == InstrumentLumatrakS)
            answer = station.op().showMessage("Place spectrophotometer \non white reference !",
                "Lumatrak S", MessageButtons::OkCancel, MessageIcon::Exclamation);
        else if (type == InstrumentLumatrakA)
            station.op().showMessage("The spectrophotometer will move\nonto white reference !",
                "Lumatrak A", MessageButtons::Ok, MessageIcon::Exclamation);
        else
            answer = station.op().showMessage(
                "Use 'No' filter and place spectrometer on white reference !", "Spectrolino",
                MessageButtons::OkCancel, MessageIcon::Exclamation);
        if (answer == MessageAnswer::Cancel) {
            changed();
            return;
        }
        result = whiteReference();
        if (result != kStatusOk && cancelled()) {
            finished(kInitDeviceAction, result, false, kCancelledProblem);
            changed();
            return;
        }
        if (result != kStatusOk) {
            station.op().showMessage(kWhiteReferenceFailed,
                type == InstrumentSpectrolino ? "Spectrolino" : "Lumatrak", MessageButtons::Ok,
                MessageIcon::Stop);
            finished(kInitDeviceAction, result);
            changed();
            return;
        }
        state.transmissionButton = state.remote = state.acquire = true;
        ready = true;
        if (type == InstrumentLumatrakS)
            startRemote();
        finished(kInitDeviceAction, kStatusOk);
    } else if (type == InstrumentPrototype) {
        servicePortOpen = false;
        result = initSpectrometer();
        if (result != kStatusOk && cancelled()) {
            finished(kInitDeviceAction, result, false, kCancelledProblem);
        } else {
            if (result != kStatusOk)
                reportCommTrouble();
            finished(kInitDeviceAction, result);
        }
    } else {
        finished(kInitDeviceAction, kStatusOk, false, kNoDeviceTypeProblem);
    }
    changed();
}

unsigned long InstrumentController::sendSpectrometerParameters()
{
    parameters = NewParams {};
    parameters.IntegrationTime = static_cast<std::uint8_t>(integrationTime);
    parameters.Gain = static_cast<std::uint8_t>(gain);
    // The spectrometer integrates at least once per acquisition.
    parameters.Scans = static_cast<std::uint8_t>(std::clamp(scanCount, 1, 255));
    parameters.FirstPixel[0] = static_cast<std::uint8_t>(windowFirst & 0xFF);
    parameters.FirstPixel[1] = static_cast<std::uint8_t>(windowFirst >> 8);
    parameters.LastPixelLow = static_cast<std::uint8_t>(windowLast & 0xFF);
    InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
    if (!exchange)
        return kStatusInstrumentBusy;
    return exchange.instrument().SpecNewParams(&parameters);
}

unsigned long InstrumentController::initSpectrometer()
{
    Settings& settings = station.settings();
    unsigned long status;
    {
        InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
        if (!exchange)
            return kStatusInstrumentBusy;
        comPort = ComPort {};
        comPort.DeviceType = InstrumentPrototype;
        comPort.PortNumber = static_cast<std::uint16_t>(port);
        comPort.BaudRate = kSpectrometerBaudRate;
        comPort.ByteSize = 8;
        comPort.ProbeBaud = 1;
        copyTablePath(settings.load(keys::kObserverTableFile), fileNames.XYZFile);
        copyTablePath(settings.load(keys::kIlluminantTableFile), fileNames.ILLUMFile);
        status = exchange.instrument().SpecPortOpen(&comPort, &fileNames);
        if (status != kStatusOk)
            return status;
        status = exchange.instrument().SpecInitParams(&calibration);
    }
    if (status == kStatusShortReply) {
        state.darkRef = state.zeroRef = state.newParameter = state.transmissionButton =
            state.acquire = false;
        station.op().showMessage(
            kErrorWithCommPower, kPageCaption, MessageButtons::Ok, MessageIcon::Stop);
        return status;
    }
    if (status != kStatusOk)
        return status;

    const double slope = bigEndianFloat(calibration.Slope);
    const double zero = bigEndianFloat(calibration.Zero);
    // A calibration that cannot be a wavelength scale keeps the one in use.
    if (std::isfinite(slope) && slope > 0 && std::isfinite(zero)) {
        spectrometerSlope = slope;
        spectrometerZero = zero;
    }
    settings.store(keys::kSpectrometerSlope, spectrometerSlope);
    settings.store(keys::kSpectrometerZero, spectrometerZero);
    settings.store(keys::kSpectrometerDirection, calibration.Direction);
    settings.store(keys::kSpectrometerPixel380, calibration.Lambda380);
    settings.store(keys::kSpectrometerPixel780, calibration.Lambda780);
    useSpectrometerAxis();

    status = sendSpectrometerParameters();
    if (status == kStatusOk) {
        state.darkRef = state.newParameter = state.transmissionButton = true;
        state.zeroRef = state.acquire = false;
    }
    return status;
}

unsigned long InstrumentController::spectrometerAcquire(Aquire& record, unsigned char command)
{
    InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
    if (!exchange)
        return kStatusInstrumentBusy;
    record.LowWavelength = static_cast<float>(minWavelength);
    record.HighWavelength = static_cast<float>(maxWavelength);
    record.Step = kResamplingStep;
    record.Illuminant = static_cast<std::uint8_t>(illuminant);
    record.FirstPixel = static_cast<std::uint16_t>(windowFirst);
    record.LastPixel = static_cast<std::uint16_t>(windowLast);
    if (runningExchange) {
        // The spectrometer integrates all scans before it answers: the
        // display counts them by the integration time.
        const int index = std::clamp<int>(
            parameters.IntegrationTime, 0, static_cast<int>(std::size(kIntegrationTimesMs)) - 1);
        runningExchange->report(kScansStep, 0, std::max<int>(parameters.Scans, 1),
            static_cast<unsigned>(kIntegrationTimesMs[index]));
    }
    const unsigned long status = exchange.instrument().SpecAquire(&record, command, 0);
    if (status == kStatusOk) {
        const CountStatistics statistics =
            countStatistics(record, windowFirst, record.FirstPixel, record.LastPixel);
        const std::uint16_t values[] = {statistics.minimum, statistics.minimumPixel,
            statistics.maximum, statistics.maximumPixel, statistics.spread, statistics.mean};
        std::copy(std::begin(values), std::end(values), record.Statistics);
        lastCommand = command;
        ++acquisitionCount;
    }
    return status;
}

unsigned long InstrumentController::acquire()
{
    if (!runExchange(kAcquireAction, true, [this] { acquireNow(); }))
        return kStatusInstrumentBusy;
    // Run on the calling thread, the measurement has ended: its status.
    return station.exchanges().ownThread() ? kStatusOk : result;
}

void InstrumentController::acquireNow()
{
    unsigned long status;
    if (type <= InstrumentSpectrolino) {
        status = station.cycle().MeasureSample(MeasurementCycle::kKindWithGraph, kGraphScale, 0);
        if (status == kStatusInstrumentBusy) {
            result = status;
            return; // refused: another exchange runs
        }
        if (!succeeded(status) && cancelled()) {
            result = status;
            finished(kAcquireAction, status, true, kCancelledProblem);
            changed();
            return;
        }
        succeeded(status) ? beepSuccess() : beepFailure();
    } else {
        const bool reflection = measureMode() == MeasureReflection;
        const unsigned char command = type == InstrumentPrototype
            ? (reflection ? kCommandReflectance7 : kCommandDensity)
            : (reflection ? kCommandReflectance32 : kCommandDensity31);
        status = spectrometerAcquire(sample, command);
        if (status == kStatusInstrumentBusy) {
            result = status;
            return;
        }
        if (status != kStatusOk && cancelled()) {
            result = status;
            abandonSpectrometer(kAcquireAction);
            changed();
            return;
        }
        if (status == kStatusOk) {
            if (command == kCommandReflectance7)
                values = spectrometerValueLine(sample);
            else if (command == kCommandDensity)
                values.clear();
        }
    }
    result = status;
    finished(kAcquireAction, status, type <= InstrumentSpectrolino);
    changed();
}

void InstrumentController::toggleRemote()
{
    if (exchangeRunning())
        return;
    if (state.remoteOn) {
        stopRemote(true);
        state.acquire = true;
    } else {
        startRemote();
    }
    changed();
}

void InstrumentController::remotePoll()
{
    timerRunning = false;
    // While another exchange runs the key is asked for at the next tick.
    if (!runExchange(kRemoteAction, true, [this] { remotePollNow(); })) {
        timerRunning = true;
        changed();
    }
}

void InstrumentController::remotePollNow()
{
    state.acquire = false;
    if (type >= InstrumentPrototype) {
        changed();
        return;
    }
    unsigned long status;
    {
        InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
        if (!exchange) {
            timerRunning = !remotePaused; // another exchange runs: ask again next time
            changed();
            return;
        }
        status = exchange.instrument().GretagQueryLocal(0);
    }
    if (status >= 1 && status < kLinkFailureThreshold) {
        // The operator pressed the instrument's key; it has measured already.
        const unsigned long fetched =
            station.cycle().MeasureSample(MeasurementCycle::kKindWithGraph, kGraphScale, 1);
        if (fetched != kStatusInstrumentBusy) {
            result = fetched;
            succeeded(fetched) ? beepSuccess() : beepFailure();
            finished(kRemoteMeasurementAction, fetched, true);
        }
    }
    if (status < kLinkFailureThreshold) {
        timerRunning = !remotePaused;
    } else if (cancelled()) {
        result = status;
        stopRemote(true);
        finished(kRemoteAction, status, false, kCancelledProblem);
    } else {
        result = status;
        stopRemote(true);
        finished(kRemoteAction, status);
        changed();
        if (beep) {
            beep(kBeepHz, kLinkLostBeepMs);
            lt::clock().sleepMs(kLinkLostPauseMs);
            beep(kBeepHz, kLinkLostBeepMs);
        }
    }
    changed();
}

void InstrumentController::selectDeviceType(int newType)
{
    if (exchangeRunning())
        return;
    brand = newType;
    station.settings().store(keys::kBrand, brand);
    type = std::clamp(newType, 0, kDeviceTypeCount - 1);
    station.record().instrumentType = type;
    servicePortOpen = false;
    stopRemote(true);
    if (type == InstrumentPrototype) {
        state.spectrometerSettings = true;
        useSpectrometerAxis();
    } else {
        state.spectrometerSettings = false;
        state.darkRef = state.zeroRef = state.newParameter = false;
        useFixedAxis();
    }
    changed();
}

void InstrumentController::selectPort(int portNumber)
{
    if (exchangeRunning())
        return;
    if (portNumber != port) {
        state.remote = false;
        state.acquire = false;
        servicePortOpen = false;
    }
    port = portNumber;
    station.settings().store(keys::kCommNumber, port);
    changed();
}

void InstrumentController::sendMeasureMode(int command)
{
    InstrumentAccess::Exchange exchange = station.instrumentAccess().tryBegin();
    if (exchange) {
        std::uint8_t reply[16] {};
        result = exchange.instrument().GretagCMD(command, reply);
    }
    changed();
}

void InstrumentController::selectMeasureMode(int mode)
{
    if (exchangeRunning())
        return;
    station.record().measureMode = mode;
    if (ready && type <= InstrumentSpectrolino)
        runExchange(kMeasureModeAction, false, [this, mode] { sendMeasureMode(3 + mode); });
    changed();
}

void InstrumentController::toggleTransmission()
{
    if (exchangeRunning())
        return;
    const int mode = measureMode() == MeasureTransmission ? MeasureReflection : MeasureTransmission;
    station.record().measureMode = mode;
    if (type <= InstrumentSpectrolino)
        runExchange(kMeasureModeAction, false,
            [this, mode] { sendMeasureMode(mode == MeasureTransmission ? 4 : 3); });
    changed();
}

void InstrumentController::setBeep(bool on)
{
    station.record().beepOption = on ? 1 : 0;
}

void InstrumentController::selectIntegrationTime(int index)
{
    integrationTime = index;
    station.settings().store(keys::kIntegrationTime, index);
}

void InstrumentController::selectGain(int index)
{
    gain = index;
    station.settings().store(keys::kGain, index);
}

void InstrumentController::selectIllumination(int index)
{
    illuminant = index;
    station.record().changeDensityParameters(
        [index](DensityParameterBlock& block) { block.setInteger(slot::kIllumType, index); });
    station.settings().store(keys::kLight, index);
}

bool InstrumentController::pauseRemote()
{
    // A poll running now does not start the timer again when it ends.
    remotePaused = true;
    const bool wasRunning = timerRunning.exchange(false) ||
        (exchangeRunning() && station.exchanges().progress().action == kRemoteAction);
    changed();
    return wasRunning;
}

void InstrumentController::resumeRemote()
{
    remotePaused = false;
    if (state.remoteOn)
        timerRunning = true;
    changed();
}

void InstrumentController::endRemoteForService()
{
    stopRemote(false);
    changed();
}

void InstrumentController::followIlluminant(int index)
{
    illuminant = index;
    changed();
}

std::optional<std::string> InstrumentController::editScans(const std::string& text)
{
    if (text.empty() || exchangeRunning())
        return std::nullopt; // the operator is still typing
    const int number = std::clamp(parseInteger(text).value_or(0), 1, 255);
    const std::string normalised = formatInteger(number);
    if (normalised != text)
        return normalised;
    scanCount = number;
    station.settings().store(keys::kNumberOfScans, number);
    return std::nullopt;
}

void InstrumentController::editLowLimit(const std::string& text)
{
    if (exchangeRunning())
        return;
    if (const auto nm = parseInteger(text)) {
        minWavelength = *nm;
        station.settings().store(keys::kMinWavelength, *nm);
    }
}

void InstrumentController::editHighLimit(const std::string& text)
{
    if (exchangeRunning())
        return;
    if (const auto nm = parseInteger(text)) {
        maxWavelength = *nm;
        station.settings().store(keys::kMaxWavelength, *nm);
    }
}

void InstrumentController::newParameter()
{
    runExchange(kNewParameterAction, false, [this] { newParameterNow(); });
}

void InstrumentController::newParameterNow()
{
    if (type == InstrumentSpectrolino) {
        result = whiteReference();
        if (result != kStatusOk)
            station.op().showMessage(
                kWhiteReferenceFailed, "Spectrolino", MessageButtons::Ok, MessageIcon::Stop);
        finished(kNewParameterAction, result);
    } else if (type == InstrumentPrototype) {
        stopRemote(true);
        const int first = windowFirst, last = windowLast;
        windowFirst = pixelOfWavelength(minWavelength, axisSlope, axisZero);
        windowLast = pixelOfWavelength(maxWavelength, axisSlope, axisZero);
        result = sendSpectrometerParameters();
        if (result == kStatusOk) {
            windowLow = minWavelength;
            windowHigh = maxWavelength;
            state.zeroRef = state.acquire = false;
        } else {
            windowFirst = first;
            windowLast = last;
        }
        finished(kNewParameterAction, result);
    }
    changed();
}

void InstrumentController::darkReference()
{
    runExchange(kDarkRefAction, true, [this] { darkReferenceNow(); });
}

void InstrumentController::darkReferenceNow()
{
    const unsigned long status = spectrometerAcquire(dark, kCommandDark);
    if (status == kStatusInstrumentBusy)
        return;
    result = status;
    if (status != kStatusOk && cancelled()) {
        abandonSpectrometer(kDarkRefAction);
        changed();
        return;
    }
    if (status == kStatusOk) {
        state.zeroRef = true;
        state.acquire = false;
    } else if (status == kDarkReferenceTimeout || status == kStatusPortNotOpen ||
        status == kStatusShortReply) {
        station.op().showMessage(
            kErrorWithComm, kPageCaption, MessageButtons::Ok, MessageIcon::Stop);
    }
    finished(kDarkRefAction, status);
    changed();
}

void InstrumentController::zeroReference()
{
    runExchange(kZeroRefAction, true, [this] { zeroReferenceNow(); });
}

void InstrumentController::zeroReferenceNow()
{
    const unsigned long status = spectrometerAcquire(white, kCommandZero);
    if (status == kStatusInstrumentBusy)
        return;
    result = status;
    if (status != kStatusOk && cancelled()) {
        abandonSpectrometer(kZeroRefAction);
        changed();
        return;
    }
    if (status == kStatusOk) {
        state.acquire = true;
        values.clear();
        // The first sample's colour difference is taken against ideal white.
        sample.Lab[0] = 100.0f;
        sample.Lab[1] = 0.0f;
        sample.Lab[2] = 0.0f;
    }
    finished(kZeroRefAction, status);
    changed();
}

} // namespace lt
