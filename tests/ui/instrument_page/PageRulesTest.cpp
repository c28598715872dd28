// The instrument page's rules that need no window: the identity text, the
// wavelength-to-pixel conversion, the count statistics, the value line and
// the beep tones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/common/ToneSynthesis.h"
#include "core/instrument_page/InstrumentController.h"

using namespace lt;

TEST(InstrumentIdentity, PairsOfHexDigitsBecomeCharactersAfterAV)
{
    EXPECT_EQ(decodeIdentity("4C543230302D3031", 16), "VLT200-01");
    // Only eleven characters are kept.
    EXPECT_EQ(decodeIdentity("414243444546474849505152", 24), "VABCDEFGHIPQ");
    // A pair starting with "0" ends the text; so does a pair that is not hex.
    EXPECT_EQ(decodeIdentity("41420043", 8), "VAB");
    EXPECT_EQ(decodeIdentity("41ZZ43", 6), "VA");
    // Control characters are not shown as they are.
    EXPECT_EQ(decodeIdentity("4110", 4), "VA?");
    EXPECT_EQ(decodeIdentity("", 0), "V");
}

TEST(SpectrometerWindow, WavelengthBecomesTheNearestPixelWithinTheArray)
{
    EXPECT_EQ(pixelOfWavelength(226.5, 2.94118, 226.5), 0);
    EXPECT_EQ(pixelOfWavelength(400, 2.94118, 226.5), 59); // 58.99 + 0.5
    EXPECT_EQ(pixelOfWavelength(100, 2.94118, 226.5), 0); // below the array
    EXPECT_EQ(pixelOfWavelength(1200, 2.94118, 226.5), 255); // beyond it
    EXPECT_EQ(pixelOfWavelength(500, 0.0, 226.5), 0); // no calibration
}

TEST(CountStatistics, MinimumMaximumMeanAndSpreadOverTheWindow)
{
    Aquire record {};
    record.Count = 6;
    const std::uint16_t counts[] = {900, 100, 200, 300, 600, 5};
    std::memcpy(record.Counts, counts, sizeof counts);
    // Counts start at pixel 10; the window is pixels 11 ... 14.
    const CountStatistics statistics = countStatistics(record, 10, 11, 14);
    EXPECT_EQ(statistics.minimum, 100);
    EXPECT_EQ(statistics.minimumPixel, 11);
    EXPECT_EQ(statistics.maximum, 600);
    EXPECT_EQ(statistics.maximumPixel, 14);
    EXPECT_EQ(statistics.mean, 300);
    // deviations -200, -100, 0, 300: sqrt(140000 / 4) = 187.08
    EXPECT_EQ(statistics.spread, 187);
}

TEST(CountStatistics, PixelsNotSentAreLeftOut)
{
    Aquire record {};
    record.Count = 3;
    record.Counts[0] = 10;
    record.Counts[1] = 20;
    record.Counts[2] = 30;
    record.Counts[3] = 60000; // stale, not sent this time
    const CountStatistics statistics = countStatistics(record, 0, 0, 255);
    EXPECT_EQ(statistics.maximum, 30);
    EXPECT_EQ(statistics.mean, 20);
    const CountStatistics empty = countStatistics(record, 100, 0, 50);
    EXPECT_EQ(empty.maximum, 0);
    EXPECT_EQ(empty.mean, 0);
}

TEST(SpectrometerValueLine, ShowsTristimulusLabAndDifference)
{
    Aquire record {};
    record.XYZ[0] = 41.24f;
    record.XYZ[1] = 21.26f;
    record.XYZ[2] = 1.93f;
    record.Lab[0] = 53.24f;
    record.Lab[1] = 80.09f;
    record.Lab[2] = 67.2f;
    record.DeltaE = 0.5f;
    EXPECT_EQ(spectrometerValueLine(record),
        " X= 41.240,   Y= 21.260,   Z=  1.930,     L= 53.240,   a= 80.090,   b= 67.200,    dE=  "
        "0.500");
}

TEST(BeepTone, SineOfTheAskedFrequencyAndLength)
{
    const auto tone = synthesizeTone(800, 30, 48000);
    ASSERT_EQ(tone.size(), 1440u);
    int crossings = 0;
    for (std::size_t i = 1; i < tone.size(); ++i)
        crossings += (tone[i - 1] < 0) != (tone[i] < 0) ? 1 : 0;
    EXPECT_NEAR(crossings, 2 * 800 * 30 / 1000, 2);
    // It starts and ends softly, without a click.
    EXPECT_LT(std::abs(tone.front()), 200);
    EXPECT_LT(std::abs(tone.back()), 200);
    const auto loudest = *std::max_element(tone.begin(), tone.end());
    EXPECT_NEAR(loudest, 32767 * kToneAmplitude, 400);
}

TEST(BeepTone, UnplayableRequestsGiveSilenceOrAreCut)
{
    const auto tooHigh = synthesizeTone(30000, 10, 48000);
    EXPECT_EQ(tooHigh.size(), 480u);
    EXPECT_TRUE(std::all_of(tooHigh.begin(), tooHigh.end(), [](std::int16_t s) { return s == 0; }));
    EXPECT_EQ(synthesizeTone(800, 60000, 48000).size(), 48000u * kToneMaxMs / 1000);
    EXPECT_TRUE(synthesizeTone(800, 0, 48000).empty());
}
