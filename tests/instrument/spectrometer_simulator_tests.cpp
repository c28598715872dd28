// The array spectrometer and the streaming mode end to end against the
// virtual instruments of ltsim, which share no protocol code with the library.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "instrument/include/TaviSpec.h"
#include "instrument/spectrometer/SpectrumColorimetry.h"
#include "instrument/streaming/MeasurementBlock.h"
#include "ltsim/Simulator.h"
#include "spectrometer_support.h"

namespace {

using namespace std::chrono_literals;

class SimulatedSpectrometer : public ::testing::Test {
protected:
    void SetUp() override {
        ltsim::SimulatorOptions options;
        options.device = ltsim::DeviceKind::Spectrometer;
        options.baudRate = 4800;
        simulator = std::make_unique<ltsim::Simulator>(options);
        std::string error;
        ASSERT_TRUE(simulator->start(&error)) << error;
        CTaviSpec::SetPortDevice(1, simulator->devicePath().c_str());
        lt::setClock(&clock);
    }
    void TearDown() override {
        spectrometer.SpecPortClose();
        lt::setClock(nullptr);
    }

    lttest::SkippingClock clock;
    std::unique_ptr<ltsim::Simulator> simulator;
    CTaviSpec spectrometer;
};

TEST_F(SimulatedSpectrometer, ProbeFindsTheInstrumentAt4800BaudAndASampleMeasuresLikeTheSimulator) {
    ComPort port = lttest::portRecord(3, 1, 19200, 1, 1);
    FileNames files = lttest::tableFiles();
    ASSERT_EQ(spectrometer.SpecPortOpen(&port, &files), 0u);
    {
        const int line = ::open(simulator->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios2 settings{};
        ASSERT_EQ(::ioctl(line, TCGETS2, &settings), 0);
        ::close(line);
        EXPECT_EQ(settings.c_ospeed, 4800u);
    }

    InitParams calibration{};
    ASSERT_EQ(spectrometer.SpecInitParams(&calibration), 0u);
    float slope;
    const std::uint8_t slopeBytes[4] = {calibration.Slope[3], calibration.Slope[2], calibration.Slope[1],
                                        calibration.Slope[0]};
    std::memcpy(&slope, slopeBytes, sizeof slope);
    EXPECT_FLOAT_EQ(slope, ltsim::kSpectrometerSlope);

    NewParams parameters{2, 0, 1, 0, {0, 0}, 255};
    ASSERT_EQ(spectrometer.SpecNewParams(&parameters), 0u);
    Aquire record{};
    record.Step = 5.0f;
    record.LowWavelength = 380.0f;
    record.HighWavelength = 780.0f;
    record.Illuminant = 4; // D50, as the simulator's default conditions
    // The simulator's optics have no stray light: a correction window of a
    // single pixel leaves the others as they came, so the reflectance is the
    // simulator's own.
    record.FirstPixel = 0;
    record.LastPixel = 0;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 1, 0), 0u);
    EXPECT_EQ(record.Count, 256);
    ASSERT_EQ(spectrometer.SpecAquire(&record, 20, 0), 0u);
    record.Lab[0] = 100.0f;
    record.Lab[1] = record.Lab[2] = 0.0f;

    for (const char* sample : {"paper", "C100", "M100", "Y100"}) {
        ASSERT_TRUE(simulator->setSample(sample));
        ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 0), 0u) << sample;
        const auto expected = simulator->expectedReading(sample);
        ASSERT_TRUE(expected);
        const lt::CieLab measured{record.Lab[0], record.Lab[1], record.Lab[2]};
        const lt::CieLab reference{expected->lab[0], expected->lab[1], expected->lab[2]};
        // The spectrometer's pixels of 2.9 nm against the simulator's own
        // integration leave a small difference.
        EXPECT_LT(lt::deltaE76(measured, reference), 1.0)
            << sample << ": " << measured.L << " " << measured.a << " " << measured.b << " against " << reference.L
            << " " << reference.a << " " << reference.b;
    }
}

TEST(SimulatedStreaming, TriggerBlockCarriesTheInstrumentsValues) {
    ltsim::SimulatorOptions options;
    options.device = ltsim::DeviceKind::LumatrakS;
    options.sample = "C100";
    ltsim::Simulator simulator(options);
    std::string error;
    ASSERT_TRUE(simulator.start(&error)) << error;
    CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str());

    CTaviSpec instrument;
    ComPort port = lttest::portRecord(0, 1, 9600, 1);
    FileNames identity{};
    ASSERT_NE(instrument.GretagPortOpenAndInit(&port, &identity), nullptr);
    ASSERT_EQ(port.Status, 0u);
    ASSERT_EQ(instrument.GretagSetMeasurementOutput(15), 0u);
    ASSERT_EQ(simulator.streamingMask(), 15u);

    void* cursor = nullptr;
    instrument.StartReceiveThread(0, &cursor);
    std::vector<std::uint8_t> record(1536, 0);
    cursor = record.data();
    ASSERT_EQ(instrument.XPress(37, &cursor, 0), 0u);
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!lt::measurementRecordReady(record.data()) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(5ms);
    instrument.StopReceiveThread();
    ASSERT_TRUE(lt::measurementRecordReady(record.data()));

    const auto expected = simulator.expectedReading("C100");
    ASSERT_TRUE(expected);
    double value;
    for (int i = 0; i < 3; ++i) {
        std::memcpy(&value, record.data() + lt::stream_record::kValuesA + 8 * i, sizeof value);
        EXPECT_NEAR(value, expected->xyz[i], 1e-4) << "X, Y, Z " << i;
        std::memcpy(&value, record.data() + lt::stream_record::kValuesB + 8 * i, sizeof value);
        EXPECT_NEAR(value, expected->lab[i], 1e-4) << "L*, a*, b* " << i;
    }
    for (int i = 0; i < 36; ++i) {
        float remission;
        std::memcpy(&remission, record.data() + lt::stream_record::kSpectrum + 4 * i, sizeof remission);
        EXPECT_NEAR(remission, expected->spectrum[i], 1e-6) << i;
    }
    instrument.GretagPortClose(port.Handle);
}

}  // namespace
