// The array spectrometer and the streaming mode end to end against the
// virtual instruments of ltsim, which share no protocol code with the library.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
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

// The host program's acquisition: its default parameters (640 ms, gain 1, one
// scan) and its correction window, the pixels nearest to its default limits
// of 350 and 850 nm on the instrument's calibration.
constexpr std::uint8_t kHostIntegrationCode = 4;
constexpr float kHostLowLimit = 350.0f; // [nm]
constexpr float kHostHighLimit = 850.0f; // [nm]
constexpr unsigned char kIlluminantD50 = 4; // the simulator's default conditions

float bigEndianFloat(const std::uint8_t (&bytes)[4])
{
    float value;
    const std::uint8_t swapped[4] = {bytes[3], bytes[2], bytes[1], bytes[0]};
    std::memcpy(&value, swapped, sizeof value);
    return value;
}

class SimulatedSpectrometer : public ::testing::Test {
protected:
    void TearDown() override
    {
        spectrometer.SpecPortClose();
        lt::setClock(nullptr);
    }

    void startSimulator(double noise = 0.0)
    {
        ltsim::SimulatorOptions options;
        options.device = ltsim::DeviceKind::Spectrometer;
        options.baudRate = 4800;
        options.noise = noise;
        simulator = std::make_unique<ltsim::Simulator>(options);
        std::string error;
        ASSERT_TRUE(simulator->start(&error)) << error;
        CTaviSpec::SetPortDevice(1, simulator->devicePath().c_str());
        lt::setClock(&clock);
    }

    // Opens the port with the baud probe and reads the calibration.
    void open()
    {
        ComPort port = lttest::portRecord(3, 1, 19200, 1, 1);
        FileNames files = lttest::tableFiles();
        ASSERT_EQ(spectrometer.SpecPortOpen(&port, &files), 0u);
        InitParams calibration {};
        ASSERT_EQ(spectrometer.SpecInitParams(&calibration), 0u);
        slope = bigEndianFloat(calibration.Slope);
        zero = bigEndianFloat(calibration.Zero);
    }

    int hostPixelOf(double wavelength) const
    {
        return static_cast<int>(std::floor((wavelength - zero) / slope + 0.5));
    }

    // The host's parameters and window, its dark and its white reference.
    void takeReferences()
    {
        first = hostPixelOf(kHostLowLimit);
        last = hostPixelOf(kHostHighLimit);
        ASSERT_TRUE(first >= 0 && first < last && last < 256);
        count = last - first + 1;
        NewParams parameters {kHostIntegrationCode, 0, 1, 0, {static_cast<std::uint8_t>(first), 0},
            static_cast<std::uint8_t>(last)};
        ASSERT_EQ(spectrometer.SpecNewParams(&parameters), 0u);
        record.Step = 5.0f;
        record.LowWavelength = kHostLowLimit;
        record.HighWavelength = kHostHighLimit;
        record.Illuminant = kIlluminantD50;
        record.FirstPixel = static_cast<std::uint16_t>(first);
        record.LastPixel = static_cast<std::uint16_t>(last);
        ASSERT_EQ(spectrometer.SpecAquire(&record, 1, 0), 0u);
        ASSERT_EQ(record.Count, count);
        dark.assign(record.Counts, record.Counts + count);
        ASSERT_EQ(spectrometer.SpecAquire(&record, 20, 0), 0u);
        white.assign(record.Counts, record.Counts + count);
        record.Lab[0] = 100.0f;
        record.Lab[1] = record.Lab[2] = 0.0f;
    }

    // Reflectance of window position i as the library forms it from the
    // corrected counts of the last acquisition.
    double reflectance(int i) const
    {
        return (double(record.Counts[i]) - dark[i]) / (double(white[i]) - dark[i]);
    }

    lttest::SkippingClock clock;
    std::unique_ptr<ltsim::Simulator> simulator;
    CTaviSpec spectrometer;
    float slope = 0.0f;
    float zero = 0.0f;
    int first = 0;
    int last = 0;
    int count = 0;
    Aquire record {};
    std::vector<std::uint16_t> dark;
    std::vector<std::uint16_t> white;
};

