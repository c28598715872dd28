#pragma once
// What the measurement cycle tells the windows. Every notification arrives
// on the thread that measured: the user-interface thread for a button or
// remote-mode measurement, the chart worker during an automatic chart run.
// An observer that touches windows carries the notification over to the
// user-interface thread itself (a queued call).
#include <array>
#include <cstdint>
#include <string>

#include "core/colour/ColorArithmetic.h"
#include "core/metrics/MeasurementList.h"
#include "core/station/SharedRecord.h"

namespace lt {

// One sample as measured, for the quality-control evaluation.
struct MeasuredSample {
    std::array<double, 3> lab {}; // L*, a*, b*
    std::array<double, 3> xyz {}; // X, Y, Z
    ProcessDensities densities {}; // Cyan, Magenta, Yellow, Black after paper white
    ProcessColor processColor = Cyan;
    double dotArea = 0.0; // [%]
    MeasurementRow row; // the list row made from it
};

class MeasurementObserver {
public:
    virtual ~MeasurementObserver() = default;

    // A new row was inserted at the top of the measurement list.
    virtual void rowAdded(const MeasurementRow& row) { (void)row; }
    // The colour metrics page's status line reads text now ("" clears it).
    virtual void statusTextChanged(const std::string& text) { (void)text; }
    // The large value display shows the latest row and must be repainted.
    virtual void valueAreaChanged() { }
    // New spectrum graph ordinates (also kept in SharedRecord::sample).
    virtual void graphChanged(const GraphSample& sample) { (void)sample; }
    // measuredPatch got its values; nextPatch (maybe past the last) is now current.
    virtual void chartPatchMeasured(int measuredPatch, int nextPatch)
    {
        (void)measuredPatch;
        (void)nextPatch;
    }
    // The quality-control dialog judges the new sample.
    virtual void qualityControlSample(const MeasuredSample& sample) { (void)sample; }
    // The spreadsheet export receives the new top row of the list.
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
