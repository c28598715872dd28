// "ltrak measure": opens the instrument, calibrates on the white reference
// and measures samples through the program's own measurement cycle, writing
// spectrum, XYZ, L*a*b* and densities as CSV, JSON or CGATS.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ConsoleOperator.h"
#include "cli/PortChoice.h"
#include "core/colour/ColorArithmetic.h"
#include "core/common/AppPaths.h"
#include "core/common/NumberText.h"
#include "core/station/MeasurementObserver.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtStatus.h"
#include "ltsim/Simulator.h"

namespace ltrak {
namespace {

const char* const kHelp = R"(Usage: ltrak measure [OPTIONS]
Measure samples with a spectrophotometer and write their values.

  --port PORT      COM1..COM4 (as mapped in the settings), a device path such
                   as /dev/ttyUSB0, or "sim" for the built-in simulator
                   (default COM1)
  --device TYPE    lumatrak-s, lumatrak-a or spectrolino (default lumatrak-s)
  --count N        number of samples, 1 to 100000 (default 1)
  --format FORMAT  csv, json or cgats (default csv)
  --sample NAMES   with --port sim: the samples put under the head in turn,
                   separated by commas (paper, C100, M50, ...)
  --help           show this help

The instrument is calibrated on its white reference first. Each sample gives
its spectrum (380..730 nm in 10 nm steps, remission in %), XYZ, L*a*b* (D50,
2 degrees) and the densities Cyan, Magenta, Yellow, Black.
Exit status: 0 success, 1 the instrument failed, 2 wrong command line.
)";

struct Device {
    const char* name;
    std::int32_t instrumentType;
    ltsim::DeviceKind simulated;
};

constexpr Device kDevices[] = {
    {"lumatrak-s", lt::InstrumentLumatrakS, ltsim::DeviceKind::LumatrakS},
    {"lumatrak-a", lt::InstrumentLumatrakA, ltsim::DeviceKind::LumatrakA},
    {"spectrolino", lt::InstrumentSpectrolino, ltsim::DeviceKind::Spectrolino},
};

// Whole nanometres for the column names.
constexpr int kWavelengthStart = static_cast<int>(lt::kRemissionFirstWavelength);
constexpr int kWavelengthStep = static_cast<int>(lt::kRemissionWavelengthStep);
constexpr int kLargestCount = 100000;

// What one measurement gave.
struct Sample {
    lt::MeasuredSample values;
    std::array<float, lt::kSpectrumPoints> spectrum {};
};

// Keeps the newest sample of the cycle.
class SampleCollector : public lt::MeasurementObserver {
public:
    explicit SampleCollector(lt::Workstation& station) : station(station) { }
    void qualityControlSample(const lt::MeasuredSample& sample) override
    {
        latest.values = sample;
        std::copy_n(station.record().measurementSpectrum.begin(), lt::kSpectrumPoints,
            latest.spectrum.begin());
        fresh = true;
    }
    lt::Workstation& station;
    Sample latest;
    bool fresh = false;
};

std::vector<std::string> splitCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        if (comma > start)
            parts.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return parts;
}

std::string number(double value, int decimals)
{
    return lt::formatFixed(value, decimals);
}

void writeHeader(const std::string& format)
{
    if (format == "csv") {
        std::string line = "sample,X,Y,Z,L,a,b,density_C,density_M,density_Y,density_K";
        for (int i = 0; i < lt::kSpectrumPoints; ++i)
            line += ",nm" + std::to_string(kWavelengthStart + i * kWavelengthStep);
        std::printf("%s\n", line.c_str());
    } else if (format == "json") {
        std::printf("[\n");
    }
}

void writeCgatsHeader(int count)
{
    std::printf("CGATS.17\nORIGINATOR \"ltrak\"\nDESCRIPTOR \"Measured samples\"\n");
    std::printf("SPECTRAL_BANDS \"%d\"\nSPECTRAL_START_NM \"%d\"\nSPECTRAL_END_NM \"%d\"\n"
                "SPECTRAL_NORM \"100\"\n",
        lt::kSpectrumPoints, kWavelengthStart,
        kWavelengthStart + (lt::kSpectrumPoints - 1) * kWavelengthStep);
    std::string fields = "SAMPLE_ID XYZ_X XYZ_Y XYZ_Z LAB_L LAB_A LAB_B D_RED D_GREEN D_BLUE D_VIS";
    for (int i = 0; i < lt::kSpectrumPoints; ++i)
        fields += " SPEC_" + std::to_string(kWavelengthStart + i * kWavelengthStep);
    std::printf("NUMBER_OF_FIELDS %d\nBEGIN_DATA_FORMAT\n%s\nEND_DATA_FORMAT\n",
        11 + lt::kSpectrumPoints, fields.c_str());
    std::printf("NUMBER_OF_SETS %d\nBEGIN_DATA\n", count);
}

