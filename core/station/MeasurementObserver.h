#pragma once
// What the measurement cycle tells the windows, quality control, the
// spreadsheet export and the chart. Every notification arrives on the
// thread that measured (the instrument session's worker, the chart worker);
// the views receive them on the user-interface thread through the Qt bridge
// (ui/shell/StationEvents). An observer must not wait for the user-interface
// thread inside a notification: removing an observer waits for running
// notifications to end.
#include <cstdint>
#include <string>

#include "core/station/MeasuredSample.h"

namespace lt {

class MeasurementObserver {
public:
    virtual ~MeasurementObserver() = default;

    // One sample was measured and its row inserted at the top of the list;
    // the one event per sample. By default it is handed on to the four
    // narrower hooks below, so an observer may take only the part it needs.
    virtual void sampleMeasured(const MeasuredSample& sample)
    {
        rowAdded(sample.row);
        spreadsheetRow(sample.row);
        valueAreaChanged();
        qualityControlSample(sample);
    }

    // The new row at the top of the measurement list (part of sampleMeasured).
    virtual void rowAdded(const MeasurementRow& row) { (void)row; }
    // The colour metrics page's status line reads text now ("" clears it).
    virtual void statusTextChanged(const std::string& text) { (void)text; }
    // The large value display must be repainted (a new sample, another metric).
    virtual void valueAreaChanged() { }
    // New spectrum graph ordinates (also kept in SharedRecord::sample); sent
    // as soon as the spectrum arrived, so also when a later fetch fails.
    virtual void graphChanged(const GraphSample& sample) { (void)sample; }
    // measuredPatch got its values; nextPatch (maybe past the last) is now current.
    virtual void chartPatchMeasured(int measuredPatch, int nextPatch)
    {
        (void)measuredPatch;
        (void)nextPatch;
    }
    // The quality-control dialog judges the new sample (part of sampleMeasured).
    virtual void qualityControlSample(const MeasuredSample& sample) { (void)sample; }
    // The spreadsheet export receives the new top row (part of sampleMeasured).
    virtual void spreadsheetRow(const MeasurementRow& row) { (void)row; }
    // The instrument type changed without the operator (a Lumatrak A without
    // its table runs as Lumatrak S); the device combo box follows.
    virtual void instrumentTypeChanged(std::int32_t instrumentType) { (void)instrumentType; }
};

// The chart tables: implemented by the chart code, installed in the
// Workstation while a chart exists.
class ChartPatchStore {
public:
    virtual ~ChartPatchStore() = default;
    virtual void storePatchValues(int patch, const ChartPatchValues& values) = 0;
};

} // namespace lt
