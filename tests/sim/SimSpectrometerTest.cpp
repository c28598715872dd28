// The array spectrometer's binary protocol and its counts.
#include <gtest/gtest.h>

#include <vector>

#include "SimTestSupport.h"
#include "sim/SpectrometerStrayLight.h"

using namespace simtest;
using ltsim::DeviceKind;

namespace {

std::string parameters(int integrationCode, int gainCode, int scans, int firstPixel, int lastPixel)
{
    return std::string {'\x01', static_cast<char>(integrationCode), static_cast<char>(gainCode),
        static_cast<char>(scans), 0, static_cast<char>(firstPixel & 0xFF),
        static_cast<char>(firstPixel >> 8), static_cast<char>(lastPixel & 0xFF)};
}

std::vector<unsigned> acquire(SimLine& line, char command, std::size_t pixels)
{
    std::string reply = line.exchange(std::string(1, command), 2 + 2 * pixels);
    EXPECT_EQ(reply.size(), 2 + 2 * pixels);
    std::vector<unsigned> counts;
    if (reply.size() < 2)
        return counts;
    unsigned n = static_cast<unsigned char>(reply[0]) * 256u + static_cast<unsigned char>(reply[1]);
    EXPECT_EQ(n, pixels);
    for (std::size_t i = 2; i + 1 < reply.size(); i += 2) {
        counts.push_back(
            static_cast<unsigned char>(reply[i]) * 256u + static_cast<unsigned char>(reply[i + 1]));
    }
    return counts;
}

float bigEndianFloat(const std::string& bytes, std::size_t offset)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits = bits << 8 | static_cast<unsigned char>(bytes[offset + i]);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Pixel of a wavelength on the reported calibration.
int pixelOf(double wavelength)
{
    return static_cast<int>(
        (wavelength - ltsim::kSpectrometerZero) / ltsim::kSpectrometerSlope + 0.5);
}

} // namespace

TEST(SimSpectrometer, ProbeEchoCalibrationAndParameters)
{
    RunningSimulator sim(optionsFor(DeviceKind::Spectrometer), B19200);
    EXPECT_EQ(sim.line->exchange("CCP\r\n", 5), "CCP\r\n");
    std::string calibration = sim.line->exchange("\x03", 13);
    ASSERT_EQ(calibration.size(), 13u);
    EXPECT_FLOAT_EQ(bigEndianFloat(calibration, 0), ltsim::kSpectrometerSlope);
    EXPECT_FLOAT_EQ(bigEndianFloat(calibration, 4), ltsim::kSpectrometerZero);
    std::string request = parameters(4, 0, 1, 42, 212);
    EXPECT_EQ(sim.line->exchange(request, 7), request.substr(1));
}

TEST(SimSpectrometer, ProbeAtAnotherSpeedGetsNoEcho)
{
    RunningSimulator sim(optionsFor(DeviceKind::Spectrometer), B9600);
    std::string reply = sim.line->exchange("CCP\r\n", 5);
    EXPECT_NE(reply, "CCP\r\n");
}

TEST(SimSpectrometer, DarkWhiteAndSampleCountsOverTheWindow)
{
    RunningSimulator sim(noiselessOptionsFor(DeviceKind::Spectrometer), B19200);
    const int first = 42, last = 212;
    const std::size_t pixels = last - first + 1;
    sim.line->exchange(parameters(4, 0, 1, first, last), 7);
    // The lamp is in standby until the white reference: the first reading is dark.
    std::vector<unsigned> dark = acquire(*sim.line, '\x02', pixels);
    std::vector<unsigned> white = acquire(*sim.line, '\x07', pixels);
    sim.simulator->setSample("M100");
    std::vector<unsigned> sample = acquire(*sim.line, '\x02', pixels);
    std::vector<unsigned> darkAgain = acquire(*sim.line, '\x06', pixels);
    ASSERT_EQ(white.size(), pixels);
    EXPECT_EQ(dark, darkAgain);
    int green = pixelOf(540) - first, red = pixelOf(680) - first;
    EXPECT_GT(white[green], dark[green] + 10000);
    // Magenta absorbs green and reflects red; the raw counts still carry the
    // stray light (the remissions after its correction are checked end to end
    // with the instrument library).
    EXPECT_LT(sample[green], white[green] / 2);
    EXPECT_GT(sample[red], sample[green]);
}

