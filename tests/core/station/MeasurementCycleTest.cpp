// The measurement cycle against a virtual Lumatrak on a pseudo-terminal:
// what the operator sees in the list after paper white, solid and tint,
// and what stays untouched when the instrument fails in the middle.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <poll.h>
#include <regex>

#include "common/FastClock.h"
#include "common/ScriptedOperator.h"
#include "common/SimulatedInstrumentPort.h"
#include "common/TempDirectory.h"
#include "core/common/NumberText.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtClock.h"
#include "ltsim/Simulator.h"

// Called before every GretagExecRemission that ltcore makes, through the
// library's fetch observer, so a test can act between two fetches of one
// measurement.
std::function<void(const GretagStruct&)> beforeExecRemission;

void observeFetch(const GretagStruct* g, bool done, unsigned long, void*)
{
    if (!done && beforeExecRemission)
        beforeExecRemission(*g);
}

namespace lt {
namespace {

using testing::FastClock;
using testing::ScriptedOperator;
using testing::TempDirectory;

struct RecordingObserver : MeasurementObserver {
    void rowAdded(const MeasurementRow& row) override { rows.push_back(row); }
    void statusTextChanged(const std::string& text) override { statuses.push_back(text); }
    void valueAreaChanged() override { ++repaints; }
    void graphChanged(const GraphSample& sample) override { graphs.push_back(sample); }
    void chartPatchMeasured(int measured, int next) override
    {
        patches.emplace_back(measured, next);
    }
    void qualityControlSample(const MeasuredSample& sample) override
    {
        evaluated.push_back(sample);
    }
    void spreadsheetRow(const MeasurementRow& row) override { exported.push_back(row); }
    void instrumentTypeChanged(std::int32_t type) override { types.push_back(type); }

    std::vector<MeasurementRow> rows;
    std::vector<std::string> statuses;
    int repaints = 0;
    std::vector<GraphSample> graphs;
    std::vector<std::pair<int, int>> patches;
    std::vector<MeasuredSample> evaluated;
    std::vector<MeasurementRow> exported;
    std::vector<std::int32_t> types;
};

// Takes only the one event per sample.
struct SampleObserver : MeasurementObserver {
    void sampleMeasured(const MeasuredSample& sample) override { samples.push_back(sample); }
    void rowAdded(const MeasurementRow&) override { ++narrowHooks; }
    void valueAreaChanged() override { ++narrowHooks; }
    std::vector<MeasuredSample> samples;
    int narrowHooks = 0;
};

struct RecordingChart : ChartPatchStore {
    void storePatchValues(int patch, const ChartPatchValues& values) override
    {
        stored.emplace_back(patch, values);
    }
    std::vector<std::pair<int, ChartPatchValues>> stored;
};

class MeasurementCycleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setClock(&fastClock);
        CTaviSpec::SetFetchObserver(&observeFetch, nullptr);
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        ASSERT_EQ(CTaviSpec::SetPortDevice(1, sim.devicePath().c_str()), 0ul);
        station = std::make_unique<Workstation>(op, config.path());
        station->addObserver(&observer);
        station->record().resetForColorMetricsPage();
        station->record().chart.currentPatch = -1;
    }

    void TearDown() override
    {
        beforeExecRemission = nullptr;
        CTaviSpec::SetFetchObserver(nullptr, nullptr);
        if (portHandle)
            station->instrument().GretagPortClose(portHandle);
        station.reset();
        sim.stop();
        setClock(nullptr);
    }

    // "Init Device" of the instrument page: open, then the white reference.
    void openAndCalibrate(std::int32_t instrumentType = InstrumentLumatrakS)
    {
        testing::openAndCalibrateCom1(*station, instrumentType, portHandle);
    }

    unsigned long measure(const char* sample, std::uint8_t fetchOnly = 0)
    {
        EXPECT_TRUE(sim.setSample(sample)) << sample;
        return station->cycle().MeasureSample(
            MeasurementCycle::kKindWithGraph, kGraphScale, fetchOnly);
    }

    MeasurementRow top() { return station->list().row(0); }

