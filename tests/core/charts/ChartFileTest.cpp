// The chart file as profile builders and the program itself read it: exact
// bytes, round trips of all three charts, and every file that is refused.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/charts/ChartFile.h"

namespace lt {
namespace {

std::string readGolden(const char* name)
{
    std::ifstream in(std::string(LTRAKW_CHARTS_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<Triple> unmeasured(ChartType chart)
{
    return std::vector<Triple>(static_cast<std::size_t>(chartPatchCount(chart)),
        Triple {kUnmeasuredXyz, kUnmeasuredXyz, kUnmeasuredXyz});
}

std::string chartText(ChartType chart, const std::vector<Triple>& xyz, int cursor)
{
    PatchNameTable names;
    names.fill(chart);
    return formatChartText(chart, names, xyz, {}, cursor);
}

// Values unlike each other, with three decimals, so that a row mixed up with
// another or a column dropped shows.
std::vector<Triple> measuredLike(ChartType chart)
{
    std::vector<Triple> xyz;
    for (int i = 0; i < chartPatchCount(chart); ++i)
        xyz.push_back({static_cast<float>(i % 97) + 0.125f, static_cast<float>(i % 89) + 0.5f,
            static_cast<float>(i) * 0.25f});
    return xyz;
}

std::string replaced(std::string text, const std::string& what, const std::string& by)
{
    const std::size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    if (at != std::string::npos)
        text.replace(at, what.size(), by);
    return text;
}

TEST(ChartFile, UnmeasuredTqRgbChartWithTheMarkOnPatch17IsByteExact)
{
    EXPECT_EQ(chartText(ChartTqRgb, unmeasured(ChartTqRgb), 17), readGolden("tq_rgb_cursor17.txt"));
}

TEST(ChartFile, MeasurementSourceNamesIlluminantAndObserverWithABlankAfterTheKeyword)
{
    EXPECT_EQ(measurementSourceText({4, 0}),
        "\"Illumination= D50 ObserverAngle=2 WhiteBase=Abs Filter=No\"");
    EXPECT_EQ(measurementSourceText({0, 1}),
        "\"Illumination= Neutral ObserverAngle=10 WhiteBase=Abs Filter=No\"");
    EXPECT_EQ(measurementSourceText({5, 0}).substr(0, 18), "\"Illumination= D55");
    EXPECT_EQ(measurementSourceText({9, 0}).substr(0, 18), "\"Illumination= D50");
    const std::string text = chartText(ChartIt873, unmeasured(ChartIt873), 0);
    EXPECT_NE(text.find("\r\nMEASUREMENT_SOURCE \"Illumination="), std::string::npos);
    EXPECT_NE(text.find("\r\nNUMBER_OF_FIELDS 8\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n26D4 100.000 100.000 100.000 100.000 100.000 100.000 80.000\r\n"),
        std::string::npos);
}

TEST(ChartFile, EveryChartComesBackAsItWasSaved)
{
    for (ChartType chart : {ChartIt873, ChartTqCmyk, ChartTqRgb}) {
        SCOPED_TRACE(chart);
        const std::vector<Triple> xyz = measuredLike(chart);
        const int cursor = chartPatchCount(chart) / 3;
        const std::string text = chartText(chart, xyz, cursor);
        const ChartTextReading reading = parseChartText(text, chartPatchCount(chart));
        ASSERT_EQ(reading.problem, ChartTextProblem::None);
        EXPECT_EQ(reading.xyz, xyz);
        EXPECT_EQ(reading.cursor, cursor);
        EXPECT_EQ(text[reading.cursorEnd - 1], '#');
        EXPECT_EQ(chartText(chart, reading.xyz, reading.cursor), text);
    }
}

TEST(ChartFile, ReadsOlderFilesWhoseSourceKeywordRunsIntoItsValue)
{
    const std::string text = replaced(chartText(ChartTqCmyk, measuredLike(ChartTqCmyk), 5),
        "MEASUREMENT_SOURCE \"", "MEASUREMENT_SOURCE\"");
    const ChartTextReading reading = parseChartText(text, kChartPatchesTqCmyk);
    EXPECT_EQ(reading.problem, ChartTextProblem::None);
    EXPECT_EQ(reading.xyz, measuredLike(ChartTqCmyk));
}

TEST(ChartFile, ASmallerChartFillsTheFirstPatchesOfALargerOne)
{
    const ChartTextReading reading =
        parseChartText(chartText(ChartTqCmyk, measuredLike(ChartTqCmyk), 210), kChartPatchesIt873);
    EXPECT_EQ(reading.problem, ChartTextProblem::None);
    EXPECT_EQ(reading.xyz.size(), 210u);
    EXPECT_EQ(reading.cursor, 210);
}

TEST(ChartFile, RefusesWhatIsNoChartOrNotThisChartAndTakesNothingFromIt)
{
    const std::string good = chartText(ChartTqCmyk, measuredLike(ChartTqCmyk), 17);
    const std::size_t endData = good.find("END_DATA\r\n");
    const std::size_t lastRow = good.rfind("N15 ");
    struct Case {
        const char* what;
        std::string text;
        int openPatches;
        ChartTextProblem problem;
    };
    const Case cases[] = {
        {"count above the open chart", good, kChartPatchesTqRgb, ChartTextProblem::WrongChart},
        {"211 sets", replaced(good, "NUMBER_OF_SETS 210", "NUMBER_OF_SETS 211"),
            kChartPatchesTqCmyk, ChartTextProblem::WrongChart},
        {"cursor -1", replaced(good, "# 17 ", "# -1 "), kChartPatchesTqCmyk,
            ChartTextProblem::WrongChart},
        {"cursor past the end", replaced(good, "# 17 ", "# 211 "), kChartPatchesTqCmyk,
            ChartTextProblem::WrongChart},
        {"no NUMBER_OF_SETS", replaced(good, "NUMBER_OF_SETS", "NUMBER_OF_ROWS"),
            kChartPatchesTqCmyk, ChartTextProblem::NotAChartFile},
        {"count 0", replaced(good, "NUMBER_OF_SETS 210", "NUMBER_OF_SETS 0"), kChartPatchesTqCmyk,
            ChartTextProblem::NotAChartFile},
        {"negative count", replaced(good, "NUMBER_OF_SETS 210", "NUMBER_OF_SETS -210"),
            kChartPatchesTqCmyk, ChartTextProblem::NotAChartFile},
        {"no BEGIN_DATA", replaced(good, "BEGIN_DATA\r\n", "BEGIN_ROWS\r\n"), kChartPatchesTqCmyk,
            ChartTextProblem::NotAChartFile},
        {"no cursor mark", replaced(good, "# 17 ", "  17 "), kChartPatchesTqCmyk,
            ChartTextProblem::NotAChartFile},
        {"no cursor number", replaced(good, "# 17 ", "# -- "), kChartPatchesTqCmyk,
            ChartTextProblem::NotAChartFile},
        {"a row short", good.substr(0, lastRow) + good.substr(endData), kChartPatchesTqCmyk,
            ChartTextProblem::NotAChartFile},
        {"cut in the data", good.substr(0, lastRow + 10), kChartPatchesTqCmyk,
            ChartTextProblem::NotAChartFile},
        {"a value that is no number", replaced(good, "A01 0.125", "A01 x.125"), kChartPatchesTqCmyk,
            ChartTextProblem::NotAChartFile},
        {"a value beyond float", replaced(good, "A01 0.125", "A01 1e39"), kChartPatchesTqCmyk,
            ChartTextProblem::NotAChartFile},
        {"empty", "", kChartPatchesTqCmyk, ChartTextProblem::NotAChartFile},
    };
    for (const Case& c : cases) {
        const ChartTextReading reading = parseChartText(c.text, c.openPatches);
        EXPECT_EQ(reading.problem, c.problem) << c.what;
        EXPECT_TRUE(reading.xyz.empty()) << c.what;
    }
    EXPECT_EQ(parseChartText(good, kChartPatchesTqCmyk).problem, ChartTextProblem::None);
    EXPECT_EQ(parseChartText(replaced(good, "# 17 ", "# 210 "), kChartPatchesTqCmyk).cursor, 210);
}

} // namespace
} // namespace lt
