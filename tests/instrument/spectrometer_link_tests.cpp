// The array spectrometer's exports against a scripted instrument on a
// pseudo-terminal: what goes over the wire, what comes back, what lands in
// the Aquire record.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "DescriptorChecked.h"
#include "instrument/include/TaviSpec.h"
#include "instrument/spectrometer/SpectrometerProcessing.h"
#include "spectrometer_support.h"

namespace {

using lttest::Bytes;
using lttest::dataFile;
using lttest::tableFiles;

constexpr float kSlope = 2.0f; // [nm/pixel] of the scripted instrument
constexpr float kZero = 300.0f; // [nm] at pixel 0
constexpr int kPixels = 256;
constexpr std::uint16_t kDarkCount = 1000;
constexpr std::uint16_t kWhiteCount = 40000;

// What the scripted spectrometer does with the next acquisition.
enum class Reply { Normal, Silent, CountCutShort, TooManyValues, ValuesCutShort };

struct Messages {
    std::mutex mutex;
    std::vector<std::string> texts;
    std::vector<std::string> captions;
};
Messages& messages()
{
    static Messages instance;
    return instance;
}
void recordMessage(const char* text, const char* caption, void*)
{
    std::lock_guard lock(messages().mutex);
    messages().texts.emplace_back(text ? text : "");
    messages().captions.emplace_back(caption ? caption : "(default)");
}

// A spectrometer whose white is flat and whose sample reflects `reflectance`
// at every wavelength: counts are dark + reflectance * (white - dark).
class ScriptedSpectrometer {
public:
    std::atomic<Reply> reply {Reply::Normal};
    std::atomic<float> reflectance {0.0f}; // 0: the dark level
    std::atomic<unsigned> listenBaud {0}; // 0: answers at every line speed

    std::size_t handle(const Bytes& in, lttest::PtyPeer& peer)
    {
        switch (in[0]) {
        case 'C': {
            if (in.size() < 5)
                return 0;
            const unsigned baud = listenBaud.load();
            if (baud == 0 || peer.baud() == baud)
                peer.send(Bytes(in.begin(), in.begin() + 5));
            return 5;
        }
        case 0x03:
            peer.send(calibration());
            return 1;
        case 0x01:
            if (in.size() < 8)
                return 0;
            peer.send(Bytes {0x01, 0, 0, 0, 0, 0, 0});
            return 8;
        case 2:
        case 5:
        case 6:
        case 7:
            answerAcquisition(in[0], peer);
            return 1;
        default:
            return 1;
        }
    }

private:
    static Bytes calibration()
    {
        Bytes bytes;
        for (float value : {kSlope, kZero}) {
            std::uint32_t bits;
            std::memcpy(&bits, &value, sizeof bits);
            for (int shift = 24; shift >= 0; shift -= 8)
                bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
        }
        bytes.insert(bytes.end(), {1, 0, 40, 0, 240});
        return bytes;
    }

    void answerAcquisition(std::uint8_t command, lttest::PtyPeer& peer)
    {
        std::uint16_t level = kDarkCount;
        if (command == 7)
            level = kWhiteCount;
        else if (command == 2 || command == 5)
            level = static_cast<std::uint16_t>(
                kDarkCount + reflectance.load() * (kWhiteCount - kDarkCount));
        Bytes values;
        for (int i = 0; i < kPixels; ++i) {
            const Bytes count = lttest::bigEndian16(level);
            values.insert(values.end(), count.begin(), count.end());
        }
        switch (reply.load()) {
        case Reply::Normal:
            peer.send(lttest::bigEndian16(kPixels));
            peer.send(values);
            break;
        case Reply::Silent:
            break;
        case Reply::CountCutShort:
            peer.send(Bytes {0x01});
            break;
        case Reply::TooManyValues:
            peer.send(lttest::bigEndian16(3000));
            peer.send(Bytes(16, 0x11));
            break;
        case Reply::ValuesCutShort:
            peer.send(lttest::bigEndian16(kPixels));
            peer.send(Bytes(values.begin(), values.begin() + 100));
            break;
        }
    }
};

class SpectrometerLink : public lt::test::DescriptorChecked<> {
protected:
    SpectrometerLink()
        : peer([this](const Bytes& in, lttest::PtyPeer& p) { return instrument.handle(in, p); }),
          clock([this] { return peer.quiet(); })
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(peer.ok());
        lt::setClock(&clock);
        CTaviSpec::SetPortDevice(1, peer.path().c_str());
        CTaviSpec::SetMessageHandler(recordMessage, nullptr);
        std::lock_guard lock(messages().mutex);
        messages().texts.clear();
        messages().captions.clear();
    }
    void TearDown() override
    {
        spectrometer.SpecPortClose();
        CTaviSpec::SetMessagePump(nullptr, nullptr);
        CTaviSpec::SetMessageHandler(nullptr, nullptr);
        lt::setClock(nullptr);
    }

