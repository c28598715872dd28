#include "core/autorun/AutoMeasureChart.h"
#include "core/station/DeviceTypes.h"

#include <cstdio>
#include <system_error>

#include "core/charts/ChartLayout.h"
#include "core/charts/ChartSession.h"
#include "core/colour/ColorArithmetic.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtClock.h"
#include "instrument/include/LtRecordCodes.h"
#include "instrument/include/LtStatus.h"

namespace lt {

namespace {

// Another exchange (a measurement the cycle is finishing) is waited for in
// these steps, up to the longest wait, before the table call is given up.
constexpr std::uint32_t kBusyPollMs = 5;
constexpr std::uint32_t kLongestBusyWaitMs = 10000;

bool whiteReferenceDue(int chartType, std::int32_t instrumentType, int patch)
{
    return patch > 0 && patch % kPatchesPerWhiteReference == 0 && chartType != ChartTqRgb &&
        deviceType(instrumentType).onXyTable;
}

std::string failureText(unsigned long status)
{
    char text[40];
    std::snprintf(text, sizeof text, kMeasurementFailedFormat, static_cast<int>(status));
    return text;
}

} // namespace

AlignmentChart alignmentChartOf(int chartType)
{
    switch (chartType) {
    case ChartTqCmyk:
        return AlignmentChart::TqCmyk;
    case ChartTqRgb:
        return AlignmentChart::TqRgb;
    default:
        return AlignmentChart::It873;
    }
}

unsigned long AutoMeasureChart::instrumentTableOperation(
    Workstation& station, int operation, void* data)
{
    InstrumentAccess& access = station.instrumentAccess();
    InstrumentAccess::Exchange exchange = access.tryBegin();
    for (std::uint32_t waited = 0; !exchange && waited < kLongestBusyWaitMs;
         waited += kBusyPollMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kBusyPollMs));
        exchange = access.tryBegin();
    }
    if (!exchange)
        return kStatusInstrumentBusy;
    return exchange.instrument().GretagXY(operation, data);
}

AutoMeasureChart::AutoMeasureChart(Workstation& workstation, ChartSession& session,
    AutoRunObserver& runObserver, TableOperation tableOperation, ThreadStarter starter)
    : station(workstation), chart(session), observer(runObserver), table(std::move(tableOperation)),
      startThread(std::move(starter))
{
    if (!table)
        table = [this](int operation, void* data) {
            return instrumentTableOperation(station, operation, data);
        };
    if (!startThread)
        startThread = [](std::function<void()> body) { return std::thread(std::move(body)); };
}

AutoMeasureChart::~AutoMeasureChart()
{
    cancel();
    join();
}

void AutoMeasureChart::join()
{
    if (worker.joinable())
        worker.join();
}

bool AutoMeasureChart::start()
{
    if (active.exchange(true))
        return false;
    join(); // the previous run's worker has ended but may not be joined yet
    runStart = std::chrono::steady_clock::now();
    try {
        worker = startThread([this] { run(); });
    } catch (const std::system_error&) {
        station.op().showMessage(
            kThreadNotCreatedMessage, "", MessageButtons::Ok, MessageIcon::Stop);
        AutoRunSummary summary;
        summary.end = AutoRunEnd::NotStarted;
        finish(summary);
        return false;
    }
    return true;
}

void AutoMeasureChart::finish(AutoRunSummary summary)
{
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - runStart).count();
    observer.runEnded(summary);
    active.store(false);
}

void AutoMeasureChart::run()
{
    AutoRunSummary summary;
    XYPosition start = kTableStartPosition;
    table(kXyStartPosition, &start);
    table(kXySendD011, nullptr);

    ChartAlignment alignment(alignmentChartOf(chart.type()), table, station.op());
    if (station.op().alignChart(alignment)) {
        table(kXySendD010, nullptr);
        table(kXyWhiteCalibration, nullptr);
        visitPatches(alignment, summary);
    } else {
        summary.end = AutoRunEnd::AlignmentCancelled;
    }
    table(kXyToWhiteTile, nullptr);
    finish(summary);
}

void AutoMeasureChart::visitPatches(const ChartAlignment& alignment, AutoRunSummary& summary)
{
    ChartProgress& progress = station.record().chart;
    const int chartType = chart.type();
    const int patchCount = chart.patchCount();
    // Only an IT8.7/3 run resumes where the chart stands.
    const int resume = chartType == ChartIt873 ? std::max(0, progress.currentPatch.load()) : 0;
    chart.resumePatch = resume;
    progress.currentPatch = 0;
    abortRequested.store(false);
    observer.patchLoopStarted();

    for (int patch = 0; patch < patchCount; ++patch) {
        if (abortRequested.load()) {
            summary.end = AutoRunEnd::Cancelled;
            return;
        }
        if (whiteReferenceDue(chartType, station.record().instrumentType, patch)) {
            station.cycle().InitRemission();
            table(kXySendD010, nullptr);
        }
        const GridCell cell = tableGridCell(static_cast<ChartType>(chartType), patch);
        const XYPosition target =
            patchTarget(alignment.p1(), alignment.steps(), cell.column, cell.row);
        AutoRunProgress reached;
        reached.patch = patch;
        reached.patchCount = patchCount;
        reached.name = chart.names().name(patch);
        reached.measuring = patch >= resume;
        reached.secondsLeft = secondsLeft(summary.measured, patchCount - patch);
        observer.patchReached(reached);
        if (!reached.measuring) {
            progress.previousPatch = patch;
            progress.currentPatch = patch + 1;
            continue;
        }
        if (summary.measured == 0)
            firstMeasurement = std::chrono::steady_clock::now();
        if (!measurePatch(patch, target, summary)) {
            station.op().showMessage(
                kRunTerminatedMessage, "", MessageButtons::Ok, MessageIcon::None);
            summary.end = AutoRunEnd::MeasurementFailed;
            return;
        }
    }
    table(kXyHeadUp, nullptr);
    summary.end = AutoRunEnd::Finished;
}

bool AutoMeasureChart::measurePatch(int patch, XYPosition target, AutoRunSummary& summary)
{
    table(kXyMovePatch, &target);
    ChartProgress& progress = station.record().chart;
    int failures = 0;
    for (;;) {
        // The measurement fills this patch whatever was clicked meanwhile.
        progress.currentPatch = patch;
        table(kXyHeadDown, nullptr);
        const unsigned long status =
            station.cycle().MeasureSample(MeasurementCycle::kKindWithGraph, kGraphScale, 0);
        if (!isLinkFailure(status))
            break;
        if (++failures >= kFailuresBeforeAsking) {
            if (station.op().showMessage(failureText(status), "", MessageButtons::OkCancel,
                    MessageIcon::None) != MessageAnswer::Ok)
                return false;
            failures = 0;
        }
        ++summary.retries;
    }
    table(kXyHeadUp, nullptr);
    ++summary.measured;
    return true;
}

int AutoMeasureChart::secondsLeft(int measuredSoFar, int stillToMeasure) const
{
    if (measuredSoFar == 0)
        return -1;
    const double perPatch =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - firstMeasurement).count() /
        measuredSoFar;
    return static_cast<int>(perPatch * stillToMeasure + 0.5);
}

} // namespace lt
