// Resident memory of the program after a long series of measurements: the
// main sheet on the offscreen platform, a simulated Lumatrak S on COM1, and
// "Acquire" clicked again and again.
//   window_memory_bench [measurements]     (default 1000)
#include "core/station/Workstation.h"
#include "sim/include/ltsim/Simulator.h"
#include "common/ScriptedOperator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <QApplication>
#include <QPushButton>

#include "ui/instrument_page/TaviLight.h"
#include "ui/shell/HVSheet.h"

namespace {

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    const int measurements = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char configTemplate[] = "/tmp/ltrakw-memory-XXXXXX";
    const char* configDir = mkdtemp(configTemplate);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);

    ltsim::Simulator simulator;
    std::string error;
    if (!configDir || !simulator.start(&error)) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", error.c_str());
        return 1;
    }
    CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str());
    lt::testing::ScriptedOperator op; // OK to the white-reference prompt
    lt::Workstation workstation(op, configDir);
    CHVSheet sheet(workstation, &simulator, [](unsigned long, unsigned long) {});
    sheet.show();
    CTaviLight& page = *sheet.instrumentPage();
    page.initButton()->click();
    if (!page.controller().deviceReady()) {
        std::fprintf(stderr, "the simulated instrument did not initialise\n");
        return 1;
    }
    page.remoteButton()->click(); // remote off: measure with "Acquire"
    std::printf("resident after start and init: %ld kB\n", residentKilobytes());

    const auto start = std::chrono::steady_clock::now();
    int failures = 0;
    for (int i = 0; i < measurements; ++i) {
        page.acquireButton()->click();
        failures += page.controller().lastResult() >= 10000 ? 1 : 0;
        application.processEvents();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d measurements in %.1f s (%d failed), %d list rows\n", measurements, seconds,
        failures, workstation.list().rowCount());
    std::printf("resident after %d measurements: %ld kB\n", measurements, residentKilobytes());
    return failures == 0 ? 0 : 1;
}