    // The instrument page's record: ProtoType at 19200 baud without handshake.
    ComPort portRecord(std::uint16_t portNumber = 1, std::uint8_t probe = 0)
    {
        ComPort port = lttest::portRecord(3, portNumber, 19200, 1, probe);
        port.Timeouts = timeouts;
        return port;
    }
    // Open, calibration, parameters (window 0..255, no integration pause),
    // dark and white references, as the instrument page does it.
    void takeReferences()
    {
        ComPort port = portRecord();
        FileNames files = tableFiles();
        ASSERT_EQ(spectrometer.SpecPortOpen(&port, &files), 0u);
        InitParams calibration {};
        ASSERT_EQ(spectrometer.SpecInitParams(&calibration), 0u);
        NewParams parameters {0, 0, 1, 0, {0, 0}, 255};
        ASSERT_EQ(spectrometer.SpecNewParams(&parameters), 0u);
        record.Step = 5.0f;
        record.LowWavelength = 380.0f;
        record.HighWavelength = 780.0f;
        record.Illuminant = 4;
        record.FirstPixel = 0;
        record.LastPixel = 255;
        instrument.reflectance = 0.0f;
        ASSERT_EQ(spectrometer.SpecAquire(&record, 1, 0), 0u);
        ASSERT_EQ(spectrometer.SpecAquire(&record, 20, 0), 0u);
        record.Lab[0] = 100.0f; // the host's ideal white after a zero reference
        record.Lab[1] = 0.0f;
        record.Lab[2] = 0.0f;
    }

    ScriptedSpectrometer instrument;
    std::uint32_t* timeouts = nullptr; // the port's time-out block; null: the export's defaults
    lttest::PtyPeer peer;
    lttest::SkippingClock clock;
    CTaviSpec spectrometer;
    Aquire record {};
};

TEST_F(SpectrometerLink, OpenLoadsTablesAndReusesAnOpenPort)
{
    ComPort port = portRecord();
    FileNames files = tableFiles();
    ASSERT_EQ(spectrometer.SpecPortOpen(&port, &files), 0u);
    EXPECT_EQ(port.Status, 0u);
    ASSERT_NE(port.Handle, nullptr);
    EXPECT_EQ(peer.baud(), 19200u);
    void* first = port.Handle;
    ASSERT_EQ(spectrometer.SpecPortOpen(&port, &files), 0u);
    EXPECT_EQ(port.Handle, first);
    EXPECT_TRUE(messages().texts.empty());
    EXPECT_EQ(spectrometer.SpecPortClose(), 0u);
    EXPECT_EQ(spectrometer.SpecPortClose(), 1u);
}

TEST_F(SpectrometerLink, OpenReportsAnInvalidPortAndMissingTables)
{
    ComPort port = portRecord(7);
    FileNames files = tableFiles("/nonexistent/XYZ2.txt");
    EXPECT_EQ(spectrometer.SpecPortOpen(&port, &files),
        0u); // COM1 is used, the tables do not change the result
    ASSERT_EQ(messages().texts.size(), 2u);
    EXPECT_EQ(messages().texts[0], "No valid COM: COM1 used");
    EXPECT_EQ(messages().texts[1], "Cannot load illumination parameter files: 2");
    EXPECT_EQ(messages().captions[1], "NULL");
}

TEST_F(SpectrometerLink, BaudProbeFindsTheRateTheInstrumentListensAt)
{
    instrument.listenBaud = 4800u;
    ComPort port = portRecord(1, 1);
    FileNames files = tableFiles();
    ASSERT_EQ(spectrometer.SpecPortOpen(&port, &files), 0u);
    EXPECT_EQ(peer.baud(), 4800u);
    // Five probes: 9600, 57600, 28800, 19200 unanswered, then 4800.
    const Bytes sent = peer.received();
    EXPECT_EQ(std::string(sent.begin(), sent.end()), "CCP\r\nCCP\r\nCCP\r\nCCP\r\nCCP\r\n");
}