    // Without measurement noise: the list's values are compared with the
    // instrument's expected reading to the last digit.
    static ltsim::SimulatorOptions noiseless()
    {
        ltsim::SimulatorOptions options;
        options.noise = 0.0;
        return options;
    }

    FastClock fastClock;
    ltsim::Simulator sim {noiseless()};
    TempDirectory config;
    ScriptedOperator op;
    RecordingObserver observer;
    std::unique_ptr<Workstation> station;
    void* portHandle = nullptr;
};

bool matches(const std::string& text, const char* pattern)
{
    return std::regex_match(text, std::regex(pattern));
}

double number(const std::string& text)
{
    return std::stod(text);
}

TEST_F(MeasurementCycleTest, PaperWhiteSolidAndTintOfCyan)
{
    openAndCalibrate();
    SharedRecord& record = station->record();

    // "Relative", then "White".
    record.paperWhiteState = PaperWhiteAbsolute;
    record.processSolidRequest = 0;
    record.paperWhiteState = PaperWhiteRequested;
    ASSERT_EQ(measure("paper"), kStatusOk);
    MeasurementRow paper = top();
    EXPECT_EQ(paper[column::kNumber], "  0");
    for (int c = column::kCyan; c <= column::kBlack; ++c)
        EXPECT_EQ(paper[c], "0.000");
    EXPECT_EQ(record.paperWhiteState, PaperWhiteTaken);
    EXPECT_EQ(observer.statuses.back(), "Densities now relative to paper white!");

    ASSERT_EQ(measure("paper"), kStatusOk);
    for (int c = column::kCyan; c <= column::kBlack; ++c)
        EXPECT_NEAR(number(top()[c]), 0.0, 0.01)
            << "a second paper sample is relative to the first";

    // "Solid", then the cyan solid.
    record.processSolidRequest = 1;
    record.spotSolidState = SpotSolidRequested;
    ASSERT_EQ(measure("C100"), kStatusOk);
    MeasurementRow solid = top();
    EXPECT_EQ(solid[column::kDotArea], "C  100.0");
    EXPECT_EQ(record.processSolidRequest, 0);
    EXPECT_GT(record.densityParameters.real(slot::solid(Cyan)), 0.8f);
    EXPECT_EQ(observer.statuses.back(), "") << "taking the solid clears the status line";

    ASSERT_EQ(measure("C50"), kStatusOk);
    MeasurementRow tint = top();
    EXPECT_TRUE(matches(tint[column::kDotArea], "C  \\d+\\.\\d")) << tint[column::kDotArea];
    double area = number(tint[column::kDotArea].substr(3));
    EXPECT_GT(area, 40.0);
    EXPECT_LT(area, 75.0);

    EXPECT_EQ(tint[column::kNumber], "  3");
    for (int c = column::kCyan; c <= column::kBlack; ++c)
        EXPECT_TRUE(matches(tint[c], "-?\\d+\\.\\d{3}")) << tint[c];
    for (int c = column::kL; c <= column::kZ; ++c)
        EXPECT_TRUE(matches(tint[c], "-?\\d+\\.\\d{2}")) << tint[c];
    EXPECT_EQ(tint[column::kSpotDensity], "--   ");
    EXPECT_EQ(tint[column::kSpotDotArea], "--   ");
    EXPECT_EQ(tint[column::kSpotName], "    --");
    EXPECT_EQ(station->list().rowCount(), 4);
    EXPECT_EQ(station->list().row(3)[column::kNumber], "  0");

    // The instrument's own values arrive unchanged in the list.
    auto expected = sim.expectedReading("C50");
    ASSERT_TRUE(expected);
    EXPECT_NEAR(number(tint[column::kL]), expected->lab[0], 0.006);
    EXPECT_NEAR(number(tint[column::kY]), expected->xyz[1], 0.006);

    // Everybody downstream heard of every sample.
    EXPECT_EQ(observer.rows.size(), 4u);
    EXPECT_EQ(observer.exported.back(), tint);
    EXPECT_EQ(observer.evaluated.back().processColor, Cyan);
    EXPECT_EQ(observer.repaints, 4);
    ASSERT_EQ(observer.graphs.size(), 4u);
    EXPECT_EQ(observer.graphs.back().pointCount, 36);
    EXPECT_EQ(observer.graphs.back().referenceOrdinate, 56540);
}

