// Whole charts measured from the virtual Lumatrak through the measurement
// cycle and compared as the chart dialog's "Compare..." compares them: the
// TQ CMYK chart with itself (no difference at all), with the same chart
// printed on a press with 10 % more dot gain (clearly different, most in
// the mid-tones, paper and solids unchanged), and with the chart as
// ArgyllCMS writes it (txt2ti3), cross-checked with ArgyllCMS's colverify.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include <gtest/gtest.h>

#include "common/TempDirectory.h"
#include "core/charts/ChartCompareLogic.h"
#include "core/charts/ChartLayout.h"
#include "core/charts/ChartMeasurement.h"
#include "core/charts/ChartReferenceTable.h"
#include "core/metrics/SimulatedStation.h"

namespace lt {
namespace {

constexpr ChartType kChart = ChartTqCmyk;
constexpr int kPatches = chartPatchCount(kChart);

std::string inkOf(int patch)
{
    const DeviceValues v = ChartReferenceTable(kChart)[static_cast<std::size_t>(patch)];
    std::string ink;
    const char letters[] = "CMYK";
    for (int k = 0; k < 4; ++k)
        ink += letters[k] + std::to_string(static_cast<int>(std::lround(v[k])));
    return ink;
}

// Runs a command line; its output (standard error too).
std::string run(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

class ChartCompareTest : public test::SimulatedStation {
protected:
    void SetUp() override
    {
        SimulatedStation::SetUp();
        openInstrument();
        charts = std::make_unique<ChartMeasurement>(*station);
        station->record().chart.chartType = kChart;
    }

    void TearDown() override
    {
        charts.reset();
        SimulatedStation::TearDown();
    }

    // A new chart with every patch printed and measured; it stays open.
    ChartSession& measureChart()
    {
        charts->stop();
        ChartSession* session = charts->start(&instrumentPage);
        EXPECT_NE(session, nullptr);
        for (int i = 0; i < kPatches; ++i)
            measure(inkOf(i).c_str());
        return *session;
    }

    std::string save(ChartSession& session, const std::string& name)
    {
        const std::string path = files.file(name);
        op.files.push_back(path);
        EXPECT_TRUE(session.save());
        return path;
    }

    // "Compare..." of the open chart against the file at reference.
    ChartComparison compareWith(ChartSession& session, const std::string& reference)
    {
        ChartCompareLogic logic(*station, session);
        op.files.push_back(reference);
        EXPECT_TRUE(logic.compare()) << (op.messages.empty() ? "" : op.messages.back().text);
        return logic.comparison();
    }

    testing::TempDirectory files;
    test::FakeInstrumentPage instrumentPage;
    std::unique_ptr<ChartMeasurement> charts;
};

TEST_F(ChartCompareTest, ItselfAPressWithMoreDotGainAndTheArgyllCopy)
{
    ChartSession& standard = measureChart();
    const std::string standardFile = save(standard, "standard.txt");

    const ChartComparison itself = compareWith(standard, standardFile);
    EXPECT_EQ(itself.all.count, kPatches);
    EXPECT_EQ(itself.unmatched, 0);
    EXPECT_FALSE(itself.matchedByDevice);
    EXPECT_EQ(itself.all.maximum, 0.0);
    EXPECT_GT(itself.paper.count, 0);
    EXPECT_GT(itself.solids.count, 0);
    EXPECT_GT(itself.greys.count, 0);

    sim.setDotGain(ltsim::kStandardDotGain + 10.0);
    ChartSession& gaining = measureChart();
    const std::string gainingFile = save(gaining, "gaining.txt");
    const ChartComparison press = compareWith(gaining, standardFile);
    RecordProperty("dot_gain_mean_dE76", std::to_string(press.all.mean));
    RecordProperty("dot_gain_max_dE76", std::to_string(press.all.maximum));
    EXPECT_EQ(press.all.count, kPatches);
    EXPECT_GT(press.all.mean, 2.0);
    EXPECT_GT(press.all.maximum, 5.0);
    EXPECT_LT(press.paper.maximum, 1e-9) << "paper carries no dots";
    EXPECT_LT(press.solids.maximum, 1e-9) << "solids carry no dots";
    EXPECT_GT(press.greys.mean, 1.0);

    // Single-ink tints: the difference grows from the highlights to the
    // mid-tones and falls again towards the solid.
    std::map<int, double> largestByCoverage;
    for (const PatchDifference& patch : press.patches) {
        int inks = 0, coverage = 0;
        for (double value : patch.device)
            if (value > 0.5) {
                ++inks;
                coverage = static_cast<int>(std::lround(value));
            }
        if (inks == 1)
            largestByCoverage[coverage] = std::max(largestByCoverage[coverage], patch.deltaE);
    }
    double peak = 0;
    int peakAt = 0;
    for (auto [coverage, deltaE] : largestByCoverage)
        if (deltaE > peak) {
            peak = deltaE;
            peakAt = coverage;
        }
    EXPECT_GE(peakAt, 25);
    EXPECT_LE(peakAt, 70);
    EXPECT_LT(largestByCoverage.begin()->second, peak / 2); // 5 %
    EXPECT_LT(largestByCoverage.at(90), peak / 2);
    for (const PatchDifference& worst : press.worst) {
        const bool midTone = std::any_of(worst.device.begin(), worst.device.end(),
            [](double value) { return value >= 20 && value <= 80; });
        EXPECT_TRUE(midTone) << worst.id;
    }

    // The chart as ArgyllCMS writes it: the same figures, and those of colverify.
    const std::string standardTi3 = files.file("standard");
    const std::string gainingTi3 = files.file("gaining");
    ASSERT_EQ(
        run(std::string(LTRAKW_TXT2TI3) + " " + standardFile + " " + standardTi3).find("Error"),
        std::string::npos);
    ASSERT_EQ(run(std::string(LTRAKW_TXT2TI3) + " " + gainingFile + " " + gainingTi3).find("Error"),
        std::string::npos);
    const ChartComparison argyll = compareWith(gaining, standardTi3 + ".ti3");
    EXPECT_EQ(argyll.all.count, kPatches);
    EXPECT_NEAR(argyll.all.mean, press.all.mean, 0.01);
    EXPECT_NEAR(argyll.all.maximum, press.all.maximum, 0.01);
    EXPECT_NEAR(argyll.all.percentile95, press.all.percentile95, 0.01);

    const std::string verified =
        run(std::string(LTRAKW_COLVERIFY) + " " + standardTi3 + ".ti3 " + gainingTi3 + ".ti3");
    double colverifyPeak = -1, colverifyMean = -1;
    const std::size_t total = verified.find("Total errors");
    ASSERT_NE(total, std::string::npos) << verified;
    ASSERT_EQ(std::sscanf(verified.c_str() + total, "Total errors: peak = %lf, avg = %lf",
                  &colverifyPeak, &colverifyMean),
        2)
        << verified;
    RecordProperty("colverify_mean", std::to_string(colverifyMean));
    RecordProperty("colverify_peak", std::to_string(colverifyPeak));
    EXPECT_NEAR(press.all.mean, colverifyMean, 0.01);
    EXPECT_NEAR(press.all.maximum, colverifyPeak, 0.01);
}

} // namespace
} // namespace lt
