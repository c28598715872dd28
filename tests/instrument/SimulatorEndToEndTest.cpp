// The library against the virtual instruments: open, identify, calibrate on
// white and measure a cyan solid, as the program does, for each of the three
// spectrophotometer types.

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <ostream>
#include <vector>

#include "instrument/DescriptorChecked.h"
#include "instrument/FakeClock.h"
#include "instrument/include/TaviSpec.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"
#include "ltsim/Simulator.h"

namespace lt {
namespace {

struct DeviceCase {
    const char* name;
    std::uint8_t deviceType; // the host's device-type index
    ltsim::DeviceKind kind;
    std::uint8_t handshake;
    bool table;
};

void PrintTo(const DeviceCase& device, std::ostream* out)
{
    *out << device.name;
}

class SimulatorEndToEnd : public test::DescriptorChecked<::testing::TestWithParam<DeviceCase>> {
protected:
    void TearDown() override
    {
        if (linkState().sharedHandle) {
            SerialPort::close(linkState().sharedHandle);
            linkState().sharedHandle = nullptr;
        }
    }
};

TEST_P(SimulatorEndToEnd, OpenIdentifyCalibrateMeasure)
{
    const DeviceCase device = GetParam();
    ltsim::SimulatorOptions options;
    options.device = device.kind;
    options.sample = "white";
    options.noise = 0.0; // the values are compared with the expected reading
    ltsim::Simulator simulator(options);
    std::string error;
    ASSERT_TRUE(simulator.start(&error)) << error;
    ASSERT_EQ(CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str()), 0u);

    CTaviSpec instrument;
    ComPort port {};
    port.DeviceType = device.deviceType;
    port.PortNumber = 1;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.Handshake = device.handshake;
    FileNames identity {};
    void* handle = instrument.GretagPortOpenAndInit(&port, &identity);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(port.Status, 0u);
    EXPECT_EQ(std::string(identity.XYZFile, 24), simulator.identity());

    unsigned char table[4] = {};
    EXPECT_EQ(instrument.GretagCMD(2, table), 0u);
    EXPECT_EQ(table[0] == 4, device.table);

    GretagStruct calibration {};
    calibration.OutputType = 1;
    calibration.ExtraOption = 1;
    calibration.Illuminant = 3; // D65 in the calibration's coding "2"
    ASSERT_EQ(instrument.GretagInitExecRemission(&calibration, device.table ? 1 : 0), 0u);
    EXPECT_EQ(simulator.conditions().illuminantCode, '2');

    ASSERT_TRUE(simulator.setSample("C100"));
    const auto expected = simulator.expectedReading("C100");
    ASSERT_TRUE(expected);

    // The measurement cycle: trigger with spectrum, three colorimetric
    // fetches, the densities.
    float spectrum[40] = {};
    GretagStruct g {};
    g.Spectrum = spectrum;
    g.OutputType = 0;
    g.StartStep = 0;
    ASSERT_EQ(instrument.GretagExecRemission(&g), 0u);
    g.OutputType = 1;
    g.StartStep = 1;
    for (std::uint8_t space : {0, 1, 4}) {
        g.ColorSpace = space;
        ASSERT_EQ(instrument.GretagExecRemission(&g), 0u) << int(space);
    }
    g.OutputType = 2;
    ASSERT_EQ(instrument.GretagExecRemission(&g), 0u);

    for (int i = 0; i < 36; ++i)
        EXPECT_NEAR(spectrum[i], expected->spectrum[i], 1e-6) << (380 + 10 * i) << " nm";
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(g.ColorTriple4[i], expected->xyz[i], 1e-4);
        EXPECT_NEAR(g.ColorTriple1[i], expected->lab[i], 1e-4);
        EXPECT_NEAR(g.ColorTriple0[i], expected->xyY[i], 1e-4);
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(g.Density[i], expected->density[i], 1e-5);
    EXPECT_GT(g.Density[1], 1.0f) << "a cyan solid has a high cyan density";

    simulator.pressKey();
    EXPECT_EQ(instrument.GretagQueryLocal(0), 1u);
    EXPECT_EQ(instrument.GretagPortClose(handle), 0u);
}

INSTANTIATE_TEST_SUITE_P(DeviceTypes, SimulatorEndToEnd,
    ::testing::Values(DeviceCase {"LumatrakS", 0, ltsim::DeviceKind::LumatrakS, 1, false},
        DeviceCase {"LumatrakA", 1, ltsim::DeviceKind::LumatrakA, 1, true},
        DeviceCase {"Spectrolino", 2, ltsim::DeviceKind::Spectrolino, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A firmware download through the library's loader commands: a block whose
// sum is wrong is refused (4) and leaves the flash erased there; the good
// blocks land in the flash in order.
TEST(SimulatorLoader, DownloadRefusesABlockWithAWrongSum)
{
    test::FakeClock clock; // the loader's long prescribed pauses cost no time
    ltsim::Simulator simulator(ltsim::SimulatorOptions {});
    std::string error;
    ASSERT_TRUE(simulator.start(&error)) << error;
    ASSERT_EQ(CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str()), 0u);

    CTaviSpec instrument;
    ComPort port {};
    port.PortNumber = 1;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.Handshake = 1;
    FileNames identity {};
    void* handle = instrument.GretagPortOpenAndInit(&port, &identity);
    ASSERT_NE(handle, nullptr);

    auto block = [](std::uint8_t seed, int sumError) {
        std::vector<std::uint8_t> bytes(258);
        for (int i = 0; i < 256; ++i)
            bytes[i] = static_cast<std::uint8_t>(seed + 7 * i);
        const unsigned sum = std::accumulate(bytes.begin(), bytes.begin() + 256, 0u) + sumError;
        bytes[256] = static_cast<std::uint8_t>(sum >> 8);
        bytes[257] = static_cast<std::uint8_t>(sum);
        return bytes;
    };

    ASSERT_LT(instrument.GretagCMD(300, nullptr), 10000u);
    ASSERT_TRUE(simulator.inLoader());
    EXPECT_EQ(instrument.GretagCMD(303, nullptr), 0u); // erase
    EXPECT_EQ(instrument.GretagCMD(301, nullptr), 0u); // blank now
    instrument.GretagCMD(307, nullptr); // start writing
    auto first = block(1, 0);
    auto wrong = block(2, 1);
    auto third = block(3, 0);
    EXPECT_EQ(instrument.GretagCMD(309, first.data()), 0u);
    EXPECT_EQ(instrument.GretagCMD(309, wrong.data()), 4u);
    EXPECT_EQ(instrument.GretagCMD(309, third.data()), 0u);
    instrument.GretagCMD(311, nullptr);

    std::vector<std::uint8_t> expected(first.begin(), first.begin() + 256);
    expected.insert(expected.end(), 256, 0xFF);
    expected.insert(expected.end(), third.begin(), third.begin() + 256);
    EXPECT_EQ(simulator.flashImage(), expected);
    EXPECT_EQ(simulator.rejectedBlocks(), 1);
    EXPECT_EQ(instrument.GretagPortClose(handle), 0u);
    linkState().sharedHandle = nullptr;
}

} // namespace
} // namespace lt
