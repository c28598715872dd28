#pragma once
// The serial line behind a command's --port: COM1..COM4 through the
// settings' port map, a device path as it stands, or "sim", a built-in
// simulated instrument on a pseudo-terminal. The chosen line becomes the
// instrument library's COM1 for the run.
#include <memory>
#include <string>

#include "ltsim/Simulator.h"

namespace lt {
class Workstation;
}

namespace ltrak {

// The library's port number that the commands open.
inline constexpr int kCommandPortNumber = 1;

struct PortLine {
    std::string devicePath;
    std::unique_ptr<ltsim::Simulator> simulator; // running, for "sim" only
    int exitCode = 0; // nonzero: the line could not be had, error says why
    std::string error;
};

// simulated describes the instrument that "sim" starts.
PortLine attachPort(
    lt::Workstation& station, const std::string& name, const ltsim::SimulatorOptions& simulated);

} // namespace ltrak
