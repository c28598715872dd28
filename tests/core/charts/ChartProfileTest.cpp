// Whole charts measured from the virtual Lumatrak through the measurement
// cycle, each patch printed with its own nominal inks, saved as chart files
// and handed to the profile builders that read them: ArgyllCMS converts the
// IT8.7/3 file and builds a CMYK profile whose paper and cyan solid match the
// measurement; LittleCMS's CGATS reader reads all three charts.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include <gtest/gtest.h>
#include <lcms2.h>

#include "common/TempDirectory.h"
#include "core/charts/ChartLayout.h"
#include "core/charts/ChartMeasurement.h"
#include "core/charts/ChartReferenceTable.h"
#include "core/metrics/SimulatedStation.h"

namespace lt {
namespace {

std::string percent(float value)
{
    return std::to_string(static_cast<int>(std::lround(value)));
}

// The print the simulator lays under the head for a patch: its CMYK, or for
// the RGB chart the complementary process inks.
std::string inkOf(ChartType chart, int patch)
{
    const DeviceValues v = ChartReferenceTable(chart)[static_cast<std::size_t>(patch)];
    if (chart == ChartTqRgb)
        return "C" + percent(100 - v[0]) + "M" + percent(100 - v[1]) + "Y" + percent(100 - v[2]);
    return "C" + percent(v[0]) + "M" + percent(v[1]) + "Y" + percent(v[2]) + "K" + percent(v[3]);
}

// Runs a command line; its standard output, or nothing when it failed.
std::optional<std::string> run(const std::string& command)
{
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string output;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << command << "\n" << output;
        return std::nullopt;
    }
    return output;
}

double deltaE76(const std::array<double, 3>& a, const float b[3])
{
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

class ChartProfileTest : public test::SimulatedStation {
protected:
    void SetUp() override
    {
        SimulatedStation::SetUp();
        openInstrument();
        charts = std::make_unique<ChartMeasurement>(*station);
    }

    void TearDown() override
    {
        charts.reset();
        SimulatedStation::TearDown();
    }

    // Measures every patch of chart through the cycle and saves the file.
    std::string measureAndSave(ChartType chart)
    {
        station->record().chart.chartType = chart;
        ChartSession* session = charts->start(&instrumentPage);
        EXPECT_NE(session, nullptr);
        if (!session)
            return {};
        for (int i = 0; i < chartPatchCount(chart); ++i)
            measure(inkOf(chart, i).c_str());
        EXPECT_EQ(session->currentPatch(), chartPatchCount(chart));
        const std::string path = files.file("chart" + std::to_string(chart) + ".txt");
        op.files.push_back(path);
        EXPECT_TRUE(session->save());
        charts->stop();
        return path;
    }

    // LittleCMS reads the file: sets, fields and the XYZ of three patches.
    // Its reader (2.14) garbles sample names that begin with a digit, such
    // as the IT8.7/3 names "00A1", so the rows are taken by position; the TQ
    // names are looked up as well.
    void expectLittleCmsReads(const std::string& path, ChartType chart)
    {
        cmsHANDLE it8 = cmsIT8LoadFromFile(nullptr, path.c_str());
        ASSERT_NE(it8, nullptr) << path;
        EXPECT_EQ(cmsIT8GetPropertyDbl(it8, "NUMBER_OF_SETS"), chartPatchCount(chart));
        EXPECT_EQ(cmsIT8GetPropertyDbl(it8, "NUMBER_OF_FIELDS"), chart == ChartTqRgb ? 7 : 8);
        const char* fields[] = {"XYZ_X", "XYZ_Y", "XYZ_Z"};
        const int count = chartPatchCount(chart);
        for (int patch : {0, count / 2, count - 1}) {
            const std::string name = patchName(chart, patch);
            const std::optional<ltsim::Reading> expected = sim.expectedReading(inkOf(chart, patch));
            ASSERT_TRUE(expected);
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(cmsIT8GetDataRowColDbl(it8, patch, 1 + k), expected->xyz[k], 0.001)
                    << name << " " << fields[k];
                if (chart != ChartIt873) {
                    EXPECT_NEAR(
                        cmsIT8GetDataDbl(it8, name.c_str(), fields[k]), expected->xyz[k], 0.001)
                        << name << " " << fields[k];
                }
            }
        }
        cmsIT8Free(it8);
    }

    testing::TempDirectory files;
    test::FakeInstrumentPage instrumentPage;
    std::unique_ptr<ChartMeasurement> charts;
};

TEST_F(ChartProfileTest, It873FileBecomesACmykProfileThatReproducesPaperAndCyan)
{
    const std::string path = measureAndSave(ChartIt873);
    expectLittleCmsReads(path, ChartIt873);

    const std::string base = files.file("it8");
    ASSERT_TRUE(run(std::string(LTRAKW_TXT2TI3) + " " + path + " " + base));
    ASSERT_TRUE(run(std::string(LTRAKW_COLPROF) + " -ql -kr -D LtrakW " + base));
    ASSERT_TRUE(std::filesystem::exists(base + ".icm") || std::filesystem::exists(base + ".icc"));
    const std::string profile =
        std::filesystem::exists(base + ".icm") ? base + ".icm" : base + ".icc";

    // Absolute colorimetric, so that paper keeps its measured L*a*b*.
    const auto output = run("printf '0 0 0 0\\n1 0 0 0\\n' | " + std::string(LTRAKW_XICCLU) +
        " -ff -ia -pl -v0 " + profile);
    ASSERT_TRUE(output);
    std::array<double, 3> paper {}, cyan {};
    ASSERT_EQ(std::sscanf(output->c_str(), "%lf %lf %lf %lf %lf %lf", &paper[0], &paper[1],
                  &paper[2], &cyan[0], &cyan[1], &cyan[2]),
        6)
        << *output;
    const double paperError = deltaE76(paper, sim.expectedReading("paper")->lab);
    const double cyanError = deltaE76(cyan, sim.expectedReading("C100")->lab);
    RecordProperty("paper_dE76", std::to_string(paperError));
    RecordProperty("cyan_dE76", std::to_string(cyanError));
    EXPECT_LT(paperError, 3.0) << *output;
    EXPECT_LT(cyanError, 3.0) << *output;
}

TEST_F(ChartProfileTest, LittleCmsReadsTheTqCharts)
{
    expectLittleCmsReads(measureAndSave(ChartTqCmyk), ChartTqCmyk);
    expectLittleCmsReads(measureAndSave(ChartTqRgb), ChartTqRgb);
}

} // namespace
} // namespace lt
