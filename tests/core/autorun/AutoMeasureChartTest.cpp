// The automatic chart run against a virtual Lumatrak A whose table carries
// the chart off its nominal place and turned by half a degree: the operator
// steers the head over the three corners, and every patch must then hold
// what the instrument reports for that very patch. The table operations are
// checked in their exact order, also when the run is cancelled, resumes, or
// the operator gives up a failing patch.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <system_error>

#include "common/AligningOperator.h"
#include "common/FastClock.h"
#include "common/ScriptedOperator.h"
#include "common/SimulatedInstrumentPort.h"
#include "common/TempDirectory.h"
#include "core/autorun/AutoMeasureChart.h"
#include "core/charts/ChartLayout.h"
#include "core/charts/ChartSession.h"
#include "core/colour/ColourDifference.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtRecordCodes.h"
#include "ltsim/Simulator.h"

namespace lt {
namespace {

struct RunRecorder : AutoRunObserver {
    void patchLoopStarted() override { ++loopStarts; }
    void patchReached(const AutoRunProgress& progress) override
    {
        reached.push_back(progress);
        if (onPatch)
            onPatch(progress.patch);
    }
    void runEnded(const AutoRunSummary& summary) override { summaries.push_back(summary); }

    std::function<void(int patch)> onPatch;
    int loopStarts = 0;
    std::vector<AutoRunProgress> reached;
    std::vector<AutoRunSummary> summaries;
};

ltsim::ChartKind simulatedChart(ChartType type)
{
    return type == ChartIt873 ? ltsim::ChartKind::It8
        : type == ChartTqCmyk ? ltsim::ChartKind::TqCmyk
                              : ltsim::ChartKind::TqRgb;
}

Lab labOf(const Triple& xyz)
{
    constexpr double kWhite[3] = {96.42, 100.0, 82.49}; // D50
    double f[3];
    for (int i = 0; i < 3; ++i) {
        const double t = xyz[i] / kWhite[i];
        f[i] = t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0;
    }
    return {116.0 * f[1] - 16.0, 500.0 * (f[0] - f[1]), 200.0 * (f[1] - f[2])};
}

class AutoMeasureChartTest : public ::testing::Test {
protected:
    void SetUp() override { setClock(&fastClock); }

    void TearDown() override
    {
        run.reset();
        session.reset();
        if (station && portHandle)
            station->instrument().GretagPortClose(portHandle);
        portHandle = nullptr;
        station.reset();
        sim.stop();
        setClock(nullptr);
    }

    // The chart lies off its nominal place and turned by half a degree.
    void openChart(ChartType type)
    {
        const ltsim::ChartKind kind = simulatedChart(type);
        sim.placeChart({true, kind, 1234.0, 1111.0,
            kind == ltsim::ChartKind::It8 ? ltsim::kIt8Pitch : ltsim::kTqPitch, 0.5});
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        ASSERT_EQ(CTaviSpec::SetPortDevice(1, sim.devicePath().c_str()), 0ul);
        station = std::make_unique<Workstation>(op, config.path());
        testing::openAndCalibrateCom1(*station, InstrumentLumatrakA, portHandle);
        session = std::make_unique<ChartSession>(*station, type, chartPath);
        station->record().chart.active = true;
        run = std::make_unique<AutoMeasureChart>(
            *station, *session, recorder, [this](int operation, void* data) {
                operations.push_back(operation);
                return AutoMeasureChart::instrumentTableOperation(*station, operation, data);
            });
    }

    void runToTheEnd()
    {
        ASSERT_TRUE(run->start());
        run->join();
        ASSERT_EQ(recorder.summaries.size(), 1u);
        EXPECT_FALSE(run->running());
    }

    // A new instrument, chart and run for the next case of a table.
    void startAfresh()
    {
        TearDown();
        SetUp();
        recorder = RunRecorder {};
        operations.clear();
        op.messages.clear();
    }

    // The operations from the white calibration that follows the alignment on.
    std::vector<int> operationsAfterAlignment() const
    {
        auto calibration = std::find(operations.begin(), operations.end(), kXyWhiteCalibration);
        return {
            calibration == operations.end() ? operations.end() : calibration + 1, operations.end()};
    }

