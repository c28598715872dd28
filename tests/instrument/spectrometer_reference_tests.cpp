// The spectrometer's colour values against an independent colour-science
// implementation (ArgyllCMS's spec2cie): smooth reflectance spectra, seen
// through a pixel calibration and resampled, must give the same XYZ and
// L*a*b* within 0.1 delta E under D50/2 degrees and D65/10 degrees.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "instrument/spectrometer/CieTables.h"
#include "instrument/spectrometer/SpectrumColorimetry.h"
#include "spectrometer_support.h"

namespace {

namespace fs = std::filesystem;
using lttest::dataFile;

constexpr int kFirstNm = 380;
constexpr int kLastNm = 780;
constexpr int kStepNm = 5;
constexpr double kTolerance = 0.1; // [delta E 1976]

struct Sample {
    double centre; // [nm]
    double width; // [nm]
    double floor;
    double height;
    double at(double nm) const
    {
        return floor + height * std::exp(-std::pow((nm - centre) / width, 2.0));
    }
};

// The perfect white first (spec2cie's L*a*b* are always relative to D50, so
// the reference white point comes from its XYZ of this sample), then bands
// as broad as those of printing inks: blue, green, red, a greyish and a dark
// sample. (The library sums at 5 nm, the reference integrates finer: for a
// narrow saturated blue of 60 nm width the two part by about 0.11.)
const Sample kSamples[] = {
    {560, 100, 1.0, 0.0},
    {450, 80, 0.08, 0.80},
    {540, 80, 0.05, 0.75},
    {630, 90, 0.06, 0.85},
    {560, 300, 0.30, 0.20},
    {500, 120, 0.02, 0.06},
};

bool haveReference()
{
    return std::system("command -v spec2cie > /dev/null 2>&1") == 0;
}

struct Reference {
    double xyz[3];
};

class ReferenceComparison : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveReference())
            GTEST_SKIP() << "spec2cie (Debian package argyll) is not installed";
        char pattern[] = "/tmp/ltrakw_referenceXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        if (!dir.empty())
            fs::remove_all(dir);
    }

    // The samples at 5 nm as a measurement file, converted by spec2cie.
    std::vector<Reference> reference(const char* illuminant, const char* observer)
    {
        const std::string input = dir + "/samples.ti3";
        const std::string output = dir + "/converted.ti3";
        std::ofstream file(input);
        const int bands = (kLastNm - kFirstNm) / kStepNm + 1;
        file << "CTI3\n\nDESCRIPTOR \"reference samples\"\nORIGINATOR \"ltrakw "
                "tests\"\nDEVICE_CLASS \"OUTPUT\"\n"
             << "COLOR_REP \"RGB_XYZ\"\nSPECTRAL_BANDS \"" << bands << "\"\nSPECTRAL_START_NM \""
             << kFirstNm << "\"\nSPECTRAL_END_NM \"" << kLastNm << "\"\nSPECTRAL_NORM \"100\"\n\n"
             << "NUMBER_OF_FIELDS " << bands + 4
             << "\nBEGIN_DATA_FORMAT\nSAMPLE_ID RGB_R RGB_G RGB_B";
        for (int nm = kFirstNm; nm <= kLastNm; nm += kStepNm)
            file << " SPEC_" << nm;
        file << "\nEND_DATA_FORMAT\n\nNUMBER_OF_SETS " << std::size(kSamples) << "\nBEGIN_DATA\n";
        int id = 1;
        for (const Sample& sample : kSamples) {
            file << id++ << " 0 0 0";
            for (int nm = kFirstNm; nm <= kLastNm; nm += kStepNm) {
                char value[32];
                std::snprintf(value, sizeof value, " %.6f", 100.0 * sample.at(nm));
                file << value;
            }
            file << "\n";
        }
        file << "END_DATA\n";
        file.close();

        const std::string command = std::string("spec2cie -n -i ") + illuminant + " -o " +
            observer + " " + input + " " + output + " > /dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return parse(output);
    }

    static std::vector<Reference> parse(const std::string& path)
    {
        std::ifstream file(path);
        std::string line;
        std::vector<std::string> fields;
        std::vector<Reference> rows;
        bool inFormat = false, inData = false;
        while (std::getline(file, line)) {
            if (line.rfind("BEGIN_DATA_FORMAT", 0) == 0) {
                inFormat = true;
                continue;
            }
            if (line.rfind("END_DATA_FORMAT", 0) == 0) {
                inFormat = false;
                continue;
            }
            if (line.rfind("BEGIN_DATA", 0) == 0) {
                inData = true;
                continue;
            }
            if (line.rfind("END_DATA", 0) == 0)
                break;
            std::istringstream words(line);
            std::string word;
            if (inFormat) {
                while (words >> word)
                    fields.push_back(word);
            } else if (inData) {
                Reference row {};
                for (std::size_t i = 0; i < fields.size() && (words >> word); ++i) {
                    const char* names[] = {"XYZ_X", "XYZ_Y", "XYZ_Z"};
                    for (int k = 0; k < 3; ++k)
                        if (fields[i] == names[k])
                            row.xyz[k] = std::strtod(word.c_str(), nullptr);
                }
                rows.push_back(row);
            }
        }
        return rows;
    }

    // The library's values: the sample seen by pixels of 1.7 nm from 352.3 nm,
    // resampled to 5 nm and weighed.
    static lt::ColourValues library(
        const Sample& sample, const lt::CieTables& tables, int illuminantIndex)
    {
        const lt::WavelengthCalibration calibration {1.7f, 352.3f};
        std::vector<float> result(300);
        for (std::size_t k = 0; k < result.size(); ++k)
            result[k] = static_cast<float>(
                sample.at(calibration.zero + calibration.slope * static_cast<double>(k)));
        float resampled[lt::kResampledCount];
        float weights[lt::kResampledCount];
        lt::resampleSpectrum(
            result.data(), static_cast<int>(result.size()), calibration, 780.0f, 5.0f, resampled);
        lt::illuminantWeights(tables, illuminantIndex, weights);
        return lt::colourValues(resampled, weights, tables);
    }

    void compare(const lt::CieTables& tables, int illuminantIndex, const char* illuminant,
        const char* observer)
    {
        const std::vector<Reference> expected = reference(illuminant, observer);
        ASSERT_EQ(expected.size(), std::size(kSamples));
        auto tristimulus = [](const Reference& r) {
            return lt::Tristimulus {static_cast<float>(r.xyz[0]), static_cast<float>(r.xyz[1]),
                static_cast<float>(r.xyz[2])};
        };
        const lt::Tristimulus referenceWhite = tristimulus(expected[0]);
        float worst = 0.0f;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const lt::ColourValues values = library(kSamples[i], tables, illuminantIndex);
            const lt::CieLab reference = lt::cieLab(tristimulus(expected[i]), referenceWhite);
            worst = std::max(worst, lt::deltaE76(values.lab, reference));
            EXPECT_LT(lt::deltaE76(values.lab, reference), kTolerance)
                << illuminant << "/" << observer << " sample " << i << ": L*a*b* " << values.lab.L
                << " " << values.lab.a << " " << values.lab.b << " against " << reference.L << " "
                << reference.a << " " << reference.b;
            EXPECT_NEAR(values.sample.Y, expected[i].xyz[1], 0.1) << i;
            EXPECT_NEAR(values.sample.X, expected[i].xyz[0], 0.1) << i;
            EXPECT_NEAR(values.sample.Z, expected[i].xyz[2], 0.1) << i;
        }
        GTEST_LOG_(INFO) << illuminant << "/" << observer << ": largest delta E 1976 " << worst;
    }

    std::string dir;
};

