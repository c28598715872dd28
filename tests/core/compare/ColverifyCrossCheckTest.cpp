// The chart comparison against ArgyllCMS's colverify on the same pair of
// charts: the mean and the largest CIE 1976 difference agree to 0.01.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "common/TempDirectory.h"
#include "core/compare/ChartComparison.h"

namespace lt {
namespace {

// A CMYK chart of 928 patches in the exchange format of the open
// profile-building tools; shift moves X and Z patch by patch.
std::string writeChart(const std::string& path, double shift)
{
    std::ofstream out(path);
    out << "CTI3\n\nDESCRIPTOR \"cross check\"\nORIGINATOR \"LtrakW test\"\nDEVICE_CLASS "
           "\"OUTPUT\"\n"
           "COLOR_REP \"CMYK_XYZ\"\n\nNUMBER_OF_FIELDS 8\nBEGIN_DATA_FORMAT\n"
           "SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K XYZ_X XYZ_Y XYZ_Z\nEND_DATA_FORMAT\n\n"
           "NUMBER_OF_SETS 928\nBEGIN_DATA\n";
    for (int i = 0; i < 928; ++i) {
        const double c = (i * 7) % 101, m = (i * 13) % 101, y = (i * 29) % 101, k = (i * 3) % 61;
        const double Y = 3.0 + 90.0 * std::exp(-(c + m + y + 2 * k) / 120.0);
        const double X = Y * (0.96 - 0.002 * c + 0.001 * m) + shift * std::sin(i * 0.37);
        const double Z = Y * (0.83 - 0.004 * y + 0.002 * c) + shift * std::cos(i * 0.11);
        char line[200];
        std::snprintf(line, sizeof line, "%d %.0f %.0f %.0f %.0f %.4f %.4f %.4f\n", i + 1, c, m, y,
            k, X, Y, Z);
        out << line;
    }
    out << "END_DATA\n";
    return path;
}

TEST(ColverifyCrossCheck, MeanAndPeakAgreeWithTheOpenToolsVerifier)
{
    if (std::system("command -v colverify >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ArgyllCMS colverify is not installed";
    testing::TempDirectory dir;
    const std::string reference = writeChart(dir.file("reference.ti3"), 0.0);
    const std::string sample = writeChart(dir.file("sample.ti3"), 1.2);

    MeasuredChartReading a = readMeasuredChart(reference);
    MeasuredChartReading b = readMeasuredChart(sample);
    ASSERT_TRUE(a.chart && b.chart) << a.error << b.error;
    ChartComparison ours = compareCharts(*a.chart, *b.chart, DeltaEFormula::Cie76);
    ASSERT_EQ(ours.all.count, 928);

    const std::string command = "colverify " + reference + " " + sample + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    double peak = -1, average = -1;
    char line[512];
    while (std::fgets(line, sizeof line, pipe))
        if (std::sscanf(line, " Total errors: peak = %lf, avg = %lf", &peak, &average) == 2)
            break;
    ::pclose(pipe);
    ASSERT_GE(peak, 0) << "no total line from colverify";
    EXPECT_NEAR(ours.all.maximum, peak, 0.01);
    EXPECT_NEAR(ours.all.mean, average, 0.01);
}

} // namespace
} // namespace lt
