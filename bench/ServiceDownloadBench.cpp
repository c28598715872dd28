// Timed tool: a firmware download through the service logic into the
// virtual Lumatrak's loader with the line paced at the baud rate, compared
// with what the protocol itself costs: the time the requests, blocks and
// replies take on the line plus the pauses the loader commands prescribe.
// A download may take at most 1.05 times that.
//
//   service_download_bench            both cases: 50,000 bytes at 9600 baud,
//                                     200,000 bytes at 57,600 baud
//   service_download_bench BAUD BYTES one case
//
// Exits non-zero when a download fails or takes too long. Takes minutes:
// the loader's own pauses alone are about 25 s.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/FakeInstrumentPage.h"
#include "common/ScriptedOperator.h"
#include "common/SRecordText.h"
#include "common/TempDirectory.h"
#include "core/service/ServiceController.h"
#include "core/settings/SettingsKeys.h"
#include "core/station/Workstation.h"
#include "ltsim/Simulator.h"

namespace {

constexpr double kAllowedFactor = 1.05;
constexpr double kBitsPerByte = 10.0; // start bit, 8 data bits, stop bit

// Bytes on the line and prescribed pauses of each loader step (the erase
// path: the simulated instrument leaves the factory with a program).
struct Step {
    const char* name;
    int times;
    int requestBytes;
    int replyBytes;
    double pauseMs; // [ms] prescribed by the library and the download sequence
};

class FileOperator : public lt::testing::ScriptedOperator {
public:
    explicit FileOperator(std::string path) : file(std::move(path)) { }
    std::optional<std::string> chooseFileToOpen(
        const std::string&, const std::string&, const std::string&) override
    {
        return file;
    }

private:
    std::string file;
};

bool runCase(unsigned baud, std::size_t length)
{
    const int blocks = static_cast<int>((length - lt::kFlashImageStart + 255) / 256);
    const Step steps[] = {
        {"enter loader", 1, 9, 5, 100 + 100 + 8000 + 4000},
        {"blank check", 2, 3, 6, 3000},
        {"erase", 1, 3, 6, 4000},
        {"start writing", 1, 3, 3, 1000},
        {"blocks", blocks, 259, 6, 100},
        {"leave loader", 1, 3, 0, 0},
        {"sequence pauses", 1, 0, 0, 100 + 300 + 300},
    };
    double wireMs = 0;
    double pauseMs = 0;
    for (const Step& step : steps) {
        wireMs += step.times * (step.requestBytes + step.replyBytes) * kBitsPerByte * 1000.0 / baud;
        pauseMs += step.times * step.pauseMs;
    }

    ltsim::SimulatorOptions options;
    options.pacing = true;
    options.baudRate = baud;
    ltsim::Simulator simulator(options);
    std::string error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return false;
    }
    CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str());
    lt::testing::TempDirectory config;
    lt::testing::TempDirectory files;
    files.write("BASIC.A20", lt::testing::sRecordText(lt::testing::programImage(length)));
    FileOperator op(files.file("BASIC.A20"));
    lt::Workstation station(op, config.path());
    station.settings().store(lt::keys::kServiceBaudRate, std::to_string(baud));
    lt::testing::FakeInstrumentPage page;
    lt::ServiceController service(station, {});
    service.setInstrumentPage(&page);
    service.startService();
    service.loadFile();

    const auto start = std::chrono::steady_clock::now();
    service.downloadProgram();
    service.waitForDownload();
    const double measuredMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    const double boundMs = wireMs + pauseMs;
    const bool written = service.lastDownloadResult() == 0 &&
        simulator.flashImage().size() == static_cast<std::size_t>(blocks) * 256;
    const double ratio = measuredMs / boundMs;
    std::printf("%7zu bytes at %5u baud: %d blocks, measured %.0f ms; line %.0f ms + pauses %.0f "
                "ms = %.0f ms; ratio %.3f (at most %.2f)%s\n",
        length, baud, blocks, measuredMs, wireMs, pauseMs, boundMs, ratio, kAllowedFactor,
        written ? "" : "  DOWNLOAD FAILED");
    return written && ratio <= kAllowedFactor;
}

} // namespace

int main(int argc, char** argv)
{
    bool ok = true;
    if (argc == 3) {
        ok = runCase(static_cast<unsigned>(std::atoi(argv[1])),
            static_cast<std::size_t>(std::atol(argv[2])));
    } else {
        ok = runCase(9600, 50000) && ok;
        ok = runCase(57600, 200000) && ok;
    }
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
