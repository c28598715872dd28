// Colour arithmetic of the array spectrometer: table files, stray-light
// correction, resampling and the CIE values computed from a spectrum.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "instrument/spectrometer/CieTables.h"
#include "instrument/spectrometer/SpectrumColorimetry.h"
#include "instrument/spectrometer/StrayLight.h"
#include "spectrometer_support.h"

namespace {

namespace fs = std::filesystem;
using lttest::dataFile;

class TempFile {
public:
    explicit TempFile(const std::string& content)
    {
        char name[] = "/tmp/ltrakw_tableXXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        FILE* file = fdopen(fd, "wb");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    ~TempFile() { fs::remove(path_); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

std::string observerRows(int first, int rows)
{
    std::string text;
    for (int i = 0; i < rows; ++i) {
        char row[128];
        std::snprintf(row, sizeof row, "%d 0.%d 1 2 3 4 5\n", first + 5 * i, i % 10);
        text += row;
    }
    return text;
}

// ---------------------------------------------------------------------------
// Table files

TEST(CieTableLoader, ShippedTablesHoldTheCieObserverAndIlluminants)
{
    lt::CieTables tables;
    ASSERT_EQ(
        lt::loadCieTables(dataFile("XYZ2.txt").c_str(), dataFile("ILLUM.txt").c_str(), tables), 0);
    EXPECT_EQ(tables.observerRows, 81);
    EXPECT_EQ(tables.illuminantRows, 97);
    EXPECT_EQ(tables.observerWavelength[0], 380.0f);
    EXPECT_EQ(tables.illuminantWavelength[lt::kIlluminantRowOf380nm], 380.0f);
    // 2 degree y-bar peaks at 555 nm with 1.0; 10 degree y-bar at 555 nm is 0.9991.
    EXPECT_FLOAT_EQ(tables.observer[1][35], 1.0f);
    EXPECT_NEAR(tables.observer[4][35], 0.9991, 0.0005);
    // A and the daylight illuminants are normalised to 100 at 560 nm.
    for (int index : {1, 3, 4, 5, 6})
        EXPECT_NEAR(tables.illuminant[lt::illuminantColumnForIndex(index)][52], 100.0, 0.01)
            << index;
    // D65 at 300 nm, filled from the daylight table below the visible range.
    EXPECT_NEAR(tables.illuminant[lt::illuminantColumnForIndex(3)][0], 0.0341, 1e-4);
}

TEST(CieTableLoader, FileWithoutCommentLineLosesItsFirstCharacter)
{
    TempFile observer(observerRows(380, 3));
    TempFile illuminant("; illuminants\n300 1 2 3 4 5 6 7 8 9 10\n");
    lt::CieTables tables;
    ASSERT_EQ(lt::loadCieTables(observer.path(), illuminant.path(), tables), 0);
    EXPECT_EQ(tables.observerWavelength[0], 80.0f);
    EXPECT_EQ(tables.observerWavelength[1], 385.0f);
    EXPECT_EQ(tables.observerRows, 3);
}

TEST(CieTableLoader, IlluminantColumnsFourToSevenAreSkipped)
{
    TempFile observer("; observer\n" + observerRows(380, 1));
    TempFile illuminant(";\n300 1 2 3 4 5 6 7 8 9 10\r\n305 11 12 13 14 15 16 17 18 19 20\r\n");
    lt::CieTables tables;
    ASSERT_EQ(lt::loadCieTables(observer.path(), illuminant.path(), tables), 0);
    ASSERT_EQ(tables.illuminantRows, 2);
    // Indexes 1..6 weigh with file columns 1, 3, 2, 8, 9, 10.
    const float expected[] = {11, 13, 12, 18, 19, 20};
    for (int index = 1; index <= 6; ++index)
        EXPECT_EQ(tables.illuminant[lt::illuminantColumnForIndex(index)][1], expected[index - 1])
            << index;
}

TEST(CieTableLoader, KeepsAtMostOneHundredRowsAndStopsAtTheFirstBadRow)
{
    TempFile longFile("; observer\n" + observerRows(380, 130));
    TempFile illuminant(";\n300 1 2 3 4 5 6 7 8 9 10\n");
    lt::CieTables tables;
    ASSERT_EQ(lt::loadCieTables(longFile.path(), illuminant.path(), tables), 0);
    EXPECT_EQ(tables.observerRows, 100);
    EXPECT_EQ(tables.observerWavelength[99], 380.0f + 5 * 99);

    TempFile broken("; observer\n380 1 2 3 4 5 6\n385 1 2 x 4 5 6\n390 1 2 3 4 5 6\n");
    ASSERT_EQ(lt::loadCieTables(broken.path(), illuminant.path(), tables), 0);
    EXPECT_EQ(tables.observerRows, 1);

    TempFile truncated("; observer\n380 1 2 3 4 5 6\n385 1 2 3");
    ASSERT_EQ(lt::loadCieTables(truncated.path(), illuminant.path(), tables), 0);
    EXPECT_EQ(tables.observerRows, 1);

    TempFile junk(std::string("\xff\x00\x01;;;\n\n-+-+ nan inf 1e999999 9999999999999", 40));
    ASSERT_EQ(lt::loadCieTables(junk.path(), junk.path(), tables), 0);
    EXPECT_EQ(tables.observerRows, 0);
    EXPECT_EQ(tables.illuminantRows, 0);
}

TEST(CieTableLoader, ReadsNumbersInTheCLocaleWhateverTheProcessLocale)
{
    TempFile observer(";\n380 0.5 1 2 3 4 5\n");
    TempFile illuminant(";\n300 1.25 2 3 4 5 6 7 8 9 10\n");
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    lt::CieTables tables;
    const int result = lt::loadCieTables(observer.path(), illuminant.path(), tables);
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_EQ(result, 0);
    EXPECT_EQ(tables.observer[0][0], 0.5f);
    EXPECT_EQ(tables.illuminant[lt::illuminantColumnForIndex(1)][0], 1.25f);
    if (!german)
        GTEST_LOG_(INFO) << "de_DE.UTF-8 not installed: read in the C locale only";
}

TEST(CieTableLoader, ReportsWhichFileIsMissing)
{
    TempFile good(";\n380 1 2 3 4 5 6\n");
    lt::CieTables tables;
    EXPECT_EQ(lt::loadCieTables("", good.path(), tables), lt::kTablesNoObserverName);
    EXPECT_EQ(lt::loadCieTables(nullptr, good.path(), tables), lt::kTablesNoObserverName);
    EXPECT_EQ(lt::loadCieTables("/nonexistent/XYZ2.txt", good.path(), tables),
        lt::kTablesObserverNotOpened);
    EXPECT_EQ(lt::loadCieTables(good.path(), "/nonexistent/ILLUM.txt", tables),
        lt::kTablesIlluminantNotOpened);
    EXPECT_EQ(lt::loadCieTables(good.path(), "/tmp", tables), lt::kTablesIlluminantNotOpened);
}

// ---------------------------------------------------------------------------
// Stray light

TEST(StrayLight, HandCheckedWindow)
{
    // k=0: right (0+1000+2000)=3000 -> 210+3;   k=1: right 1000, left -1000 -> 210+0 (0.6 truncated)
    // k=2: left -3000 -> 210-1 (truncated toward zero);  k=3: left 4500 -> 210+1
    const std::uint16_t counts[] = {1000, 2000, 3000, 500};
    std::uint16_t corrected[4] = {};
    lt::correctStrayLight(counts, 0, 3, corrected);
    EXPECT_EQ(corrected[0], 787);
    EXPECT_EQ(corrected[1], 1790);
    EXPECT_EQ(corrected[2], 2791);
    EXPECT_EQ(corrected[3], 289);
}

TEST(StrayLight, CorrectsOnlyTheWindowAndClampsAtBothEnds)
{
    std::vector<std::uint16_t> counts(16, 5000);
    counts[4] = 150; // darker than the offset: stored as 0
    counts[9] = 65535; // dark neighbours give a negative correction
    for (int k = 10; k < 16; ++k)
        counts[k] = 0;
    std::vector<std::uint16_t> corrected(16, 7);
    lt::correctStrayLight(counts.data(), 2, 12, corrected.data());
    EXPECT_EQ(corrected[1], 7);
    EXPECT_EQ(corrected[13], 7);
    EXPECT_EQ(corrected[4], 0);
    EXPECT_EQ(corrected[12], 0);
    EXPECT_GT(corrected[9], 65000);
    EXPECT_LE(corrected[9], 65535);
}

TEST(StrayLight, MatchesTheDirectSumsOverAFullSensorLine)
{
    std::vector<std::uint16_t> counts(256);
    for (int k = 0; k < 256; ++k)
        counts[k] =
            static_cast<std::uint16_t>(20000 + 15000 * std::sin(k / 20.0) + (k * 7919) % 997);
    std::vector<std::uint16_t> corrected(256);
    const int first = 5, last = 250;
    lt::correctStrayLight(counts.data(), first, last, corrected.data());
    for (int k = first; k <= last; ++k) {
        long long right = 0, left = 0;
        for (int j = k; j < last; ++j)
            right += counts[j] - counts[k];
        for (int j = first; j < k; ++j)
            left += counts[j] - counts[k];
        const long correction = 210 + static_cast<long>(0.001 * right + 0.0004 * left);
        const long expected = std::clamp<long>(counts[k] - correction, 0, 65535);
        ASSERT_EQ(corrected[k], expected) << "pixel " << k;
    }
}

// ---------------------------------------------------------------------------
// Resampling and colour values

TEST(Resampling, LinearSpectrumIsReproducedAtEveryTarget)
{
    // 2.5 nm per pixel from 300 nm: target g lies between pixels.
    const lt::WavelengthCalibration calibration {2.5f, 301.0f};
    std::vector<float> result(256);
    for (int k = 0; k < 256; ++k)
        result[k] = (calibration.zero + k * calibration.slope) / 1000.0f;
    float resampled[lt::kResampledCount];
    lt::resampleSpectrum(result.data(), 256, calibration, 780.0f, 5.0f, resampled);
    for (int i = 0; i < lt::kResampledCount; ++i)
        EXPECT_NEAR(resampled[i], (380.0f + 5.0f * i) / 1000.0f, 1e-5) << i;
}

TEST(Resampling, StopsAtTheHighLimitAndSurvivesMissingCalibration)
{
    const lt::WavelengthCalibration calibration {2.0f, 370.0f};
    std::vector<float> result(256, 0.5f);
    float resampled[lt::kResampledCount];
    // The walk ends at the pixel of the high limit (502 nm): 500 nm is the last sample.
    lt::resampleSpectrum(result.data(), 256, calibration, 502.0f, 5.0f, resampled);
    EXPECT_FLOAT_EQ(resampled[0], 0.5f);
    EXPECT_FLOAT_EQ(resampled[24], 0.5f);
    EXPECT_FLOAT_EQ(resampled[25], 0.0f);

    lt::resampleSpectrum(result.data(), 256, lt::WavelengthCalibration {}, 780.0f, 5.0f, resampled);
    for (float value : resampled)
        EXPECT_EQ(value, 0.0f);
}

TEST(Resampling, CalibrationStartingAboveTheFirstTargetUsesPixelZero)
{
    const lt::WavelengthCalibration calibration {3.0f, 395.0f};
    std::vector<float> result(256, 0.25f);
    float resampled[lt::kResampledCount];
    lt::resampleSpectrum(result.data(), 256, calibration, 780.0f, 5.0f, resampled);
    EXPECT_FLOAT_EQ(resampled[0], 0.25f);
}

class ColourValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(
            lt::loadCieTables(dataFile("XYZ2.txt").c_str(), dataFile("ILLUM.txt").c_str(), tables),
            0);
    }
    lt::ColourValues of(const std::vector<float>& reflectance, int illuminant)
    {
        float weights[lt::kResampledCount];
        lt::illuminantWeights(tables, illuminant, weights);
        return lt::colourValues(reflectance.data(), weights, tables);
    }
    lt::CieTables tables;
};

TEST_F(ColourValues, PerfectWhiteIsTheIlluminantsWhitePoint)
{
    const std::vector<float> white(lt::kResampledCount, 1.0f);
    // D65 and D50 white points of the 2 degree observer (5 nm sums over 380..775 nm).
    const auto d65 = of(white, 3);
    EXPECT_NEAR(d65.sample.X, 95.04, 0.05);
    EXPECT_FLOAT_EQ(d65.sample.Y, 100.0f);
    EXPECT_NEAR(d65.sample.Z, 108.88, 0.05);
    EXPECT_NEAR(d65.lab.L, 100.0, 0.01);
    EXPECT_NEAR(d65.lab.a, 0.0, 0.01);
    EXPECT_NEAR(d65.luv.u, 0.0, 0.01);
    EXPECT_NEAR(d65.x, 0.3127, 0.0002);
    EXPECT_NEAR(d65.y, 0.3290, 0.0002);
    const auto d50 = of(white, 4);
    EXPECT_NEAR(d50.white.X, 96.42, 0.05);
    EXPECT_NEAR(d50.white.Z, 82.52, 0.05);
    const auto a = of(white, 1);
    EXPECT_NEAR(a.white.X, 109.85, 0.05);
}

TEST_F(ColourValues, IndexesWithoutATableWeighWithEqualEnergy)
{
    const std::vector<float> white(lt::kResampledCount, 1.0f);
    for (int index : {0, 7, 8, 9, 255}) {
        float weights[lt::kResampledCount];
        lt::illuminantWeights(tables, index, weights);
        EXPECT_EQ(weights[0], 100.0f) << index;
        EXPECT_EQ(weights[79], 100.0f) << index;
        const auto values = of(white, index);
        EXPECT_NEAR(values.x, 1.0 / 3, 0.001) << index;
    }
}

TEST_F(ColourValues, GreySampleUnderD50)
{
    // An 18 % grey: Y = 18, L* = 49.50, neutral.
    const std::vector<float> grey(lt::kResampledCount, 0.18f);
    const auto values = of(grey, 4);
    EXPECT_NEAR(values.sample.Y, 18.0, 1e-3);
    EXPECT_NEAR(values.lab.L, 49.496, 0.01);
    EXPECT_NEAR(values.lab.a, 0.0, 1e-3);
    EXPECT_NEAR(values.luv.v, 0.0, 1e-3);
    // Below the cube-root range the linear segment applies: Y = 0.5 gives L* = 4.5164.
    const auto dark = of(std::vector<float>(lt::kResampledCount, 0.005f), 4);
    EXPECT_NEAR(dark.lab.L, 116 * (7.787 * 0.005 + 0.138) - 16, 0.01);
}

// Samples taken every `step` nanometres are weighed with the tables at their
// own wavelengths: a perfect white is the white point and a grey is neutral
// whatever the step, and a step that is not positive gives no numbers.
TEST_F(ColourValues, ReadsTheTablesAtEachSamplesWavelength)
{
    for (float step : {5.0f, 10.0f, 20.0f}) {
        float weights[lt::kResampledCount];
        lt::illuminantWeights(tables, 4, weights, step);
        const std::vector<float> white(lt::kResampledCount, 1.0f);
        const auto values = lt::colourValues(white.data(), weights, tables, step);
        EXPECT_NEAR(values.lab.L, 100.0, 0.01) << step;
        EXPECT_NEAR(values.lab.a, 0.0, 0.01) << step;
        EXPECT_NEAR(values.lab.b, 0.0, 0.01) << step;
        EXPECT_NEAR(values.x, 0.3457, 0.002) << step; // D50
        const std::vector<float> grey(lt::kResampledCount, 0.18f);
        EXPECT_NEAR(lt::colourValues(grey.data(), weights, tables, step).lab.L, 49.496, 0.01)
            << step;
    }
    float weights[lt::kResampledCount];
    lt::illuminantWeights(tables, 4, weights, 0.0f);
    const std::vector<float> white(lt::kResampledCount, 1.0f);
    const auto none = lt::colourValues(white.data(), weights, tables, 0.0f);
    EXPECT_EQ(none.sample.Y, 0.0f);
    EXPECT_TRUE(std::isfinite(none.lab.L));
}

TEST_F(ColourValues, BlackSampleAndEmptyTablesGiveZerosNotNumbersThatAreNot)
{
    const auto black = of(std::vector<float>(lt::kResampledCount, 0.0f), 3);
    EXPECT_EQ(black.x, 0.0f);
    EXPECT_NEAR(black.lab.L, 0.0, 0.01);
    EXPECT_NEAR(black.luv.u, 0.0, 0.05);
    lt::CieTables empty;
    float weights[lt::kResampledCount];
    lt::illuminantWeights(empty, 3, weights);
    const std::vector<float> white(lt::kResampledCount, 1.0f);
    const auto values = lt::colourValues(white.data(), weights, empty);
    EXPECT_TRUE(std::isfinite(values.lab.L));
    EXPECT_TRUE(std::isfinite(values.luv.u));
    EXPECT_EQ(values.sample.Y, 0.0f);
}

TEST(ColourDifference, DeltaE76IsTheEuclideanDistance)
{
    EXPECT_FLOAT_EQ(lt::deltaE76({50, 3, 4}, {50, 0, 0}), 5.0f);
    EXPECT_FLOAT_EQ(lt::deltaE76({100, 0, 0}, {97, 4, 0}), 5.0f);
}

TEST(ColourDifference, CieluvOfAKnownColour)
{
    // sRGB red under D65: X 41.24, Y 21.26, Z 1.93 -> L* 53.24, u* 175.01, v* 37.76.
    const lt::Tristimulus red {41.24f, 21.26f, 1.93f};
    const lt::Tristimulus d65 {95.047f, 100.0f, 108.883f};
    const auto lab = lt::cieLab(red, d65);
    EXPECT_NEAR(lab.L, 53.24, 0.05);
    EXPECT_NEAR(lab.a, 80.09, 0.1);
    const auto luv = lt::cieLuv(red, d65, lab.L);
    EXPECT_NEAR(luv.u, 175.0, 0.3);
    EXPECT_NEAR(luv.v, 37.76, 0.3);
}

} // namespace
