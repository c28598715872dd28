#include "core/station/PortAttachment.h"

#include "core/settings/Settings.h"
#include "instrument/include/TaviSpec.h"
#include "sim/include/ltsim/Simulator.h"

namespace lt {

bool attachSimulator(ltsim::Simulator& simulator, int portNumber, std::string* error)
{
    simulator.clearFaults();
    simulator.stop();
    if (!simulator.start(error))
        return false;
    CTaviSpec::SetPortDevice(portNumber, simulator.devicePath().c_str());
    return true;
}

PortAttachment::PortAttachment() = default;
PortAttachment::~PortAttachment() = default;

void PortAttachment::attach(Settings& settings)
{
    for (int number = 1; number <= kPortCount; ++number) {
        std::string device = settings.portDevice(number);
        if (device == kSimulatorDevice) {
            auto simulator = std::make_unique<ltsim::Simulator>();
            std::string error;
            if (attachSimulator(*simulator, number, &error)) {
                simulator->setSample(kSimulatorStartSample);
                simulators[number - 1] = std::move(simulator);
                continue;
            }
            trouble +=
                "COM" + std::to_string(number) + ": the simulator could not start: " + error + "\n";
        }
        CTaviSpec::SetPortDevice(number, device.c_str());
    }
}

ltsim::Simulator* PortAttachment::simulator(int portNumber) const
{
    if (portNumber < 1 || portNumber > kPortCount)
        return nullptr;
    return simulators[portNumber - 1].get();
}

ltsim::Simulator* PortAttachment::firstSimulator() const
{
    const int number = firstSimulatorPort();
    return number ? simulator(number) : nullptr;
}

int PortAttachment::firstSimulatorPort() const
{
    for (int number = 1; number <= kPortCount; ++number)
        if (simulators[number - 1])
            return number;
    return 0;
}

} // namespace lt