TEST_F(SpectrometerLink, BaudProbeWithoutEchoFailsAndClosesThePort)
{
    instrument.listenBaud = 0xFFFF; // no line speed matches
    ComPort port = portRecord(1, 1);
    FileNames files = tableFiles();
    const unsigned long status = spectrometer.SpecPortOpen(&port, &files);
    EXPECT_EQ(status, lt::kStatusReadTimeout + lt::kStatusSetStateFailed)
        << "the last rate's silence, plus 10004";
    EXPECT_EQ(port.Status, status);
    EXPECT_EQ(port.Handle, nullptr);
    EXPECT_EQ(peer.received().size(), 11u * 5);
    EXPECT_EQ(spectrometer.SpecPortClose(), 1u);
}

TEST_F(SpectrometerLink, CalibrationAndParametersGoOutByteExactly)
{
    ComPort port = portRecord();
    FileNames files = tableFiles();
    ASSERT_EQ(spectrometer.SpecPortOpen(&port, &files), 0u);
    InitParams calibration {};
    ASSERT_EQ(spectrometer.SpecInitParams(&calibration), 0u);
    EXPECT_EQ(calibration.Slope[0], 0x40); // 2.0f big-endian, as received
    EXPECT_EQ(calibration.Lambda380, 40);
    EXPECT_EQ(calibration.Lambda780, 240);
    NewParams parameters {3, 1, 12, 0, {0x34, 0x12}, 0xFE};
    ASSERT_EQ(spectrometer.SpecNewParams(&parameters), 0u);
    EXPECT_EQ(peer.received(), (Bytes {0x03, 0x01, 3, 1, 12, 0, 0x34, 0x12, 0xFE}));
}

TEST_F(SpectrometerLink, AcquisitionBytesByCommand)
{
    takeReferences();
    const struct {
        unsigned char command;
        std::uint8_t byte;
    } cases[] = {{1, 2}, {2, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 2}, {20, 7}, {21, 6}, {22, 2}, {31, 5},
        {32, 5}, {99, 2}};
    for (const auto& c : cases) {
        peer.clearReceived();
        ASSERT_EQ(spectrometer.SpecAquire(&record, c.command, 0), 0u) << int(c.command);
        EXPECT_EQ(peer.received(), Bytes {c.byte}) << "command " << int(c.command);
    }
}

TEST_F(SpectrometerLink, ReflectanceAfterReferencesGivesColourValuesAndDistanceFromWhite)
{
    takeReferences();
    instrument.reflectance = 0.5f;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 0), 0u);
    EXPECT_EQ(record.Count, kPixels);
    // Flat counts: every pixel loses exactly the 210-count offset.
    const std::uint16_t raw =
        static_cast<std::uint16_t>(kDarkCount + 0.5f * (kWhiteCount - kDarkCount));
    EXPECT_EQ(record.Counts[0], raw - 210);
    EXPECT_EQ(record.Counts[255], raw - 210);
    EXPECT_NEAR(record.XYZ[1], 50.0, 0.01);
    const double lightness = 116.0 * std::cbrt(0.5) - 16.0;
    EXPECT_NEAR(record.Lab[0], lightness, 0.01);
    EXPECT_NEAR(record.Lab[1], 0.0, 0.01);
    EXPECT_NEAR(record.DeltaE, 100.0 - lightness, 0.01);
    EXPECT_NEAR(record.Chromaticity[0], 0.3457, 0.0005); // D50
    EXPECT_FLOAT_EQ(record.Luv[0], record.Lab[0]);
    // The next sample is measured against this one.
    instrument.reflectance = 0.25f;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 0), 0u);
    EXPECT_NEAR(record.DeltaE, lightness - (116.0 * std::cbrt(0.25) - 16.0), 0.01);
}

TEST_F(SpectrometerLink, DensityIsTheLogOfWhiteOverSample)
{
    takeReferences();
    instrument.reflectance = 0.1f;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 4, 0), 0u);
    // Resampled densities of 1.0 read as a reflectance of 1.0 in the colour
    // values: what matters here is that the per-pixel density was produced.
    EXPECT_NEAR(record.XYZ[1], 100.0, 0.01);
    ASSERT_EQ(spectrometer.SpecAquire(&record, 31, 0), 0u);
    EXPECT_NEAR(record.XYZ[1], 100.0, 0.01);
}