TEST_F(MeasurementCycleTest, OneEventPerSampleCarriesTheNumbersOfItsRow)
{
    openAndCalibrate();
    SampleObserver events;
    station->addObserver(&events);
    SharedRecord& record = station->record();
    record.paperWhiteState = PaperWhiteRequested;
    ASSERT_EQ(measure("paper"), kStatusOk);
    ASSERT_EQ(measure("M100"), kStatusOk); // no solid yet: no dot area
    record.processSolidRequest = 1;
    ASSERT_EQ(measure("M100"), kStatusOk);
    ASSERT_EQ(measure("M50"), kStatusOk);
    // A failed measurement sends no sample.
    sim.injectFault({ltsim::FaultKind::Truncation, ltsim::FaultScope::NextReply});
    EXPECT_GT(measure("M50"), kLinkFailureThreshold);
    station->removeObserver(&events);

    ASSERT_EQ(events.samples.size(), 4u);
    EXPECT_EQ(events.narrowHooks, 0) << "an observer of the whole event gets no parts of it";
    for (int n = 0; n < 4; ++n) {
        const MeasuredSample& sample = events.samples[static_cast<std::size_t>(n)];
        const MeasurementRow& row = sample.row;
        EXPECT_EQ(sample.number, n);
        EXPECT_EQ(row, station->list().row(3 - n));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(
                formatFixed(sample.lab[static_cast<std::size_t>(i)], 2, 3), row[column::kL + i]);
            EXPECT_EQ(
                formatFixed(sample.xyz[static_cast<std::size_t>(i)], 2, 3), row[column::kX + i]);
        }
        for (int c = Cyan; c <= Black; ++c)
            EXPECT_EQ(formatFixed(sample.densities[static_cast<std::size_t>(c)], 3, 3),
                row[column::kCyan + c]);
        EXPECT_EQ(sample.graph.pointCount, kSpectrumPoints);
        EXPECT_EQ(sample.chartPatch, -1);
    }
    const MeasuredSample& unsolid = events.samples[1];
    const MeasuredSample& tint = events.samples[3];
    EXPECT_EQ(unsolid.processColor, Magenta);
    EXPECT_FALSE(unsolid.solidKnown);
    EXPECT_EQ(unsolid.row[column::kDotArea], "-  -");
    EXPECT_TRUE(tint.solidKnown);
    EXPECT_EQ(tint.row[column::kDotArea], "M  " + formatFixed(tint.dotArea, 1, 3));
    EXPECT_GT(tint.dotArea, 30.0);
    EXPECT_EQ(tint.graph.ordinates, record.latestGraph().ordinates);
    EXPECT_NE(tint.graph.ordinates, events.samples[0].graph.ordinates)
        << "each event keeps the spectrum of its own sample";
}

TEST_F(MeasurementCycleTest, FailureOnTheThirdFetchAddsNoRow)
{
    openAndCalibrate();
    ASSERT_EQ(measure("paper"), kStatusOk);
    SharedRecord& record = station->record();
    GretagStruct before = record.measurement;
    int rowsBefore = station->list().rowCount();
    std::int32_t counterBefore = record.rowCounter;

    // The instrument cuts its reply to the third fetch (L*a*b*) short.
    int fetches = 0;
    beforeExecRemission = [&](const GretagStruct&) {
        if (++fetches == 3)
            sim.injectFault({ltsim::FaultKind::Truncation, ltsim::FaultScope::NextReply});
    };
    unsigned long status = measure("C100");
    beforeExecRemission = nullptr;
    ASSERT_EQ(fetches, 3);
    EXPECT_GT(status, kLinkFailureThreshold + kFailedLabFetch);
    EXPECT_LT(status, kLinkFailureThreshold + kFailedXyzFetch);
    EXPECT_EQ(station->list().rowCount(), rowsBefore);
    EXPECT_EQ(record.rowCounter, counterBefore);
    EXPECT_EQ(std::vector<float>(before.ColorTriple1, before.ColorTriple1 + 3),
        std::vector<float>(record.measurement.ColorTriple1, record.measurement.ColorTriple1 + 3));
    EXPECT_EQ(observer.graphs.size(), 2u) << "only the graph ordinates were refreshed";

    sim.clearFaults();
    ASSERT_EQ(measure("C100"), kStatusOk);
    EXPECT_EQ(top()[column::kNumber], "  1");
}