TEST_F(ReferenceComparison, D50TwoDegrees)
{
    lt::CieTables tables;
    ASSERT_EQ(
        lt::loadCieTables(dataFile("XYZ2.txt").c_str(), dataFile("ILLUM.txt").c_str(), tables), 0);
    compare(tables, 4, "D50", "1931_2");
}

TEST_F(ReferenceComparison, D65TenDegrees)
{
    // The library weighs with the observer file's first three columns: a copy
    // of the shipped table with the 10 degree columns first.
    std::ifstream shipped(dataFile("XYZ2.txt"));
    std::ofstream tenDegree(dir + "/XYZ10.txt");
    std::string line;
    std::getline(shipped, line);
    tenDegree << "; 10 degree observer first\n";
    while (std::getline(shipped, line)) {
        std::istringstream words(line);
        std::string nm, c[6];
        if (!(words >> nm >> c[0] >> c[1] >> c[2] >> c[3] >> c[4] >> c[5]))
            break;
        tenDegree << nm << ' ' << c[3] << ' ' << c[4] << ' ' << c[5] << ' ' << c[0] << ' ' << c[1]
                  << ' ' << c[2] << '\n';
    }
    tenDegree.close();
    lt::CieTables tables;
    ASSERT_EQ(
        lt::loadCieTables((dir + "/XYZ10.txt").c_str(), dataFile("ILLUM.txt").c_str(), tables), 0);
    compare(tables, 3, "D65", "1964_10");
}

} // namespace