// The per-pixel density is the logarithm of the real quotient white over
// sample: reflectances that give no whole quotient, and a sample brighter
// than the white (a negative density), read as the formula says and finite.
TEST_F(SpectrometerLink, DensityOfAnyReflectanceIsTheLogOfTheRealQuotient)
{
    takeReferences();
    for (float reflectance : {0.45f, 0.6f, 0.85f, 1.2f}) {
        instrument.reflectance = reflectance;
        for (unsigned char command : {4, 31}) {
            ASSERT_EQ(spectrometer.SpecAquire(&record, command, 0), 0u);
            const double density = -std::log10(reflectance);
            EXPECT_NEAR(record.XYZ[1], 100.0 * density, 0.3) << reflectance;
            EXPECT_TRUE(std::isfinite(record.Lab[0]) && std::isfinite(record.Lab[1]) &&
                std::isfinite(record.Luv[2]))
                << reflectance;
        }
    }
}

TEST_F(SpectrometerLink, DarkOnlyCommandComputesNoColourValues)
{
    takeReferences();
    record.XYZ[1] = -1.0f;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 21, 0), 0u);
    EXPECT_EQ(record.XYZ[1], -1.0f);
}

TEST_F(SpectrometerLink, DeferredFetchDeliversUncorrectedCounts)
{
    takeReferences();
    instrument.reflectance = 0.5f;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 1), 0u);
    record.Counts[0] = 0;
    ASSERT_EQ(spectrometer.SpecDataReady(&record, 200), 0u);
    EXPECT_EQ(record.Count, kPixels);
    EXPECT_EQ(record.Counts[0],
        static_cast<std::uint16_t>(kDarkCount + 0.5f * (kWhiteCount - kDarkCount)));
}

TEST_F(SpectrometerLink, DeferredFetchWaitsByTheIntegrationTimeWhilePumping)
{
    takeReferences();
    NewParams parameters {3, 0, 2, 0, {0, 0}, 255}; // 160 ms, two scans
    ASSERT_EQ(spectrometer.SpecNewParams(&parameters), 0u);
    static int pumped = 0;
    pumped = 0;
    CTaviSpec::SetMessagePump([](void*) { ++pumped; }, nullptr);
    const std::uint64_t slept = clock.slept();
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 1), 0u);
    ASSERT_EQ(spectrometer.SpecDataReady(&record, 99999), 0u);
    CTaviSpec::SetMessagePump(nullptr, nullptr);
    // Two scans of 160 ms and 100 ms in pump steps of 30 ms, then the 100 ms settle pause.
    const std::uint64_t waited = clock.slept() - slept;
    EXPECT_GE(waited, 2u * 160 + 100 - 30 + 100);
    EXPECT_LE(waited, 2u * 160 + 100 + 30 + 100);
    EXPECT_GE(pumped, (2 * 160 + 100) / 30 - 1);
}

TEST_F(SpectrometerLink, IncompleteDeferredFetchReports996)
{
    takeReferences();
    instrument.reply = Reply::Silent;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 1), 0u);
    EXPECT_EQ(spectrometer.SpecDataReady(&record, 0), 996u);
    instrument.reply = Reply::ValuesCutShort;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 1), 0u);
    EXPECT_EQ(spectrometer.SpecDataReady(&record, 0), 996u);
}

TEST_F(SpectrometerLink, RepliesCutShortTimeOutAndCloseThePort)
{
    takeReferences();
    instrument.reply = Reply::ValuesCutShort;
    EXPECT_EQ(spectrometer.SpecAquire(&record, 7, 0), 10021u);
    EXPECT_EQ(spectrometer.SpecAquire(&record, 7, 0), 10000u);
    instrument.reply = Reply::Normal;
    takeReferences();
    instrument.reply = Reply::CountCutShort;
    EXPECT_EQ(spectrometer.SpecAquire(&record, 7, 0), 10021u);
    EXPECT_EQ(spectrometer.SpecPortClose(), 1u);
}

TEST_F(SpectrometerLink, MoreValuesThanTheRecordHoldsAreRefused)
{
    takeReferences();
    const std::uint16_t before = record.Count;
    instrument.reply = Reply::TooManyValues;
    EXPECT_EQ(spectrometer.SpecAquire(&record, 7, 0), 10001u);
    EXPECT_EQ(record.Count, before);
    EXPECT_EQ(spectrometer.SpecPortClose(), 1u);
    instrument.reply = Reply::Normal;
    takeReferences();
    instrument.reply = Reply::TooManyValues;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 1), 0u);
    EXPECT_EQ(spectrometer.SpecDataReady(&record, 0), 10001u);
    EXPECT_EQ(record.Count, before);
}