void writeSample(const std::string& format, int index, const Sample& sample, bool last)
{
    const lt::MeasuredSample& v = sample.values;
    if (format == "json") {
        std::string spectrum;
        for (int i = 0; i < lt::kSpectrumPoints; ++i)
            spectrum += (i ? ", " : "") + number(sample.spectrum[i] * 100.0, 3);
        std::printf("  {\"sample\": %d, \"XYZ\": [%s, %s, %s], \"Lab\": [%s, %s, %s], "
                    "\"density\": {\"C\": %s, \"M\": %s, \"Y\": %s, \"K\": %s}, "
                    "\"spectrum_nm\": {\"start\": %d, \"step\": %d}, \"spectrum\": [%s]}%s\n",
            index, number(v.xyz[0], 3).c_str(), number(v.xyz[1], 3).c_str(),
            number(v.xyz[2], 3).c_str(), number(v.lab[0], 3).c_str(), number(v.lab[1], 3).c_str(),
            number(v.lab[2], 3).c_str(), number(v.densities[0], 3).c_str(),
            number(v.densities[1], 3).c_str(), number(v.densities[2], 3).c_str(),
            number(v.densities[3], 3).c_str(), kWavelengthStart, kWavelengthStep, spectrum.c_str(),
            last ? "" : ",");
        return;
    }
    const char* separator = format == "csv" ? "," : " ";
    std::string line = std::to_string(index);
    for (double value :
        {double(v.xyz[0]), double(v.xyz[1]), double(v.xyz[2]), v.lab[0], v.lab[1], v.lab[2]})
        line += separator + number(value, 3);
    for (double value : v.densities)
        line += separator + number(value, 3);
    for (int i = 0; i < lt::kSpectrumPoints; ++i)
        line += separator + number(sample.spectrum[i] * 100.0, 3);
    std::printf("%s\n", line.c_str());
}

} // namespace

int measureCommand(const std::vector<std::string>& words)
{
    Arguments arguments =
        parseArguments(words, {"port", "device", "count", "format", "sample"}, {});
    if (arguments.help) {
        std::fputs(kHelp, stdout);
        return kExitSuccess;
    }
    if (!arguments.error.empty())
        return fail(kExitUsage, arguments.error + " (see ltrak measure --help)");
    if (!arguments.positional.empty())
        return fail(kExitUsage, "measure takes no argument \"" + arguments.positional[0] + "\"");

    const std::string portName = arguments.option("port").value_or("COM1");
    const std::string deviceName = arguments.option("device").value_or("lumatrak-s");
    const std::string format = arguments.option("format").value_or("csv");
    const Device* device = nullptr;
    for (const Device& candidate : kDevices)
        if (deviceName == candidate.name)
            device = &candidate;
    if (!device)
        return fail(kExitUsage,
            "unknown device \"" + deviceName + "\" (lumatrak-s, lumatrak-a, spectrolino)");
    std::optional<int> count = lt::parseInteger(arguments.option("count").value_or("1"));
    if (!count || *count < 1 || *count > kLargestCount)
        return fail(kExitUsage, "--count needs a number from 1 to 100000");
    if (format != "csv" && format != "json" && format != "cgats")
        return fail(kExitUsage, "unknown format \"" + format + "\" (csv, json, cgats)");
    std::vector<std::string> samples = splitCommas(arguments.option("sample").value_or(""));
    if (!samples.empty() && portName != "sim")
        return fail(kExitUsage, "--sample needs --port sim");

    ConsoleOperator op;
    lt::ensureConfigDirectory();
    lt::Workstation station(op, lt::configDirectory());

    ltsim::SimulatorOptions simulated;
    simulated.device = device->simulated;
    PortLine line = attachPort(station, portName, simulated);
    if (line.exitCode != kExitSuccess)
        return fail(line.exitCode, line.error);
    ltsim::Simulator* simulator = line.simulator.get();
    const std::string& devicePath = line.devicePath;

    ComPort port {};
    port.DeviceType = static_cast<std::uint8_t>(device->instrumentType);
    port.PortNumber = kCommandPortNumber;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.Handshake = 1;
    FileNames identity {};
    if (progressWanted())
        std::fprintf(stderr, "Opening %s (%s) ...\n", portName.c_str(), devicePath.c_str());
    void* handle = station.instrument().GretagPortOpenAndInit(&port, &identity);
    if (!handle || !lt::isSuccess(port.Status))
        return fail(kExitFailure,
            "no answer from the instrument on " + portName + " (" + std::to_string(port.Status) +
                ")");
    station.record().instrumentType = device->instrumentType;
    struct PortCloser {
        lt::Workstation& station;
        void* handle;
        ~PortCloser() { station.instrument().GretagPortClose(handle); }
    } closer {station, handle};

    if (progressWanted())
        std::fprintf(stderr, "Calibrating on the white reference ...\n");
    if (unsigned long status = station.cycle().InitRemission(); !lt::isSuccess(status))
        return fail(kExitFailure, "the white reference failed (" + std::to_string(status) + ")");

    SampleCollector collector(station);
    station.addObserver(&collector);
    struct ObserverRemover {
        lt::Workstation& station;
        lt::MeasurementObserver* observer;
        ~ObserverRemover() { station.removeObserver(observer); }
    } remover {station, &collector};

    writeHeader(format);
    if (format == "cgats")
        writeCgatsHeader(*count);
    for (int i = 0; i < *count; ++i) {
        if (simulator && !samples.empty() && !simulator->setSample(samples[i % samples.size()]))
            return fail(kExitUsage,
                "the simulator knows no sample \"" + samples[i % samples.size()] + "\"");
        if (progressWanted())
            std::fprintf(stderr, "\rSample %d of %d", i + 1, *count);
        collector.fresh = false;
        unsigned long status =
            station.cycle().MeasureSample(lt::MeasurementCycle::kKindWithGraph, lt::kGraphScale, 0);
        if (lt::isLinkFailure(status) || !collector.fresh) {
            if (progressWanted())
                std::fprintf(stderr, "\n");
            std::fflush(stdout);
            return fail(kExitFailure,
                "sample " + std::to_string(i + 1) + " failed (" + std::to_string(status) + ")");
        }
        writeSample(format, i, collector.latest, i + 1 == *count);
    }
    if (progressWanted())
        std::fprintf(stderr, "\n");
    if (format == "json")
        std::printf("]\n");
    else if (format == "cgats")
        std::printf("END_DATA\n");
    return kExitSuccess;
}

} // namespace ltrak