TEST_F(SimulatedSpectrometer, ProbeFindsTheInstrumentAt4800BaudWithItsCalibration)
{
    startSimulator();
    ASSERT_NO_FATAL_FAILURE(open());
    const int line = ::open(simulator->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios2 settings {};
    ASSERT_EQ(::ioctl(line, TCGETS2, &settings), 0);
    ::close(line);
    EXPECT_EQ(settings.c_ospeed, 4800u);
    EXPECT_FLOAT_EQ(slope, ltsim::kSpectrometerSlope);
    EXPECT_FLOAT_EQ(zero, ltsim::kSpectrometerZero);
}

// The instrument's stray light is many times the signal at the blue end of a
// yellow; the library's correction over the host's window has to take it off.
TEST_F(SimulatedSpectrometer, SamplesMeasureLikeTheSimulatorOverTheHostsWindow)
{
    startSimulator();
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(takeReferences());
    for (const char* sample : {"paper", "Y100", "C100", "M100"}) {
        ASSERT_TRUE(simulator->setSample(sample));
        ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 0), 0u) << sample;
        const auto expected = simulator->expectedReading(sample);
        ASSERT_TRUE(expected);
        const lt::CieLab measured {record.Lab[0], record.Lab[1], record.Lab[2]};
        const lt::CieLab reference {expected->lab[0], expected->lab[1], expected->lab[2]};
        // The pixels of 2.9 nm against the simulator's own integration and
        // the whole counts of the correction leave a small difference.
        EXPECT_LT(lt::deltaE76(measured, reference), 3.0)
            << sample << ": " << measured.L << " " << measured.a << " " << measured.b << " against "
            << reference.L << " " << reference.a << " " << reference.b;
        int negative = 0;
        for (int i = 0; i < count; ++i)
            negative += reflectance(i) < 0.0;
        EXPECT_EQ(negative, 0) << sample;
        if (std::string(sample) == "M100") {
            // Magenta absorbs green and reflects red.
            EXPECT_LT(reflectance(hostPixelOf(540.0) - first), 0.1);
            EXPECT_GT(reflectance(hostPixelOf(680.0) - first), 0.7);
        }
    }
}

// A light trap reads at the dark level; the read-out noise puts some of its
// pixels below the dark reference. Their small negative reflectances are kept
// (cutting them off would lift every black by its noise) and average out with
// the positive ones into a black near L* 0, not into invalid numbers.
TEST_F(SimulatedSpectrometer, LightTrapBelowTheDarkReferenceMeasuresAsBlack)
{
    startSimulator(0.001);
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(takeReferences());
    ASSERT_TRUE(simulator->setSample("light trap"));
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 0), 0u);
    int belowDark = 0;
    for (int i = 0; i < count; ++i)
        belowDark += record.Counts[i] < dark[i];
    EXPECT_GT(belowDark, 0);
    for (float value : record.XYZ)
        EXPECT_TRUE(std::isfinite(value));
    for (float value : record.Lab)
        EXPECT_TRUE(std::isfinite(value));
    // The hue of so dark a reading is noise; its lightness is not.
    EXPECT_NEAR(record.XYZ[1], 0.0f, 0.5f);
    EXPECT_NEAR(record.Lab[0], 0.0f, 4.5f);
}

TEST(SimulatedStreaming, TriggerBlockCarriesTheInstrumentsValues)
{
    ltsim::SimulatorOptions options;
    options.device = ltsim::DeviceKind::LumatrakS;
    options.sample = "C100";
    options.noise = 0.0; // the block is compared with the expected reading
    ltsim::Simulator simulator(options);
    std::string error;
    ASSERT_TRUE(simulator.start(&error)) << error;
    CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str());

    CTaviSpec instrument;
    ComPort port = lttest::portRecord(0, 1, 9600, 1);
    FileNames identity {};
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
        std::memcpy(
            &remission, record.data() + lt::stream_record::kSpectrum + 4 * i, sizeof remission);
        EXPECT_NEAR(remission, expected->spectrum[i], 1e-6) << i;
    }
    instrument.GretagPortClose(port.Handle);
}

} // namespace
