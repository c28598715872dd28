#pragma once
// What an automatic chart run tells the chart dialog while it lasts. Every
// call arrives on the run's worker thread (runEnded also on the thread that
// tried to start a run whose worker could not be created); a window must
// carry it to its own thread.
#include <string>

namespace lt {

// The patch the run is at.
struct AutoRunProgress {
    int patch = 0; // 0-based index of the patch being visited
    int patchCount = 0;
    std::string name; // "00A1", "A01"
    bool measuring = false; // false: counted but skipped (before the resume point)
    int secondsLeft = -1; // estimate from the patches measured so far; -1: not yet known
};

enum class AutoRunEnd {
    Finished, // every patch visited
    Cancelled, // Cancel in the chart dialog, before the next patch
    AlignmentCancelled, // Cancel in the InitAuto dialog: nothing was measured
    MeasurementFailed, // the operator gave up a failing patch
    NotStarted, // the worker thread could not be created
};

struct AutoRunSummary {
    AutoRunEnd end = AutoRunEnd::Finished;
    int measured = 0; // patches measured by this run
    int retries = 0; // measurements repeated after a failure
    double seconds = 0.0; // from XYAuto to the end
};

class AutoRunObserver {
public:
    virtual ~AutoRunObserver() = default;
    // The chart is aligned and the patch loop begins: Cancel may be offered.
    virtual void patchLoopStarted() { }
    // The run reached a patch (before moving there or skipping it).
    virtual void patchReached(const AutoRunProgress& progress) { (void)progress; }
    // The run is over: everything hidden or disabled for it is restored now.
    // Called exactly once per start().
    virtual void runEnded(const AutoRunSummary& summary) { (void)summary; }
};

} // namespace lt
