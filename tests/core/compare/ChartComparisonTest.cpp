// Comparing two measured charts: the CGATS reader's refusals, pairing by
// name or by device values, the statistics and the patch groups.
#include <gtest/gtest.h>

#include "core/compare/ChartComparison.h"

namespace lt {
namespace {

std::string cgats(const std::vector<std::string>& rows,
    const char* fields = "SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B")
{
    std::string text = "CGATS.17\nORIGINATOR \"test\"\nNUMBER_OF_FIELDS 8\nBEGIN_DATA_FORMAT\n";
    text += std::string(fields) + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " +
        std::to_string(rows.size()) + "\nBEGIN_DATA\n";
    for (const std::string& row : rows)
        text += row + "\n";
    return text + "END_DATA\n";
}

const std::vector<std::string> kChart = {
    "A1 0 0 0 0 95 0 -2",
    "A2 100 0 0 0 55 -37 -50",
    "A3 0 100 0 0 48 74 -3",
    "A4 50 40 40 0 60 1 0",
    "A5 0 0 0 60 58 0 0",
    "A6 20 70 10 5 50 40 10",
};

MeasuredChart chartOf(const std::vector<std::string>& rows)
{
    CgatsReading reading = parseCgats(cgats(rows));
    EXPECT_TRUE(reading.table) << reading.error;
    MeasuredChartReading measured = measuredChartFrom(*reading.table);
    EXPECT_TRUE(measured.chart) << measured.error;
    return *measured.chart;
}

TEST(CgatsTable, RefusesWhatCannotBeReadAndNamesTheLine)
{
    const std::pair<std::string, std::string> broken[] = {
        {"CGATS.17\nBEGIN_DATA\n1 2\nEND_DATA\n", "line 2: data before its format"},
        {cgats({"A1 0 0 0 0 95 0"}), "line 9: 7 values where the format names 8"},
        {cgats({"A1 0 0 0 0 95 0 -2"}).substr(0, cgats({"A1 0 0 0 0 95 0 -2"}).rfind("END_DATA")),
            "no data (BEGIN_DATA ... END_DATA)"},
        {"NUMBER_OF_SETS x\n", "line 1: NUMBER_OF_SETS is no count"},
        {std::string(300, '\0'), "no data format (BEGIN_DATA_FORMAT ... END_DATA_FORMAT)"},
    };
    for (const auto& [text, error] : broken) {
        CgatsReading reading = parseCgats(text);
        EXPECT_FALSE(reading.table);
        EXPECT_EQ(reading.error, error);
    }
    std::string announced = cgats({"A1 0 0 0 0 95 0 -2"});
    announced.replace(announced.find("NUMBER_OF_SETS 1"), 16, "NUMBER_OF_SETS 2");
    EXPECT_EQ(parseCgats(announced).error, "NUMBER_OF_SETS announces 2 sets, the data holds 1");

    CgatsReading noColour =
        parseCgats(cgats({"A1 0 0 0 0 1 2 3"}, "SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K R G B"));
    ASSERT_TRUE(noColour.table);
    EXPECT_NE(measuredChartFrom(*noColour.table).error.find("neither LAB"), std::string::npos);
}

TEST(ChartComparison, SameChartIsZeroAndAShiftedCopyGivesItsDistance)
{
    MeasuredChart reference = chartOf(kChart);
    ChartComparison same = compareCharts(reference, reference, DeltaEFormula::Ciede2000);
    EXPECT_EQ(same.all.count, 6);
    EXPECT_DOUBLE_EQ(same.all.maximum, 0.0);

    // Every patch 3 units lighter and 4 units more yellow: 5 in CIE 1976.
    std::vector<std::string> shifted = {
        "A1 0 0 0 0 98 0 2",
        "A2 100 0 0 0 58 -37 -46",
        "A3 0 100 0 0 51 74 1",
        "A4 50 40 40 0 63 1 4",
        "A5 0 0 0 60 61 0 4",
        "A6 20 70 10 5 53 40 14",
    };
    ChartComparison moved = compareCharts(reference, chartOf(shifted), DeltaEFormula::Cie76);
    EXPECT_FALSE(moved.matchedByDevice);
    EXPECT_DOUBLE_EQ(moved.all.mean, 5.0);
    EXPECT_DOUBLE_EQ(moved.all.percentile95, 5.0);
    EXPECT_EQ(moved.paper.count, 1);
    EXPECT_EQ(moved.solids.count, 2);
    EXPECT_EQ(moved.greys.count, 2); // the balanced grey and the black-only tint
    EXPECT_EQ(moved.worst.size(), 6u);
}

TEST(ChartComparison, PairsByDeviceValuesWhenTheNamesDiffer)
{
    MeasuredChart reference = chartOf(kChart);
    std::vector<std::string> renamed = {
        "7 20 70 10 5 50 40 12", // A6 with b* 2 higher, listed first
        "8 0 0 0 0 95 0 -2", "9 100 0 0 0 55 -37 -50", "10 0 100 0 0 48 74 -3",
        "11 50 40 40 0 60 1 0",
        "12 1 2 3 4 50 0 0", // no partner
    };
    ChartComparison comparison = compareCharts(reference, chartOf(renamed), DeltaEFormula::Cie76);
    EXPECT_TRUE(comparison.matchedByDevice);
    EXPECT_EQ(comparison.unmatched, 1);
    EXPECT_EQ(comparison.all.count, 5);
    ASSERT_FALSE(comparison.worst.empty());
    EXPECT_EQ(comparison.worst.front().id, "7");
    EXPECT_DOUBLE_EQ(comparison.worst.front().deltaE, 2.0);
    EXPECT_NE(comparisonReport(comparison, "a", "b").find("(paired by device values)"),
        std::string::npos);
}

TEST(ChartComparison, StatisticsByRank)
{
    std::vector<double> values;
    for (int i = 20; i >= 1; --i)
        values.push_back(i);
    DifferenceStatistics s = statisticsOf(values);
    EXPECT_DOUBLE_EQ(s.mean, 10.5);
    EXPECT_DOUBLE_EQ(s.median, 10.5);
    EXPECT_DOUBLE_EQ(s.percentile95, 19.05);
    EXPECT_DOUBLE_EQ(s.maximum, 20.0);
    EXPECT_EQ(statisticsOf({}).count, 0);
    EXPECT_DOUBLE_EQ(statisticsOf({3.0}).percentile95, 3.0);
}

TEST(ChartComparison, XyzTablesAreComparedInLabUnderD50)
{
    CgatsReading reading = parseCgats(
        cgats({"1 96.422 100 82.521", "2 18.42 19.78 16.28"}, "SAMPLE_ID XYZ_X XYZ_Y XYZ_Z"));
    ASSERT_TRUE(reading.table) << reading.error;
    MeasuredChartReading chart = measuredChartFrom(*reading.table);
    ASSERT_TRUE(chart.chart);
    EXPECT_NEAR(chart.chart->patches[0].lab[0], 100.0, 1e-9);
    EXPECT_NEAR(chart.chart->patches[0].lab[1], 0.0, 1e-9);
    EXPECT_NEAR(chart.chart->patches[1].lab[0], 51.6, 0.1);
}

// RGB charts count in per cent (our TQ RGB files, the open tools' files) or
// to 255: white is the paper, one full channel a solid, in either scale.
TEST(ChartComparison, RgbPatchesAreGroupedInPercentAndInBytes)
{
    const char* fields = "SAMPLE_ID RGB_R RGB_G RGB_B LAB_L LAB_A LAB_B";
    for (const double full : {kPercentFull, kByteFull}) {
        SCOPED_TRACE(full);
        const std::string f = std::to_string(static_cast<int>(full));
        const std::string half = std::to_string(static_cast<int>(full / 2));
        CgatsReading reading =
            parseCgats(cgats({"W " + f + " " + f + " " + f + " 95 0 -2", "R " + f + " 0 0 50 60 40",
                                 "G " + half + " " + half + " " + half + " 60 0 0",
                                 "X " + f + " " + half + " 0 70 20 60"},
                fields));
        ASSERT_TRUE(reading.table) << reading.error;
        const MeasuredChart chart = *measuredChartFrom(*reading.table).chart;
        EXPECT_EQ(deviceFullScale(chart), full);
        const ChartComparison same = compareCharts(chart, chart, DeltaEFormula::Cie76);
        ASSERT_EQ(same.patches.size(), 4u);
        EXPECT_EQ(same.patches[0].group, PatchGroup::Paper);
        EXPECT_EQ(same.patches[1].group, PatchGroup::Solid);
        EXPECT_EQ(same.patches[2].group, PatchGroup::Grey);
        EXPECT_EQ(same.patches[3].group, PatchGroup::Other);
        EXPECT_EQ(same.paper.count, 1);
        EXPECT_EQ(same.solids.count, 1);
    }
}

} // namespace
} // namespace lt
