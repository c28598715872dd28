// The open chart as the operator works with it: Start and Stop, clicks,
// Load and Save with their messages, and that a refused file changes nothing.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "common/ScriptedOperator.h"
#include "common/TempDirectory.h"
#include "core/charts/ChartFile.h"
#include "core/charts/ChartMeasurement.h"
#include "core/metrics/SimulatedStation.h"
#include "core/station/Workstation.h"

namespace lt {
namespace {

class ChartSessionTest : public ::testing::Test {
protected:
    ChartSession& startChart(ChartType chart)
    {
        station.record().chart.chartType = chart;
        ChartSession* session = charts.start(&page);
        EXPECT_NE(session, nullptr);
        return *session;
    }

    std::string file(const std::string& name, const std::string& content)
    {
        files.write(name, content);
        return files.file(name);
    }

    // A chart file of chart with every patch at (i, 2i, 3i) and the given cursor.
    std::string chartFile(const std::string& name, ChartType chart, int cursor)
    {
        PatchNameTable names;
        names.fill(chart);
        std::vector<Triple> xyz;
        for (int i = 0; i < chartPatchCount(chart); ++i)
            xyz.push_back({static_cast<float>(i), 2.0f * i, 3.0f * i});
        return file(name, formatChartText(chart, names, xyz, {}, cursor));
    }

    std::string setting(const char* key)
    {
        return station.settings().applicationFile().getString("CHARTS", key).value_or("");
    }

    // What the chart shows, to compare before and after a refused load.
    std::vector<Triple> shownValues(const ChartSession& session)
    {
        std::vector<Triple> values;
        for (int i = 0; i < session.patchCount(); ++i)
            values.push_back(session.tables().entry(i).xyz);
        return values;
    }