TEST_F(MeasurementCycleTest, FailedTriggerReturnsTheLibraryCodeUnchanged)
{
    openAndCalibrate();
    sim.injectFault({ltsim::FaultKind::Silence, ltsim::FaultScope::NextReply});
    unsigned long status = measure("paper");
    EXPECT_GT(status, kLinkFailureThreshold);
    EXPECT_LT(status, kLinkFailureThreshold + kFailedColorSpace0Fetch);
    EXPECT_EQ(station->list().rowCount(), 0);
    EXPECT_TRUE(observer.graphs.empty());
}

TEST_F(MeasurementCycleTest, WithoutAnOpenPortNothingIsMeasured)
{
    EXPECT_EQ(measure("paper"), kStatusPortNotOpen);
    EXPECT_EQ(station->list().rowCount(), 0);
    EXPECT_TRUE(observer.rows.empty());
}

TEST_F(MeasurementCycleTest, RemoteKeyFetchesWithoutTrigger)
{
    openAndCalibrate();
    sim.setSample("M100");
    sim.pressKey();
    sim.clearRequests();
    ASSERT_LE(station->cycle().MeasureSample(MeasurementCycle::kKindWithGraph, kGraphScale, 1),
        kLinkFailureThreshold);
    auto requests = sim.requests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), ";20\r\n"), 0);
    EXPECT_EQ(requests.size(), 5u);
    EXPECT_EQ(station->record().densityParameters.integer(slot::kProcessColorIndex), Magenta);
}

TEST_F(MeasurementCycleTest, SecondMeasurementWhileOneRunsIsRefused)
{
    openAndCalibrate();
    {
        InstrumentAccess::Exchange running = station->instrumentAccess().tryBegin();
        ASSERT_TRUE(running);
        EXPECT_EQ(measure("paper"), kStatusInstrumentBusy);
        EXPECT_EQ(station->cycle().InitRemission(), kStatusInstrumentBusy);
    }
    EXPECT_EQ(station->list().rowCount(), 0);
    EXPECT_EQ(measure("paper"), kStatusOk);
}

TEST_F(MeasurementCycleTest, TeachingASpotColourAndMeasuringIt)
{
    openAndCalibrate();
    Settings& settings = station->settings();
    settings.store(keys::kNarrowFilter, 1);
    SharedRecord& record = station->record();
    record.spotColors.newEntryRequested = true;
    op.spotAnswer = SpotColorNameAnswer {"Reflex Blue of the house", true};
    op.clickWindowBeforeAnswer = false; // clicks Wide, then Narrow is what the answer says

    ASSERT_EQ(measure("C100"), kStatusOk);
    ASSERT_EQ(op.spotPrompts.size(), 1u);
    const SpotColorNamePrompt& prompt = op.spotPrompts[0];
    EXPECT_EQ(prompt.presetName, "S1");
    EXPECT_TRUE(prompt.narrow);
    EXPECT_GE(prompt.centreWavelength, 430.0);
    EXPECT_LE(prompt.centreWavelength, 650.0);
    EXPECT_EQ(settings.applicationFile().getInt("SC", "NarrowFilter", -1), 0)
        << "the click is stored at once";

    ASSERT_EQ(record.spotColors.count(), 1);
    const SpotColorEntry* taught = record.spotColors.entry(1);
    EXPECT_EQ(taught->name, "Reflex Blue of the h");
    EXPECT_EQ(taught->kind, SpotKind::Narrow);
    EXPECT_EQ(taught->weights, kNarrowWindowWeights);
    EXPECT_DOUBLE_EQ(taught->centreWavelength(), prompt.centreWavelength);
    EXPECT_EQ(record.spotColors.selection(), 1);
    EXPECT_EQ(top()[column::kSpotName], "    --") << "the teaching sample gets no spot density";
    EXPECT_FALSE(record.spotColors.newEntryRequested);

    ASSERT_EQ(measure("C100"), kStatusOk);
    EXPECT_TRUE(matches(top()[column::kSpotDensity], "\\d+\\.\\d{2}"))
        << top()[column::kSpotDensity];
    EXPECT_GT(number(top()[column::kSpotDensity]), 0.5) << "the window sits where cyan absorbs";
    EXPECT_EQ(top()[column::kSpotName], "Reflex Blue of the h");
    EXPECT_EQ(top()[column::kSpotDotArea], "--   ");
}

