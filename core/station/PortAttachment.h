#pragma once
// Tells the instrument library which device stands behind COM1 ... COM4:
// the settings section "Ports" (or LTRAKW_COM1 ... LTRAKW_COM4) names a
// serial device, or "sim" for the built-in simulator, which is then started
// on a pseudo-terminal and kept running for the program's life.
#include <array>
#include <memory>
#include <string>

namespace ltsim {
class Simulator;
}

namespace lt {

class Settings;

inline constexpr int kPortCount = 4;
inline constexpr const char* kSimulatorDevice = "sim";
// What the simulator has under its head when the program starts.
inline constexpr const char* kSimulatorStartSample = "paper";

// Starts simulator on a fresh pseudo-terminal (stopping it first when it
// runs, forgetting any fault still pending) and maps portNumber (1 ... 4)
// to it: the line comes back after the instrument dropped it. False with
// the reason in *error when no pseudo-terminal can be opened.
bool attachSimulator(ltsim::Simulator& simulator, int portNumber, std::string* error);

class PortAttachment {
public:
    PortAttachment();
    ~PortAttachment();

    // Maps every port; a simulator that cannot start leaves its port on
    // the word "sim" (which then fails to open) and is reported in problems().
    void attach(Settings& settings);

    // The simulator behind portNumber (1 ... 4), or null.
    ltsim::Simulator* simulator(int portNumber) const;
    // The first simulator attached, or null.
    ltsim::Simulator* firstSimulator() const;
    // Its port number (1 ... 4), or 0 without a simulator.
    int firstSimulatorPort() const;
    const std::string& problems() const { return trouble; }

private:
    std::array<std::unique_ptr<ltsim::Simulator>, kPortCount> simulators;
    std::string trouble;
};

} // namespace lt
