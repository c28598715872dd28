#pragma once
// The chart that is open in a chart dialog: its tables, the patch that the
// next measurement fills, the dialog's colours, the chart file's Load and
// Save. While it exists it is the workstation's chart patch store, so every
// sample the measurement cycle takes while the chart is active fills the
// current patch (from a button, the instrument's key or the automatic run).
//
// The current and previous patch live in the shared record (the cycle moves
// them); everything else here is written on the user-interface thread,
// except the patch values, which PatchTables guards itself.
#include <atomic>
#include <string>
#include <vector>

#include "core/charts/ChartDescription.h"
#include "core/charts/PatchColor.h"
#include "core/charts/PatchTables.h"
#include "core/station/MeasurementObserver.h"

namespace lt {

class Workstation;

inline constexpr const char* kNoPathMessage = "No Path defined !";
inline constexpr const char* kNoValidFileMessage = "No valid file !";
inline constexpr const char* kWrongChartTypeMessage = "Wrong ChartType !";
inline constexpr const char* kFileLengthMessage = "System fault File length !";

class ChartSession : public ChartPatchStore {
public:
    // Opens chartType: every patch X, Y, Z = 100, the mark on the first
    // patch, the names filled, the divisor chosen by the illuminant setting.
    // chartPath is the page's chart file path, kept across sessions.
    ChartSession(Workstation& workstation, ChartType chartType, std::string& chartPath);
    ~ChartSession() override;
    ChartSession(const ChartSession&) = delete;
    ChartSession& operator=(const ChartSession&) = delete;

    const ChartDescription& description() const { return chart; }
    ChartType type() const { return chart.type; }
    int patchCount() const { return chart.patchCount; }
    const PatchNameTable& names() const { return nameTable; }
    const PatchTables& tables() const { return patchTables; }
    PatchTables& tables() { return patchTables; }
    const DisplayDivisor& divisor() const { return divisorInUse; }
    PatchRgb colorOf(int patch) const;

    // The patch the next measurement fills: 0 ... patch count (the end,
    // nothing more is filled), or -1 (none).
    int currentPatch() const;
    int previousPatch() const;
    // A click: the patch under the pointer, or -1 when it hit none.
    void selectPatch(int patch);

    // The dialog's title: its caption until a file was saved or loaded, then
    // the chart's display name followed by the file path.
    const std::string& title() const { return titleText; }

    // Where an automatic IT8.7/3 run starts measuring (patches before it are
    // counted, not measured): 0 on opening, the cursor of a loaded file.
    std::atomic<int> resumePatch {0};

    // Load: asks for the file, reads it whole and takes its values, or
    // changes nothing and tells the operator why. True when it was loaded.
    bool load();
    // Save: asks for the file and writes the chart completely, or leaves the
    // previous file as it was. True when it was written.
    bool save();

    // The chart file's text with the current values and mark.
    std::string chartText() const;

    void storePatchValues(int patch, const ChartPatchValues& values) override;

private:
    enum class FileChoice { Open, Save };
    // Asks for the chart file; false when cancelled or no name was given.
    bool choosePath(FileChoice choice);
    void rememberPath(bool withChartType);

    Workstation& station;
    const ChartDescription& chart;
    std::string& path;
    PatchNameTable nameTable;
    PatchTables patchTables;
    DisplayDivisor divisorInUse;
    std::string titleText;
};

} // namespace lt
