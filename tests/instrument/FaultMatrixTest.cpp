// Every fault a line can show, against every exchange of the library, on the
// virtual instruments: each cell must end with its documented code within
// the exchange's time-out, leave the caller's destination as it was, and the
// same call on the healed line must succeed.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "instrument/DescriptorChecked.h"
#include "instrument/ScaledClock.h"
#include "instrument/include/TaviSpec.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"
#include "ltsim/Simulator.h"
#include "spectrometer_support.h"

namespace lt {
namespace {

using ltsim::DeviceKind;
using ltsim::FaultKind;

// Library milliseconds per real millisecond.
constexpr std::uint32_t kClockScale = 25;
constexpr std::uint8_t kSentinel = 0xA5;
constexpr std::size_t kPayloadBytes = 300;
constexpr std::size_t kFirmwareBlockBytes = 256;
// Real time a delayed reply comes after the exchange's time-out: it lands
// while the next call waits for its own answer.
constexpr unsigned kLateByRealMs = 100;
// [ms] what a timed-out read adds to its time-out: the pause between its two
// beeps, and a margin for the pauses around the request and for a busy
// machine (100 real milliseconds).
constexpr unsigned kTimeoutAftermathMs = 300 + 2500;

// What one exchange works on: the instrument object, the simulator and
// destinations filled with a sentinel before the call.
struct Bench {
    std::unique_ptr<ltsim::Simulator> simulator;
    CTaviSpec instrument;
    void* handle = nullptr;
    GretagStruct g {};
    float spectrum[CTaviSpec::kSpectrumBufferSize];
    std::uint8_t payload[kPayloadBytes];
    FileNames identity;
    Aquire acquisition;

