// Helpers shared by the simulator's tests: a started simulator with its line,
// and decoding of the wire's hex numbers written out independently.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "SimLine.h"
#include "ltsim/Simulator.h"

namespace simtest {

inline const std::string kCrLf = "\r\n";

// A 32-bit float written as 8 hex characters, lowest address first.
inline float wireFloat(const std::string& text, std::size_t column)
{
    std::uint32_t bits = 0;
    for (int byte = 0; byte < 4; ++byte) {
        unsigned value = 0;
        std::sscanf(text.substr(column + 2 * byte, 2).c_str(), "%2x", &value);
        bits |= value << (8 * byte);
    }
    float result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

inline std::string wireFloatText(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char text[9];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", bits & 0xFF, (bits >> 8) & 0xFF,
        (bits >> 16) & 0xFF, bits >> 24);
    return text;
}

inline std::string wireWordText(unsigned value)
{
    char text[5];
    std::snprintf(text, sizeof text, "%02X%02X", value & 0xFF, (value >> 8) & 0xFF);
    return text;
}

// A running simulator and the program's end of its line at the instrument's speed.
struct RunningSimulator {
    explicit RunningSimulator(ltsim::SimulatorOptions options, speed_t speed = B9600)
        : simulator(std::make_unique<ltsim::Simulator>(std::move(options)))
    {
        std::string error;
        started = simulator->start(&error);
        EXPECT_TRUE(started) << error;
        line = std::make_unique<SimLine>(simulator->devicePath());
        EXPECT_TRUE(line->isOpen());
        line->setSpeed(speed);
    }
    std::unique_ptr<ltsim::Simulator> simulator;
    std::unique_ptr<SimLine> line;
    bool started = false;
};

inline ltsim::SimulatorOptions optionsFor(ltsim::DeviceKind device)
{
    ltsim::SimulatorOptions options;
    options.device = device;
    return options;
}

// Without measurement noise, for tests that compare the wire answers with
// the expected reading (or with each other) to the last digit.
inline ltsim::SimulatorOptions noiselessOptionsFor(ltsim::DeviceKind device)
{
    ltsim::SimulatorOptions options = optionsFor(device);
    options.noise = 0.0;
    return options;
}

} // namespace simtest