TEST(SimSpectrometer, StrayLightFlowsFromBrightToDarkPixelsInsideTheWindow)
{
    const int first = 40, last = 210, band = 180;
    ltsim::PixelLight flat {};
    flat.fill(5000.0);
    ltsim::PixelLight flatSeen = ltsim::withStrayLight(flat, first, last);
    for (int pixel = 0; pixel < ltsim::kSpectrometerPixels; ++pixel)
        EXPECT_NEAR(flatSeen[pixel], 5000.0, 1e-6) << pixel;

    // One bright band at long wavelengths on an otherwise dark line.
    ltsim::PixelLight direct {};
    for (int pixel = band - 5; pixel <= band + 5; ++pixel)
        direct[pixel] = 40000.0;
    direct[20] = 1000.0; // outside the window: neither gives nor receives
    ltsim::PixelLight seen = ltsim::withStrayLight(direct, first, last);
    EXPECT_EQ(seen[20], 1000.0);
    EXPECT_EQ(seen[230], 0.0);
    EXPECT_LT(seen[band], direct[band]);
    // Shorter wavelengths pick up more of it than longer ones at the same distance.
    EXPECT_GT(seen[band - 25], 0.0);
    EXPECT_GT(seen[band - 25], 2.0 * seen[band + 25]);
    EXPECT_GT(seen[band + 25], 0.0);
    // Light from the band reaches every darker pixel of the window alike.
    EXPECT_NEAR(seen[first], seen[band - 25], 0.01 * seen[first]);
}

TEST(SimSpectrometer, IntegrationTimeAndGainScaleUntilSaturation)
{
    RunningSimulator sim(optionsFor(DeviceKind::Spectrometer), B19200);
    const int pixel = pixelOf(650);
    auto whiteAt = [&](int code, int gain) {
        sim.line->exchange(parameters(code, gain, 1, pixel, pixel), 7);
        return acquire(*sim.line, '\x07', 1).at(0);
    };
    auto signalAt = [&](int code, int gain) {
        double white = whiteAt(code, gain);
        return white - acquire(*sim.line, '\x06', 1).at(0);
    };
    double base = signalAt(2, 0);
    double doubled = signalAt(3, 0);
    double gained = signalAt(2, 1);
    EXPECT_NEAR(doubled, 2.0 * base, 0.01 * base);
    EXPECT_NEAR(gained, 2.0 * base, 0.01 * base);
    EXPECT_EQ(whiteAt(7, 1), unsigned(ltsim::kSpectrometerFullScale));
}

TEST(SimSpectrometer, SeededNoiseRepeatsAndScansAverageIt)
{
    auto noisyReadings = [](int scans) {
        ltsim::SimulatorOptions options = optionsFor(DeviceKind::Spectrometer);
        options.noise = 0.002;
        options.noiseSeed = 7;
        RunningSimulator sim(options, B19200);
        sim.line->exchange(parameters(4, 0, scans, 0, 255), 7);
        return acquire(*sim.line, '\x07', 256);
    };
    auto spread = [](const std::vector<unsigned>& a, const std::vector<unsigned>& b) {
        double sum = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            sum += std::abs(double(a[i]) - double(b[i]));
        return sum / a.size();
    };
    std::vector<unsigned> first = noisyReadings(1), again = noisyReadings(1);
    EXPECT_EQ(first, again);
    ltsim::SimulatorOptions quiet = noiselessOptionsFor(DeviceKind::Spectrometer);
    RunningSimulator clean(quiet, B19200);
    clean.line->exchange(parameters(4, 0, 1, 0, 255), 7);
    std::vector<unsigned> noiseless = acquire(*clean.line, '\x07', 256);
    double single = spread(first, noiseless);
    double averaged = spread(noisyReadings(16), noiseless);
    EXPECT_GT(single, 20.0);
    EXPECT_LT(averaged, single / 2.0);
}