    // What a run that visits patches from..to-1 sends per patch; resume: the
    // first measured patch.
    static std::vector<int> patchOperations(
        ChartType type, int from, int to, int resume, bool withWhiteReference)
    {
        std::vector<int> expected;
        for (int patch = from; patch < to; ++patch) {
            if (withWhiteReference && patch > 0 && patch % 50 == 0)
                expected.push_back(kXySendD010);
            if (type != ChartIt873 || patch >= resume)
                expected.insert(expected.end(), {kXyMovePatch, kXyHeadDown, kXyHeadUp});
        }
        return expected;
    }

    bool measured(int patch) const
    {
        return session->tables().entry(patch).xyz != Triple {100.0f, 100.0f, 100.0f};
    }

    testing::FastClock fastClock;
    ltsim::Simulator sim {[] {
        ltsim::SimulatorOptions options;
        options.device = ltsim::DeviceKind::LumatrakA;
        options.noise = 0.0;
        return options;
    }()};
    testing::TempDirectory config;
    testing::AligningOperator op {sim};
    RunRecorder recorder;
    std::string chartPath;
    std::unique_ptr<Workstation> station;
    std::unique_ptr<ChartSession> session;
    std::unique_ptr<AutoMeasureChart> run;
    std::vector<int> operations;
    void* portHandle = nullptr;
};

TEST_F(AutoMeasureChartTest, EveryPatchOfEachChartHoldsWhatTheInstrumentReportsForIt)
{
    struct Case {
        ChartType type;
        bool whiteReferenceEvery50;
    };
    for (const Case& chart :
        {Case {ChartIt873, true}, Case {ChartTqCmyk, true}, Case {ChartTqRgb, false}}) {
        SCOPED_TRACE(chart.type);
        openChart(chart.type);
        runToTheEnd();
        EXPECT_EQ(recorder.summaries[0].end, AutoRunEnd::Finished);
        const int count = session->patchCount();
        EXPECT_EQ(recorder.summaries[0].measured, count);
        EXPECT_EQ(recorder.summaries[0].retries, 0);
        EXPECT_TRUE(op.messages.empty());

        // Start position, alignment, then the patches in order, closed by
        // lifting the head and parking it on the white tile.
        ASSERT_GE(operations.size(), 2u);
        EXPECT_EQ(operations[0], kXyStartPosition);
        EXPECT_EQ(operations[1], kXySendD011);
        std::vector<int> expected =
            patchOperations(chart.type, 0, count, 0, chart.whiteReferenceEvery50);
        expected.insert(expected.end(), {kXyHeadUp, kXyToWhiteTile});
        EXPECT_EQ(operationsAfterAlignment(), expected);

        int worst = -1;
        double worstDifference = 0.0;
        for (int patch = 0; patch < count; ++patch) {
            const std::string name = patchName(chart.type, patch);
            const std::optional<ltsim::Reading> reading = sim.expectedPatchReading(name);
            ASSERT_TRUE(reading) << name;
            const double difference = deltaE76(labOf(session->tables().entry(patch).xyz),
                labOf({reading->xyz[0], reading->xyz[1], reading->xyz[2]}));
            if (difference > worstDifference) {
                worstDifference = difference;
                worst = patch;
            }
        }
        EXPECT_LT(worstDifference, 0.01) << patchName(chart.type, worst);
        EXPECT_EQ(session->currentPatch(), count);
        EXPECT_EQ(recorder.reached.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(recorder.reached.back().name, patchName(chart.type, count - 1));
        EXPECT_GE(recorder.reached.back().secondsLeft, 0);
        startAfresh();
    }
}

TEST_F(AutoMeasureChartTest, CancelStopsBeforeTheNextPatchAndStillParksTheHead)
{
    openChart(ChartTqRgb);
    recorder.onPatch = [this](int patch) {
        if (patch == 20)
            run->cancel();
    };
    runToTheEnd();
    EXPECT_EQ(recorder.summaries[0].end, AutoRunEnd::Cancelled);
    EXPECT_EQ(recorder.summaries[0].measured, 21);
    EXPECT_TRUE(measured(20));
    EXPECT_FALSE(measured(21));
    EXPECT_EQ(session->currentPatch(), 21);
    std::vector<int> expected = patchOperations(ChartTqRgb, 0, 21, 0, false);
    expected.push_back(kXyToWhiteTile); // no closing lift
    EXPECT_EQ(operationsAfterAlignment(), expected);

    // A new run starts again at "A01".
    recorder.onPatch = nullptr;
    operations.clear();
    recorder.summaries.clear();
    runToTheEnd();
    EXPECT_EQ(recorder.summaries[0].measured, session->patchCount());
}

TEST_F(AutoMeasureChartTest, ALoadedIt873ChartResumesAtItsCursorAndKeepsTheWhiteReferences)
{
    openChart(ChartIt873);
    station->record().chart.currentPatch = 300; // as a chart file with cursor 300 leaves it
    recorder.onPatch = [this](int patch) {
        if (patch == 302)
            run->cancel();
    };
    runToTheEnd();
    EXPECT_EQ(recorder.summaries[0].end, AutoRunEnd::Cancelled);
    EXPECT_EQ(recorder.summaries[0].measured, 3);
    EXPECT_EQ(session->resumePatch, 300);
    for (int patch : {0, 299, 303})
        EXPECT_FALSE(measured(patch)) << patch;
    for (int patch : {300, 301, 302})
        EXPECT_TRUE(measured(patch)) << patch;
    EXPECT_EQ(recorder.reached[300].name, "04B5");
    EXPECT_FALSE(recorder.reached[299].measuring);
    EXPECT_TRUE(recorder.reached[300].measuring);
    // The white references at 50 ... 250 without a single move, then 300.
    std::vector<int> expected = patchOperations(ChartIt873, 0, 303, 300, true);
    expected.push_back(kXyToWhiteTile);
    EXPECT_EQ(operationsAfterAlignment(), expected);
}

TEST_F(AutoMeasureChartTest, ASecondFailureOfAPatchAsksTheOperator)
{
    for (MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Cancel}) {
        SCOPED_TRACE(answer == MessageAnswer::Ok ? "OK" : "Cancel");
        openChart(ChartTqRgb);
        op.messageAnswer = answer;
        recorder.onPatch = [this](int patch) {
            if (patch == 3)
                sim.injectFault({ltsim::FaultKind::Silence, ltsim::FaultScope::FromNowOn});
        };
        runToTheEnd();
        ASSERT_GE(op.messages.size(), 1u);
        EXPECT_TRUE(std::regex_match(op.messages[0].text, std::regex("I/O error [0-9]+")))
            << op.messages[0].text;
        EXPECT_EQ(op.messages[0].buttons, MessageButtons::OkCancel);
        const AutoRunSummary& summary = recorder.summaries[0];
        if (answer == MessageAnswer::Ok) {
            // Failed, repeated silently, failed, asked, repeated: measured.
            EXPECT_EQ(op.messages.size(), 1u);
            EXPECT_EQ(summary.end, AutoRunEnd::Finished);
            EXPECT_EQ(summary.retries, 2);
            EXPECT_EQ(summary.measured, session->patchCount());
            EXPECT_TRUE(measured(3));
        } else {
            ASSERT_EQ(op.messages.size(), 2u);
            EXPECT_EQ(op.messages[1].text, "I/O error: AutoThread terminated");
            EXPECT_EQ(summary.end, AutoRunEnd::MeasurementFailed);
            EXPECT_EQ(summary.measured, 3);
            EXPECT_FALSE(measured(3));
            EXPECT_EQ(session->currentPatch(), 3);
            std::vector<int> expected = patchOperations(ChartTqRgb, 0, 3, 0, false);
            expected.insert(
                expected.end(), {kXyMovePatch, kXyHeadDown, kXyHeadDown, kXyToWhiteTile});
            EXPECT_EQ(operationsAfterAlignment(), expected);
        }
        startAfresh();
    }
}

TEST_F(AutoMeasureChartTest, EveryOtherEndRestoresTheDialogOnce)
{
    // Cancel in the InitAuto dialog: start position and the white tile only.
    openChart(ChartTqCmyk);
    op.alignmentAccepted = false;
    runToTheEnd();
    EXPECT_EQ(recorder.summaries[0].end, AutoRunEnd::AlignmentCancelled);
    EXPECT_EQ(recorder.loopStarts, 0);
    EXPECT_EQ(operations, (std::vector<int> {kXyStartPosition, kXySendD011, kXyToWhiteTile}));

    // No worker: the operator is told, the dialog restored, a new start possible.
    AutoMeasureChart refused(
        *station, *session, recorder, {}, [](std::function<void()>) -> std::thread {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        });
    recorder.summaries.clear();
    EXPECT_FALSE(refused.start());
    EXPECT_FALSE(refused.running());
    ASSERT_EQ(recorder.summaries.size(), 1u);
    EXPECT_EQ(recorder.summaries[0].end, AutoRunEnd::NotStarted);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "MainWndProc(): Error creating XYAuto thread");
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Stop);
}

} // namespace
} // namespace lt
