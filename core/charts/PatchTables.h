#pragma once
// The per-patch tables of the open chart. Entry i belongs to patch i; one
// entry more than the largest chart holds the name "End" behind the last patch.
//
// PatchNameTable: the patch names of one chart.
// PatchValueTable: X, Y, Z as measured (white = 100).
// PatchDisplayTable: X^(1/4), Y^(1/4), Z^(1/4), from which the dialog paints.
//
// The measurement cycle writes the values from whichever thread measures
// (the automatic run's worker, too) while the dialog paints from the
// user-interface thread, so every access goes through one lock.
#include <array>
#include <mutex>
#include <span>
#include <string>

#include "core/charts/ChartDescription.h"
#include "core/colour/ColorArithmetic.h"

namespace lt {

inline constexpr const char* kEndPatchName = "End";
inline constexpr int kPatchNameLength = 5; // longest name: "00A13"
inline constexpr float kUnmeasuredXyz = 100.0f; // set when a chart dialog opens
inline constexpr float kWhiteDisplayValue = 4.0f; // 100^(1/4): shows white

using Triple = std::array<float, 3>;

class PatchNameTable {
public:
    // The names of chartType's patches and "End" behind them. Both TQ charts
    // get the 210 TQ CMYK names: the TQ RGB chart uses the first 135.
    void fill(ChartType chartType);
    // Name at index, "" outside the table.
    const std::string& name(int index) const;

private:
    std::array<std::string, kPatchTableEntries> names;
};

// One patch as the chart file and the dialog need it.
struct PatchEntry {
    Triple xyz {}; // X, Y, Z as measured
    Triple display {}; // their fourth roots
};

class PatchTables {
public:
    // Every entry below count: X, Y, Z to value (a dialog opening), or the
    // display values to value (a chart measurement starting).
    void setValues(int count, float value);
    void setDisplayValues(int count, float value);

    // Patch index gets a measurement (an index outside the tables is ignored).
    void store(int index, const ChartPatchValues& values);
    // Patches 0 ... size - 1 get the measured X, Y, Z of xyz, in one step.
    void storeMeasured(std::span<const Triple> xyz);

    PatchEntry entry(int index) const;

private:
    mutable std::mutex mutex;
    std::array<Triple, kPatchTableEntries> PatchValueTable {};
    std::array<Triple, kPatchTableEntries> PatchDisplayTable {};
};

} // namespace lt
