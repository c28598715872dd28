#pragma once
// A workstation whose COM1 is a virtual Lumatrak S on a pseudo-terminal,
// with a scripted operator, for tests of the colour metrics page.
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "MetricsTestFiles.h"
#include "common/ScriptedOperator.h"
#include "common/FakeInstrumentPage.h"
#include "common/SimulatedInstrumentPort.h"
#include "core/colour/ColorArithmetic.h"
#include "core/station/Workstation.h"
#include "ltsim/Simulator.h"

namespace lt::test {

using lt::testing::FakeInstrumentPage;

class SimulatedStation : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        ASSERT_EQ(CTaviSpec::SetPortDevice(1, sim.devicePath().c_str()), 0ul);
        station = std::make_unique<Workstation>(op, configDirectory);
    }

    void TearDown() override
    {
        if (portHandle)
            station->instrument().GretagPortClose(portHandle);
        station.reset();
        sim.stop();
    }

    // "Init Device" of the instrument page: open the port, white reference.
    void openInstrument(std::int32_t instrumentType = InstrumentLumatrakS)
    {
        lt::testing::openAndCalibrateCom1(*station, instrumentType, portHandle);
    }

    void measure(const char* sample)
    {
        ASSERT_TRUE(sim.setSample(sample)) << sample;
        ASSERT_LE(station->cycle().MeasureSample(MeasurementCycle::kKindWithGraph, kGraphScale, 0),
            10000ul);
    }

    // Without measurement noise: the tests compare what the station shows and
    // writes with the simulator's expected readings.
    static ltsim::SimulatorOptions noiseless()
    {
        ltsim::SimulatorOptions options;
        options.noise = 0.0;
        return options;
    }

    std::string configDirectory = scratchDirectory();
    ltsim::Simulator sim {noiseless()};
    lt::testing::ScriptedOperator op;
    std::unique_ptr<Workstation> station;
    void* portHandle = nullptr;
};

} // namespace lt::test