    void fillSentinels()
    {
        std::memset(spectrum, kSentinel, sizeof spectrum);
        std::memset(payload, kSentinel, sizeof payload);
        std::memset(&identity, kSentinel, sizeof identity);
        std::memset(&acquisition, kSentinel, sizeof acquisition);
        std::memset(g.ColorTriple0, kSentinel, sizeof g.ColorTriple0);
        std::memset(g.ColorTriple1, kSentinel, sizeof g.ColorTriple1);
        std::memset(g.ColorTriple4, kSentinel, sizeof g.ColorTriple4);
        std::memset(g.Density, kSentinel, sizeof g.Density);
        g.Spectrum = spectrum;
    }
    static bool untouched(const void* bytes, std::size_t length)
    {
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        for (std::size_t i = 0; i < length; ++i) {
            if (p[i] != kSentinel)
                return false;
        }
        return true;
    }
    bool destinationsUntouched() const
    {
        return untouched(spectrum, sizeof spectrum) && untouched(g.ColorTriple0, 12) &&
            untouched(g.ColorTriple1, 12) && untouched(g.ColorTriple4, 12) &&
            untouched(g.Density, 16) && untouched(identity.XYZFile, 24);
    }
    bool payloadUntouched(std::size_t length) const { return untouched(payload, length); }
};

ComPort spectrophotometerPort(std::uint8_t deviceType)
{
    ComPort port {};
    port.DeviceType = deviceType;
    port.PortNumber = 1;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.Handshake = 1;
    return port;
}

// The healthy state the exchange starts from: an open, identified line (and
// what else the exchange needs). False when it could not be reached.
bool openSpectrophotometer(Bench& bench)
{
    ComPort port =
        spectrophotometerPort(bench.simulator->device() == DeviceKind::LumatrakA ? 1 : 0);
    port.Handle = linkState().sharedHandle;
    FileNames identity {};
    bench.handle = bench.instrument.GretagPortOpenAndInit(&port, &identity);
    return port.Status == kStatusOk;
}

bool openSpectrometer(Bench& bench)
{
    ComPort port = lttest::portRecord(3, 1, 19200, 1, 1);
    FileNames files = lttest::tableFiles();
    if (bench.instrument.SpecPortOpen(&port, &files) != kStatusOk)
        return false;
    InitParams calibration {};
    if (bench.instrument.SpecInitParams(&calibration) != kStatusOk)
        return false;
    NewParams parameters {0, 0, 1, 0, {20, 0}, 200};
    return bench.instrument.SpecNewParams(&parameters) == kStatusOk;
}

bool enterLoader(Bench& bench)
{
    return openSpectrophotometer(bench) &&
        bench.instrument.GretagCMD(kCmdEnterLoader, nullptr) == kStatusOk &&
        bench.instrument.GretagCMD(kCmdErase, nullptr) == kStatusOk &&
        bench.instrument.GretagCMD(kCmdStartWriting, nullptr) == kStatusOk;
}

// One exchange of the matrix.
struct Exchange {
    const char* name;
    DeviceKind device;
    std::function<bool(Bench&)> prepare;
    std::function<unsigned long(Bench&)> call;
    // [ms] the time-out of the reply the fault hits; the call may take the
    // budget (its time-outs and pauses) and kTimeoutAftermathMs on a line
    // that fails.
    unsigned replyTimeoutMs;
    unsigned budgetMs;
    std::size_t payloadBytes = 0; // how much of the payload is its destination
    // The code of each fault: silence, garbage, truncation, delay, wrong kind,
    // hang-up.
    unsigned long codes[6];
};

constexpr FaultKind kFaults[] = {FaultKind::Silence, FaultKind::Garbage, FaultKind::Truncation,
    FaultKind::Delay, FaultKind::WrongKind, FaultKind::HangUp};
const char* const kFaultNames[] = {
    "silence", "garbage", "truncation", "delay", "wrong kind", "hang-up"};

constexpr unsigned long kTimeout = kStatusReadTimeout;
constexpr unsigned long kBroken = kStatusShortReply;
constexpr unsigned long kHungUp = kStatusReadFailed;

unsigned long fetch(Bench& bench, std::uint8_t outputType, std::uint8_t colorSpace = 0)
{
    bench.g.StartStep = kStartFetch;
    bench.g.OutputType = outputType;
    bench.g.ColorSpace = colorSpace;
    return bench.instrument.GretagExecRemission(&bench.g);
}

std::vector<Exchange> exchanges()
{
    const unsigned long openCodes[6] = {kStatusProbeReadFailed, kStatusNoHandshakeState, kBroken,
        kStatusProbeReadFailed, kStatusNoHandshakeState, kStatusProbeReadFailed};
    return {
        {"open", DeviceKind::LumatrakS, [](Bench&) { return true; },
            [](Bench& b) {
                ComPort port = spectrophotometerPort(0);
                b.handle = b.instrument.GretagPortOpenAndInit(&port, &b.identity);
                return static_cast<unsigned long>(port.Status);
            },
            7000, 12 * 7400, 0,
            {openCodes[0], openCodes[1], openCodes[2], openCodes[3], openCodes[4], openCodes[5]}},
        {"calibration", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) {
                b.g.OutputType = kOutputColorimetric;
                b.g.ExtraOption = 1;
                return b.instrument.GretagInitExecRemission(&b.g, 0);
            },
            7000, 7000, 0, {kTimeout, kBroken, kBroken, kTimeout, kBroken, kHungUp}},
        {"trigger", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) {
                b.g.StartStep = kStartTriggerOnly;
                return b.instrument.GretagExecRemission(&b.g);
            },
            8000, 8000 + 20, 0, {kTimeout, kBroken, kBroken, kTimeout, kTimeout, kHungUp}},
        {"spectrum fetch", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) { return fetch(b, kOutputSpectrum); }, 8000, 8000, 0,
            {kTimeout, kBroken, kBroken, kTimeout, kTimeout, kHungUp}},
        {"L*a*b* fetch", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) { return fetch(b, kOutputColorimetric, 1); }, 8000, 8000, 0,
            {kTimeout, kBroken, kBroken, kTimeout, kTimeout, kHungUp}},
        {"density fetch", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) { return fetch(b, kOutputDensity); }, 8000, 8000, 0,
            {kTimeout, kBroken, kBroken, kTimeout, kTimeout, kHungUp}},
        {"key query", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) { return b.instrument.GretagQueryLocal(0); }, 5000, 5000, 0,
            {kTimeout, kBroken, kTimeout, kTimeout, kTimeout, kHungUp}},
        {"command 3", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) { return b.instrument.GretagCMD(kCmdReflectionMode, b.payload); }, 20000,
            20000, 4, {kTimeout, kBroken, kBroken, kTimeout, kBroken, kHungUp}},
        {"command 100", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) {
                std::uint32_t slopes[4];
                const float one = 1.0f;
                for (auto& slope : slopes)
                    std::memcpy(&slope, &one, sizeof slope);
                std::memcpy(b.payload, slopes, sizeof slopes);
                const unsigned long code = b.instrument.GretagCMD(kCmdDensitySlopes, b.payload);
                // The slopes are the request; only the reply could change them.
                if (std::memcmp(b.payload, slopes, sizeof slopes) == 0)
                    std::memset(b.payload, kSentinel, sizeof slopes);
                return code;
            },
            20000, 20000, 16, {kTimeout, kBroken, kBroken, kTimeout, kBroken, kHungUp}},
        {"command 101", DeviceKind::LumatrakS, openSpectrophotometer,
            [](Bench& b) {
                b.g.Valid = 1;
                b.g.Illuminant = 3;
                b.g.ExtraOption = 1;
                const unsigned long code = b.instrument.GretagCMD(kCmdMeasurementConditions, &b.g);
                return b.g.Valid == 1 ? code : ~0ul;
            },
            20000, 20000, 0, {kTimeout, kBroken, kBroken, kTimeout, kBroken, kHungUp}},
        {"command 309", DeviceKind::LumatrakS, enterLoader,
            [](Bench& b) {
                std::uint8_t block[kFirmwareBlockBytes + 2] = {};
                unsigned sum = 0;
                for (std::size_t i = 0; i < kFirmwareBlockBytes; ++i) {
                    block[i] = static_cast<std::uint8_t>(i);
                    sum += block[i];
                }
                block[kFirmwareBlockBytes] = static_cast<std::uint8_t>(sum >> 8);
                block[kFirmwareBlockBytes + 1] = static_cast<std::uint8_t>(sum);
                return b.instrument.GretagCMD(kCmdWriteBlock, block);
            },
            20000, 20000 + 100 + 7000, 0,
            // A block's two answers, cut in half: the first arrives whole,
            // the second never.
            {kTimeout, kStatusLoaderBlockRefused, kTimeout, kTimeout, kStatusLoaderBlockRefused,
                kHungUp}},
        {"XY move", DeviceKind::LumatrakA, openSpectrophotometer,
            [](Bench& b) {
                const std::uint16_t target[2] = {500, 50};
                return b.instrument.GretagXY(kXyMovePatch, const_cast<std::uint16_t*>(target));
            },
            7500, 2 * 7500, 0, {kTimeout, kBroken, kBroken, kTimeout, kTimeout, kHungUp}},
        {"XY read", DeviceKind::LumatrakA, openSpectrophotometer,
            [](Bench& b) { return b.instrument.GretagXY(kXyReadPosition, b.payload); }, 7500,
            3 * 7500, 4, {kTimeout, kBroken, kBroken, kTimeout, kTimeout, kHungUp}},
        {"spectrometer acquisition", DeviceKind::Spectrometer, openSpectrometer,
            [](Bench& b) {
                const unsigned long code = b.instrument.SpecAquire(&b.acquisition, kCommandDark, 0);
                if (code != kStatusOk && Bench::untouched(&b.acquisition, sizeof b.acquisition))
                    return code;
                return code == kStatusOk ? code : ~0ul; // a failure must leave the record
            },
            7000, 40 + 150 + 7000 + 7000, 0,
            {kTimeout, kBroken, kTimeout, kTimeout, kBroken, kHungUp}},
    };
}

