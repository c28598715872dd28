#include "cli/PortChoice.h"

#include "cli/CommandLine.h"
#include "core/station/Workstation.h"
#include "instrument/include/TaviSpec.h"

namespace ltrak {

namespace {

constexpr const char* kSimulatorName = "sim";

bool isComName(const std::string& name)
{
    return name.size() == 4 && name.rfind("COM", 0) == 0 && name[3] >= '1' && name[3] <= '4';
}

} // namespace

PortLine attachPort(
    lt::Workstation& station, const std::string& name, const ltsim::SimulatorOptions& simulated)
{
    PortLine line;
    if (name == kSimulatorName) {
        line.simulator = std::make_unique<ltsim::Simulator>(simulated);
        std::string error;
        if (!line.simulator->start(&error)) {
            line.exitCode = kExitFailure;
            line.error = "the simulator did not start: " + error;
            return line;
        }
        line.devicePath = line.simulator->devicePath();
    } else if (isComName(name)) {
        line.devicePath = station.settings().portDevice(name[3] - '0');
        if (line.devicePath == kSimulatorName) {
            line.exitCode = kExitUsage;
            line.error = name + " is mapped to the simulator: use --port sim";
            return line;
        }
    } else if (!name.empty() && name[0] == '/') {
        line.devicePath = name;
    } else {
        line.exitCode = kExitUsage;
        line.error = "unknown port \"" + name + "\" (COM1..COM4, a device path, sim)";
        return line;
    }
    CTaviSpec::SetPortDevice(kCommandPortNumber, line.devicePath.c_str());
    return line;
}

} // namespace ltrak
