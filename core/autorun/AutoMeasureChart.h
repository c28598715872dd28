#pragma once
// The automatic measurement of a whole chart on the XY table. A worker
// thread parks the table at its start position, has the operator align the
// chart (ChartAlignment, through the Operator), then visits the patches in
// patch order: it moves the head over each patch, lowers it, measures
// through the measurement cycle (which stores the values in the chart and
// moves the mark) and lifts it again. Every run ends by sending the head to
// the white tile, whether it finished, was cancelled or failed.
//
// IT8.7/3 runs resume: patches before the chart's current patch are counted
// but not measured. Lumatrak A runs of the IT8.7/3 and TQ CMYK charts take a
// new white reference every 50 patches. A failed measurement is repeated
// once silently; a second failure asks the operator ("I/O error <code>"):
// OK starts over, Cancel ends the run ("I/O error: AutoThread terminated")
// with the patch unmeasured and still current.
//
// Values are never copied into the patch after a measured one: a cancelled
// run leaves every unmeasured patch as it was.
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "core/autorun/AutoRunObserver.h"
#include "core/autorun/ChartAlignment.h"

namespace lt {

class ChartSession;
class Workstation;

inline constexpr const char* kThreadNotCreatedMessage =
    "MainWndProc(): Error creating XYAuto thread";
inline constexpr const char* kRunTerminatedMessage = "I/O error: AutoThread terminated";
inline constexpr const char* kMeasurementFailedFormat = "I/O error %d";
inline constexpr XYPosition kTableStartPosition {500, 50};
inline constexpr int kPatchesPerWhiteReference = 50;
// A failing patch is measured this often before the operator is asked.
inline constexpr int kFailuresBeforeAsking = 2;

// The alignment code of a chart type.
AlignmentChart alignmentChartOf(int chartType);

class AutoMeasureChart {
public:
    using TableOperation = ChartAlignment::TableOperation;
    // Creates the worker; throws std::system_error when it cannot.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;

    // table: the table operation (empty: the instrument's, taken as an
    // exchange of its own). startThread: how the worker is created (empty:
    // std::thread).
    AutoMeasureChart(Workstation& workstation, ChartSession& session, AutoRunObserver& observer,
        TableOperation table = {}, ThreadStarter startThread = {});
    // Cancels a run still going and waits for its end.
    ~AutoMeasureChart();
    AutoMeasureChart(const AutoMeasureChart&) = delete;
    AutoMeasureChart& operator=(const AutoMeasureChart&) = delete;

    // XYAuto: starts the worker. False when a run is already going, or when
    // the worker could not be created: the operator was told and runEnded
    // (NotStarted) has been called.
    bool start();
    // The chart dialog's Cancel: the run stops before its next patch.
    void cancel() { abortRequested.store(true); }
    // True from start() until runEnded has returned.
    bool running() const { return active.load(); }
    // Waits for the worker to end (it must not be waiting for this thread).
    void join();

    // The table operation as the run issues it: through an exchange of its own.
    static unsigned long instrumentTableOperation(Workstation& station, int operation, void* data);

private:
    void run();
    void visitPatches(const ChartAlignment& alignment, AutoRunSummary& summary);
    // Moves over, measures and lifts; false when the operator gave up.
    bool measurePatch(int patch, XYPosition target, AutoRunSummary& summary);
    int secondsLeft(int measuredSoFar, int stillToMeasure) const;
    void finish(AutoRunSummary summary);

    Workstation& station;
    ChartSession& chart;
    AutoRunObserver& observer;
    TableOperation table;
    ThreadStarter startThread;
    std::thread worker;
    std::atomic<bool> abortRequested {false};
    std::atomic<bool> active {false};
    std::chrono::steady_clock::time_point runStart;
    std::chrono::steady_clock::time_point firstMeasurement;
};

} // namespace lt