struct Cell {
    std::size_t exchange;
    std::size_t fault;
};

std::string cellName(const ::testing::TestParamInfo<Cell>& info)
{
    std::string name =
        std::string(exchanges()[info.param.exchange].name) + "_" + kFaultNames[info.param.fault];
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

std::vector<Cell> allCells()
{
    std::vector<Cell> cells;
    const std::size_t count = exchanges().size();
    for (std::size_t e = 0; e < count; ++e) {
        for (std::size_t f = 0; f < std::size(kFaults); ++f)
            cells.push_back({e, f});
    }
    return cells;
}

class FaultMatrix : public test::DescriptorChecked<::testing::TestWithParam<Cell>> {
protected:
    void TearDown() override
    {
        bench.instrument.SpecPortClose();
        if (linkState().sharedHandle) {
            SerialPort::close(linkState().sharedHandle);
            linkState().sharedHandle = nullptr;
        }
    }

    bool startSimulator(DeviceKind device)
    {
        ltsim::SimulatorOptions options;
        options.device = device;
        if (device == DeviceKind::Spectrometer)
            options.baudRate = 19200;
        options.sample = "C100";
        bench.simulator = std::make_unique<ltsim::Simulator>(options);
        std::string error;
        if (!bench.simulator->start(&error))
            return false;
        return CTaviSpec::SetPortDevice(1, bench.simulator->devicePath().c_str()) == kStatusOk;
    }

    test::ScaledClock clock {kClockScale};
    Bench bench;
};

TEST_P(FaultMatrix, EndsWithItsCodeInTimeLeavesTheDestinationAndTheNextCallSucceeds)
{
    const Exchange exchange = exchanges()[GetParam().exchange];
    const FaultKind fault = kFaults[GetParam().fault];
    const unsigned long expected = exchange.codes[GetParam().fault];
    ASSERT_TRUE(startSimulator(exchange.device));
    ASSERT_TRUE(exchange.prepare(bench));

    ltsim::Fault injected;
    injected.kind = fault;
    // The open's baud probe tries the next rate after a bad reply: there the
    // fault stays until the call ends.
    injected.scope = std::string(exchange.name) == "open" ? ltsim::FaultScope::FromNowOn
                                                          : ltsim::FaultScope::NextReply;
    injected.delayMs = clock.realMs(exchange.replyTimeoutMs) + kLateByRealMs;
    bench.simulator->injectFault(injected);
    bench.fillSentinels();

    const std::uint64_t start = clock.nowMs();
    const unsigned long code = exchange.call(bench);
    const std::uint64_t spent = clock.nowMs() - start;
    EXPECT_EQ(code, expected);
    EXPECT_LE(spent, exchange.budgetMs + kTimeoutAftermathMs);
    EXPECT_TRUE(bench.destinationsUntouched());
    EXPECT_TRUE(bench.payloadUntouched(exchange.payloadBytes));

    // The healed line: the late reply of a delay arrives while the next call
    // waits for its own answer and must not be taken for it.
    bench.simulator->clearFaults();
    if (fault == FaultKind::HangUp) {
        ASSERT_TRUE(startSimulator(exchange.device)); // a new instrument on a new line
    }
    if (fault == FaultKind::HangUp || exchange.device == DeviceKind::Spectrometer) {
        ASSERT_TRUE(exchange.prepare(bench));
    }
    EXPECT_EQ(exchange.call(bench), kStatusOk);
}

INSTANTIATE_TEST_SUITE_P(EveryExchange, FaultMatrix, ::testing::ValuesIn(allCells()), cellName);

// A spectrum's answer that comes after its time-out lands while the next
// trigger waits: it is dropped, the trigger gets its own answer and the
// fetch after it the spectrum.
TEST(LateReply, IsNotTakenForTheNextRequestsAnswer)
{
    test::ScaledClock clock {kClockScale};
    ltsim::SimulatorOptions options;
    options.sample = "C100";
    options.noise = 0.0; // the spectrum is compared with the expected reading
    ltsim::Simulator simulator(options);
    ASSERT_TRUE(simulator.start());
    ASSERT_EQ(CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str()), kStatusOk);
    Bench bench;
    bench.simulator.reset();
    ComPort port = spectrophotometerPort(0);
    void* handle = bench.instrument.GretagPortOpenAndInit(&port, nullptr);
    ASSERT_EQ(port.Status, kStatusOk);

    ltsim::Fault late;
    late.kind = FaultKind::Delay;
    late.delayMs = clock.realMs(8000) + kLateByRealMs;
    simulator.injectFault(late);
    bench.fillSentinels();
    EXPECT_EQ(fetch(bench, kOutputSpectrum), kStatusReadTimeout);

    bench.g.StartStep = kStartTriggerOnly;
    EXPECT_EQ(bench.instrument.GretagExecRemission(&bench.g), kStatusOk);
    EXPECT_EQ(fetch(bench, kOutputSpectrum), kStatusOk);
    const auto expected = simulator.expectedReading("C100");
    ASSERT_TRUE(expected.has_value());
    EXPECT_NEAR(bench.spectrum[20], expected->spectrum[20], 1e-4);
    bench.instrument.GretagPortClose(handle);
    linkState().sharedHandle = nullptr;
}

} // namespace
} // namespace lt