TEST_F(SpectrometerLink, ShortSampleEndedByTheTimeoutBlockLeavesThePortOpen)
{
    std::uint32_t quick[5] = {50, 0, 1000, 100, 5000}; // interval 50 ms, read total 1 s
    timeouts = quick;
    takeReferences();
    instrument.reply = Reply::ValuesCutShort;
    EXPECT_EQ(spectrometer.SpecAquire(&record, 7, 0), 10001u);
    instrument.reply = Reply::Normal;
    EXPECT_EQ(spectrometer.SpecAquire(&record, 7, 0), 0u);
    // A count of one byte is no count: the acquisition fails.
    instrument.reply = Reply::CountCutShort;
    EXPECT_EQ(spectrometer.SpecAquire(&record, 7, 0), 10001u);
    EXPECT_EQ(spectrometer.SpecPortClose(), 1u);
}

TEST_F(SpectrometerLink, ExportsOnAClosedPortReport10000)
{
    InitParams calibration {};
    NewParams parameters {};
    EXPECT_EQ(spectrometer.SpecInitParams(&calibration), 10000u);
    EXPECT_EQ(spectrometer.SpecNewParams(&parameters), 10000u);
    EXPECT_EQ(spectrometer.SpecAquire(&record, 7, 0), 10000u);
    EXPECT_EQ(spectrometer.SpecDataReady(&record, 0), 10000u);
}

TEST_F(SpectrometerLink, WindowIsTakenByDarkReferencesAndShownOtherwise)
{
    takeReferences();
    record.FirstPixel = 17;
    record.LastPixel = 200;
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 0), 0u);
    EXPECT_EQ(record.FirstPixel, 0);
    EXPECT_EQ(record.LastPixel, 255);
    record.FirstPixel = 10;
    record.LastPixel = 60000; // beyond every pixel: the correction stops at the last one
    ASSERT_EQ(spectrometer.SpecAquire(&record, 22, 0), 0u);
    ASSERT_EQ(spectrometer.SpecAquire(&record, 7, 0), 0u);
    EXPECT_EQ(record.FirstPixel, 10);
    EXPECT_EQ(record.LastPixel, 60000);
}

} // namespace

// The pause before an acquisition's reply is read with the code one below
// the index the host sends, so for every integration time and number of
// scans the count's read must wait for the rest: the pause, its margin and
// the read's time-out together outlast what the instrument integrates.
TEST(SpectrometerTiming, EveryAcquisitionIsWaitedForToItsEnd)
{
    constexpr std::uint64_t kReadTimeoutMs = 7000;
    constexpr std::uint64_t kPauseMarginMs = 150;
    const std::uint32_t integrationByIndex[] = {40, 80, 160, 320, 640, 1280, 2560, 5120, 10240};
    for (std::uint8_t code = 0; code < 9; ++code) {
        EXPECT_EQ(lt::instrumentIntegrationMs(code), integrationByIndex[code]);
        for (int scans : {1, 20, 255}) {
            SCOPED_TRACE("code " + std::to_string(code) + ", " + std::to_string(scans) + " scans");
            const auto s = static_cast<std::uint8_t>(scans);
            const std::uint64_t pause = lt::pauseIntegrationMs(code);
            const std::uint64_t waited = (pause > 0 ? pause * s + kPauseMarginMs : 0) +
                kReadTimeoutMs + lt::integrationBeyondMs(code, s, lt::pauseIntegrationMs(code));
            EXPECT_GE(waited, std::uint64_t {integrationByIndex[code]} * s + kPauseMarginMs);
            // A deferred fetch waits by the other table, with the same guarantee.
            const std::uint64_t deferred = std::uint64_t {lt::nominalIntegrationMs(code)} * s +
                kReadTimeoutMs + lt::integrationBeyondMs(code, s, lt::nominalIntegrationMs(code));
            EXPECT_GE(deferred, std::uint64_t {integrationByIndex[code]} * s);
        }
    }
    EXPECT_EQ(lt::instrumentIntegrationMs(9), 0u) << "no such index";
}
