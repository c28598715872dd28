// Every reply decoder of the spectrophotometers' ASCII protocol, reached
// through the library's own calls on a line whose instrument answers with
// arbitrary bursts (ScriptedLine). The input: one byte choosing the call,
// eight bytes of its parameters, then the instrument's bursts cut at NUL
// bytes. The calls: the open handshake of every device type, calibration,
// measurement in every output type and start step, the key query, output
// set and measurement-output switches, the numbered commands (table
// detection, slopes, parameters, baud change, service queries, firmware
// loader) and the XY table's operations.
//
// A failed measurement must leave the record's results as they were.
//
// Every call but the open starts from a line opened by a device of the kind
// that answers one canned acknowledge, and the line is closed after it.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "ScriptedLine.h"
#include "instrument/include/TaviSpec.h"

namespace {

enum Call : std::uint8_t {
    kOpen,
    kCalibrate,
    kMeasure,
    kQueryKey,
    kOutputSet,
    kMeasurementOutput,
    kCommand,
    kTable,
    kGloss,
    kCallCount
};

constexpr std::size_t kParameterBytes = 8;
constexpr std::uint8_t kBareDevice = 7; // opens with one request whose reply is not examined
constexpr std::string_view kBareOpenReply = ":1F0000\r\n";
constexpr std::size_t kPayloadBytes = 512; // the firmware block (258 bytes) is the largest

constexpr int kCommands[] = {0, 1, 2, 3, 4, 5, 22, 100, 101, 200, 201, 202, 250, 251, 300, 301, 302,
    303, 304, 305, 306, 307, 308, 309, 310, 311, 500, 501, 502, 503, 504, 505, 506, 507};
constexpr int kTableOperations[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 20, 21,
    22, 23, 30, 31, 32, 33, 35, 50, 56, 57, 100, 999};
constexpr std::uint8_t kOutputTypes[] = {
    lt::kOutputSpectrum, lt::kOutputColorimetric, lt::kOutputDensity, lt::kOutputAlternate, 7};
constexpr std::uint8_t kStartSteps[] = {
    lt::kStartTrigger, lt::kStartFetch, lt::kStartTriggerOnly, 2};

template <typename T, std::size_t N>
T choose(const T (&choices)[N], std::uint8_t byte)
{
    return choices[byte % N];
}

lt::fuzz::ScriptedLine& line()
{
    static lt::fuzz::ScriptedLine instance;
    static const bool mapped = [] {
        CTaviSpec::SetPortDevice(1, instance.devicePath().c_str());
        return true;
    }();
    (void)mapped;
    return instance;
}

ComPort portRecord(std::uint8_t deviceType, std::uint8_t options)
{
    ComPort port {};
    port.DeviceType = deviceType;
    port.PortNumber = 1;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.Handshake = options & 3;
    port.DirectIo = (options >> 2) & 1;
    return port;
}

GretagStruct measurementRecord(const std::array<std::uint8_t, kParameterBytes>& p, float* spectrum)
{
    GretagStruct g {};
    g.Spectrum = spectrum;
    g.OutputType = choose(kOutputTypes, p[1]);
    g.StartStep = choose(kStartSteps, p[2]);
    g.ColorSpace = p[3] % 8;
    g.SpectrumVariant = p[4] & 1;
    g.OutputSet = p[4] >> 1 & 3;
    g.MeasureMode = p[5] % 3;
    g.Illuminant = p[6] % 10;
    g.Observer = p[6] >> 4 & 1;
    g.Filter = p[7] % 5;
    g.ExtraOption = p[7] >> 4 & 1;
    return g;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lt::fuzz::ScriptedLine& wire = line();
    lt::fuzz::FuzzInput input(data, size);
    const auto call = static_cast<Call>(input.byte() % kCallCount);
    std::array<std::uint8_t, kParameterBytes> p {};
    for (auto& byte : p)
        byte = input.byte();
    std::vector<std::string_view> bursts;
    while (!input.empty())
        bursts.push_back(input.part());

    CTaviSpec instrument;
    FileNames identity {};
    void* handle = nullptr;
    wire.drain();
    if (call == kOpen) {
        ComPort port = portRecord(p[0] % 8, p[1]);
        wire.play(bursts);
        handle = instrument.GretagPortOpenAndInit(&port, &identity);
    } else {
        ComPort port = portRecord(kBareDevice, p[0] >> 4);
        wire.play({kBareOpenReply});
        handle = instrument.GretagPortOpenAndInit(&port, &identity);
        if (handle == nullptr || port.Status != lt::kStatusOk)
            lt::fuzz::fail("the canned open failed with status", std::to_string(port.Status));
        wire.drain();
        wire.play(bursts);
    }

    alignas(8) std::uint8_t payload[kPayloadBytes] = {};
    std::memcpy(payload, p.data(), p.size());
    float spectrum[CTaviSpec::kSpectrumBufferSize] = {};
    GretagStruct g = measurementRecord(p, spectrum);
    switch (call) {
    case kOpen:
        break;
    case kCalibrate:
        instrument.GretagInitExecRemission(&g, p[0] & 1);
        break;
    case kMeasure: {
        // A failed measurement leaves every result of the record as it was.
        const GretagStruct before = g;
        float spectrumBefore[CTaviSpec::kSpectrumBufferSize];
        std::memcpy(spectrumBefore, spectrum, sizeof spectrum);
        const unsigned long status = instrument.GretagExecRemission(&g);
        if (!lt::isSuccess(status)) {
            const bool untouched =
                std::memcmp(before.ColorTriple0, g.ColorTriple0, sizeof g.ColorTriple0) == 0 &&
                std::memcmp(before.ColorTriple1, g.ColorTriple1, sizeof g.ColorTriple1) == 0 &&
                std::memcmp(before.ColorTriple4, g.ColorTriple4, sizeof g.ColorTriple4) == 0 &&
                std::memcmp(before.Density, g.Density, sizeof g.Density) == 0 &&
                std::memcmp(spectrumBefore, spectrum, sizeof spectrum) == 0;
            lt::fuzz::check(untouched, "a failed measurement changed its results, status",
                std::to_string(status));
        }
        break;
    }
    case kQueryKey:
        instrument.GretagQueryLocal(0);
        break;
    case kOutputSet:
        instrument.GretagOutputSet(&g);
        break;
    case kMeasurementOutput:
        instrument.GretagSetMeasurementOutput(p[1]);
        break;
    case kCommand:
        instrument.GretagCMD(choose(kCommands, p[1]), (p[2] & 7) == 0 ? nullptr : payload);
        break;
    case kTable:
        instrument.GretagXY(choose(kTableOperations, p[1]), (p[2] & 7) == 0 ? nullptr : payload);
        break;
    case kGloss: {
        ComPort port = portRecord(kBareDevice, p[1]);
        instrument.InitGloss(&port);
        break;
    }
    case kCallCount:
        break;
    }
    if (handle && handle != reinterpret_cast<void*>(~std::uintptr_t {0}))
        instrument.GretagPortClose(handle);
    return 0;
}
