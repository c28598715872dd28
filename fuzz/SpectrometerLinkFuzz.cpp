// The array spectrometer's binary replies, reached through the library's
// calls on a line whose instrument answers with arbitrary bursts
// (ScriptedLine): the baud probe's echo, the wavelength calibration, the
// parameter acknowledge, the count and values of an acquisition and of a
// deferred fetch. The input: a byte for the open, four calls of two bytes
// each (which call, and its command or options), seven bytes of acquisition
// parameters, then the instrument's bursts, each a two-byte big-endian
// length and its bytes.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "ScriptedLine.h"
#include "instrument/include/TaviSpec.h"

namespace {

enum Call : std::uint8_t { kCalibration, kParameters, kAcquire, kFetch, kCallCount };
constexpr int kCalls = 4;

constexpr unsigned char kCommands[] = {lt::kCommandDark, lt::kCommandWhite, lt::kCommandDensity,
    lt::kCommandReflectance, lt::kCommandReflectance6, lt::kCommandReflectance7, lt::kCommandZero,
    lt::kCommandDarkOnly, lt::kCommandDarkWindow, lt::kCommandDensity31, lt::kCommandReflectance32,
    99};

lt::fuzz::ScriptedLine& line()
{
    static lt::fuzz::ScriptedLine instance;
    static const bool mapped = [] {
        CTaviSpec::SetPortDevice(2, instance.devicePath().c_str());
        return true;
    }();
    (void)mapped;
    return instance;
}

void copyName(char (&field)[kFileNameLength], const std::string& name)
{
    std::strncpy(field, name.c_str(), kFileNameLength - 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lt::fuzz::ScriptedLine& wire = line();
    lt::fuzz::FuzzInput input(data, size);
    const std::uint8_t openOptions = input.byte();
    std::uint8_t calls[kCalls][2];
    for (auto& call : calls)
        for (auto& byte : call)
            byte = input.byte();
    NewParams parameters {};
    std::uint8_t parameterBytes[sizeof parameters];
    for (auto& byte : parameterBytes)
        byte = input.byte();
    std::memcpy(&parameters, parameterBytes, sizeof parameters);
    std::vector<std::string> bursts;
    while (!input.empty()) {
        const std::size_t length = static_cast<std::size_t>(input.byte()) << 8 | input.byte();
        std::string burst;
        for (std::size_t i = 0; i < length && !input.empty(); ++i)
            burst += static_cast<char>(input.byte());
        bursts.push_back(std::move(burst));
    }

    CTaviSpec instrument;
    ComPort port {};
    port.PortNumber = 2;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.ProbeBaud = openOptions & 1;
    FileNames files {};
    copyName(files.XYZFile, std::string(LTRAKW_SOURCE_DATADIR) + "/XYZ2.txt");
    copyName(files.ILLUMFile, std::string(LTRAKW_SOURCE_DATADIR) + "/ILLUM.txt");
    wire.drain();
    wire.play(std::vector<std::string_view>(bursts.begin(), bursts.end()));
    if (instrument.SpecPortOpen(&port, &files) != lt::kStatusOk)
        return 0;

    Aquire record {};
    record.Step = 5.0f;
    record.HighWavelength = 780.0f;
    record.Illuminant = 4;
    for (const auto& call : calls) {
        switch (static_cast<Call>(call[0] % kCallCount)) {
        case kCalibration: {
            InitParams calibration {};
            instrument.SpecInitParams((call[1] & 1) ? &calibration : nullptr);
            break;
        }
        case kParameters:
            instrument.SpecNewParams((call[1] & 1) ? &parameters : nullptr);
            break;
        case kAcquire:
            instrument.SpecAquire(&record, kCommands[call[1] % std::size(kCommands)], call[1] >> 7);
            break;
        case kFetch:
            instrument.SpecDataReady(&record, call[1]);
            break;
        case kCallCount:
            break;
        }
    }
    instrument.SpecPortClose();
    return 0;
}