    testing::TempDirectory config;
    testing::TempDirectory files;
    testing::ScriptedOperator op;
    Workstation station {op, config.path()};
    test::FakeInstrumentPage page;
    ChartMeasurement charts {station};
};

TEST_F(ChartSessionTest, StartShowsAWhiteChartWithTheMarkOnTheFirstPatchAndStartsTheListAfresh)
{
    station.list().insertTop(MeasurementRow {});
    station.record().rowCounter = 12;
    ChartSession& session = startChart(ChartTqCmyk);

    EXPECT_TRUE(station.record().chart.active);
    EXPECT_EQ(station.chartPatchStore(), &session);
    EXPECT_EQ(session.currentPatch(), 0);
    EXPECT_EQ(session.title(), "TQ CMYK standard");
    EXPECT_EQ(session.names().name(0), "A01");
    EXPECT_EQ(session.tables().entry(209).xyz, (Triple {100, 100, 100}));
    EXPECT_EQ(session.colorOf(0), (PatchRgb {255, 255, 255}));
    EXPECT_EQ(station.list().rowCount(), 0);
    EXPECT_EQ(station.record().rowCounter, 0);

    charts.stop();
    EXPECT_FALSE(station.record().chart.active);
    EXPECT_EQ(station.chartPatchStore(), nullptr);
}

TEST_F(ChartSessionTest, StartIsRefusedBeforeTheInstrumentIsInitialisedOrForAnUnknownChart)
{
    page.initialised = false;
    EXPECT_EQ(charts.start(&page), nullptr);
    EXPECT_EQ(charts.start(nullptr), nullptr);
    page.initialised = true;
    station.record().chart.chartType = 5;
    EXPECT_EQ(charts.start(&page), nullptr);
    ASSERT_EQ(op.messages.size(), 3u);
    EXPECT_EQ(op.messages[0].text, kInitializeFirstMessage);
    EXPECT_EQ(op.messages[2].text, kNotImplementedMessage);
    EXPECT_EQ(op.messages[2].caption, kNotImplementedCaption);
    EXPECT_FALSE(station.record().chart.active);
}

TEST_F(ChartSessionTest, AMeasurementFillsTheClickedPatch)
{
    ChartSession& session = startChart(ChartTqCmyk);
    session.selectPatch(17);
    EXPECT_EQ(session.currentPatch(), 17);
    EXPECT_EQ(session.previousPatch(), 0);
    station.chartPatchStore()->storePatchValues(17, chartPatchValues(16.0, 81.0, 256.0));
    EXPECT_EQ(session.tables().entry(17).xyz, (Triple {16, 81, 256}));
    EXPECT_EQ(session.tables().entry(17).display, (Triple {2, 3, 4}));

    session.selectPatch(-1);
    EXPECT_EQ(session.currentPatch(), -1);
    EXPECT_EQ(session.previousPatch(), 17);
    session.selectPatch(400);
    EXPECT_EQ(session.currentPatch(), -1) << "a patch outside the chart selects none";
}

TEST_F(ChartSessionTest, LoadedFileTakesItsValuesMarkAndSettings)
{
    ChartSession& session = startChart(ChartTqRgb);
    op.fileAnswer = chartFile("rgb.txt", ChartTqRgb, 17);
    ASSERT_TRUE(session.load());
    EXPECT_EQ(session.currentPatch(), 17);
    EXPECT_EQ(session.previousPatch(), 16);
    EXPECT_EQ(session.tables().entry(134).xyz, (Triple {134, 268, 402}));
    EXPECT_EQ(session.title(), "TQ RGB  " + *op.fileAnswer);
    EXPECT_EQ(setting("ChartName"), *op.fileAnswer);
    EXPECT_EQ(setting("ChartType"), "2");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ChartSessionTest, TqCmykFileInTheIt873ChartFillsItsFirst210Patches)
{
    ChartSession& session = startChart(ChartIt873);
    op.fileAnswer = chartFile("cmyk.txt", ChartTqCmyk, 100);
    ASSERT_TRUE(session.load());
    EXPECT_EQ(session.tables().entry(209).xyz, (Triple {209, 418, 627}));
    EXPECT_EQ(session.tables().entry(210).xyz, (Triple {100, 100, 100}));
    EXPECT_EQ(session.currentPatch(), 100);
    EXPECT_EQ(session.resumePatch, 100);
    EXPECT_EQ(setting("ChartType"), "0");
}

TEST_F(ChartSessionTest, RefusedFilesChangeNothingAndSayWhy)
{
    ChartSession& session = startChart(ChartTqCmyk);
    session.selectPatch(33);
    const std::vector<Triple> before = shownValues(session);
    const std::string it873 = chartFile("it8.txt", ChartIt873, 5);
    std::string cursorMinus = chartFile("minus.txt", ChartTqCmyk, -1);
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {file("ten.txt", "0123456789"), kNoValidFileMessage},
        {files.file("missing.txt"), "File does not exist: " + files.file("missing.txt")},
        {files.path(), "File does not exist: " + files.path()},
        {file("large.txt", std::string(kTqLoadLimit + 1, ' ')),
            "File too large for a chart: " + files.file("large.txt")},
        {it873, kWrongChartTypeMessage},
        {cursorMinus, kWrongChartTypeMessage},
        {file("words.txt", "NUMBER_OF_SETS 3\r\nBEGIN_DATA\r\nA01 1 2\r\n"), kNoValidFileMessage},
        {"", kNoPathMessage},
    };
    for (const Case& c : cases) {
        op.messages.clear();
        op.fileAnswer = c.path;
        EXPECT_FALSE(session.load()) << c.path;
        ASSERT_EQ(op.messages.size(), 1u) << c.path;
        EXPECT_EQ(op.messages[0].text, c.message);
        EXPECT_EQ(session.currentPatch(), 33) << c.path;
        EXPECT_EQ(shownValues(session), before) << c.path;
    }
    EXPECT_EQ(session.title(), "TQ CMYK standard");
    EXPECT_EQ(setting("ChartType"), "");
}

TEST_F(ChartSessionTest, CancelledFileChoiceDoesNothing)
{
    ChartSession& session = startChart(ChartTqCmyk);
    op.fileAnswer.reset();
    EXPECT_FALSE(session.load());
    EXPECT_FALSE(session.save());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ChartSessionTest, SaveWritesTheWholeChartAndOnlyTheIt873ChartBecomesTheNextDefault)
{
    ChartSession& tq = startChart(ChartTqCmyk);
    tq.selectPatch(5);
    op.fileAnswer = files.file("tq.txt");
    ASSERT_TRUE(tq.save());
    EXPECT_EQ(files.read("tq.txt"), tq.chartText());
    EXPECT_NE(files.read("tq.txt").find("\r\n# 5  Cursor Position\r\n"), std::string::npos);
    EXPECT_EQ(tq.title(), "TQ CMYK  " + files.file("tq.txt"));
    EXPECT_EQ(setting("ChartType"), "");
    charts.stop();

    ChartSession& it873 = startChart(ChartIt873);
    op.fileAnswer = files.file("it8.txt");
    ASSERT_TRUE(it873.save());
    EXPECT_EQ(setting("ChartName"), files.file("it8.txt"));
    EXPECT_EQ(setting("ChartType"), "0");
}

TEST_F(ChartSessionTest, ASaveThatCannotBeWrittenKeepsThePreviousFile)
{
    ChartSession& session = startChart(ChartTqRgb);
    const std::string previous = chartFile("kept.txt", ChartTqRgb, 3);
    const std::string content = files.read("kept.txt");
    op.fileAnswer = files.file("kept.txt/inside.txt");
    EXPECT_FALSE(session.save());
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Wrong Path or no Space: " + *op.fileAnswer);
    EXPECT_EQ(files.read("kept.txt"), content);
}

} // namespace
} // namespace lt