TEST_F(MeasurementCycleTest, CancelledOrRefusedSpotColourLeavesTheLibrary)
{
    openAndCalibrate();
    SpotColorLibrary& library = station->record().spotColors;
    SpotColorEntry existing = makeSpotColorEntry(500.0);
    existing.name = "Old";
    library.append(existing);
    library.select(0);

    library.newEntryRequested = true;
    op.spotAnswer.reset();
    ASSERT_EQ(measure("M100"), kStatusOk);
    EXPECT_EQ(op.spotPrompts.back().presetName, "S2");
    EXPECT_EQ(library.count(), 1);
    EXPECT_EQ(library.selection(), 1) << "the last entry is selected";

    while (!library.isFull())
        library.append(existing);
    library.newEntryRequested = true;
    std::size_t prompts = op.spotPrompts.size();
    ASSERT_EQ(measure("M100"), kStatusOk);
    EXPECT_EQ(op.spotPrompts.size(), prompts)
        << "no name is asked for an entry that cannot be kept";
    ASSERT_FALSE(op.messages.empty());
    EXPECT_EQ(op.messages.back().text, kSpotLibraryFullMessage);
    EXPECT_EQ(library.count(), SpotColorLibrary::kMaxEntries);
    EXPECT_EQ(station->list().rowCount(), 2) << "the sample itself is kept";
}

TEST_F(MeasurementCycleTest, ChartPatchesFillUntilTheLastOne)
{
    openAndCalibrate();
    RecordingChart chart;
    station->setChartPatchStore(&chart);
    ChartProgress& progress = station->record().chart;
    progress.chartType = ChartTqRgb;
    progress.currentPatch = 133;
    progress.active = true;
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(measure("Y100"), kStatusOk);
    ASSERT_EQ(chart.stored.size(), 2u);
    EXPECT_EQ(chart.stored[0].first, 133);
    EXPECT_EQ(chart.stored[1].first, 134);
    const ChartPatchValues& values = chart.stored[1].second;
    EXPECT_NEAR(values.rootsXyz[1], std::sqrt(std::sqrt(values.xyz[1])), 1e-12);
    EXPECT_EQ(progress.currentPatch, 135);
    EXPECT_EQ(station->list().rowCount(), 3);
    EXPECT_EQ(observer.patches, (std::vector<std::pair<int, int>> {{133, 134}, {134, 135}}));
    std::vector<int> filled;
    for (const MeasuredSample& sample : observer.evaluated)
        filled.push_back(sample.chartPatch);
    EXPECT_EQ(filled, (std::vector<int> {133, 134, -1})) << "past the last patch none is filled";
    station->setChartPatchStore(nullptr);
}

TEST_F(MeasurementCycleTest, LumatrakAWithoutTableRunsAsLumatrakS)
{
    openAndCalibrate(InstrumentLumatrakA);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, kNoXyTableMessage);
    EXPECT_EQ(station->record().instrumentType, InstrumentLumatrakS);
    EXPECT_EQ(observer.types, std::vector<std::int32_t> {InstrumentLumatrakS});
}

TEST_F(MeasurementCycleTest, ClearListRestartsTheNumbering)
{
    openAndCalibrate();
    ASSERT_EQ(measure("paper"), kStatusOk);
    ASSERT_EQ(measure("paper"), kStatusOk);
    station->cycle().clearList();
    EXPECT_EQ(station->list().rowCount(), 0);
    ASSERT_EQ(measure("paper"), kStatusOk);
    EXPECT_EQ(top()[column::kNumber], "  0");
}

} // namespace
} // namespace lt
