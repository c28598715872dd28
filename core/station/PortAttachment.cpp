#include "core/station/PortAttachment.h"

#include "core/settings/Settings.h"
#include "instrument/include/TaviSpec.h"
#include "sim/include/ltsim/Simulator.h"

namespace lt {

PortAttachment::PortAttachment() = default;
PortAttachment::~PortAttachment() = default;

void PortAttachment::attach(Settings& settings)
{
    for (int number = 1; number <= kPortCount; ++number) {
        std::string device = settings.portDevice(number);
        if (device == kSimulatorDevice) {
            auto simulator = std::make_unique<ltsim::Simulator>();
            std::string error;
            if (simulator->start(&error)) {
                simulator->setSample(kSimulatorStartSample);
                device = simulator->devicePath();
                simulators[number - 1] = std::move(simulator);
            } else {
                trouble += "COM" + std::to_string(number) +
                    ": the simulator could not start: " + error + "\n";
            }
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
    for (const auto& simulator : simulators)
        if (simulator)
            return simulator.get();
    return nullptr;
}

} // namespace lt
