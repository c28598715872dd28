#pragma once
// "Compare..." of a chart dialog: the open chart, as far as it is measured,
// against a chart file the operator chooses (ours, or any CGATS file with
// XYZ or L*a*b* fields and SAMPLE_ID such as the open profile-building tools
// write), by the colour-difference formula chosen on the colour metrics
// page. The chosen file is the reference (the proof, the reference print),
// the open chart the sample (the sheet just measured). The open chart is
// read from its own chart file text, so the program's figures are those of
// the command line for the saved file. Keeps the report and each patch's
// difference for the dialog's colouring, and saves the report as text.
#include <optional>
#include <string>
#include <vector>

#include "core/compare/ChartComparison.h"

namespace lt {

class ChartSession;
class Workstation;

inline constexpr const char* kCompareOpenTitle = "Compare with Chart";
inline constexpr const char* kCompareSaveTitle = "Save Comparison Report";
inline constexpr const char* kChartFileFilter = " Charts(*.txt *.ti3 *.cgats *.it8) ";
inline constexpr const char* kReportFileName = "comparison.txt";
inline constexpr const char* kNothingMeasuredMessage =
    "No patch of the open chart is measured yet !";
inline constexpr const char* kNoCommonPatchesMessage = "The two charts have no patch in common !";
inline constexpr const char* kComparisonNotPrintedMessage = "No printing done !";

class ChartCompareLogic {
public:
    ChartCompareLogic(Workstation& workstation, const ChartSession& session);

    // Asks for the reference chart and compares the open chart with it.
    // False when the operator cancelled, or the file or the open chart gave
    // nothing to compare (the operator is told why); a previous comparison
    // then stays.
    bool compare();
    // The open chart compared again with the same reference, after new
    // measurements. False when no comparison is shown.
    bool recompare();
    // Asks where and writes the report; the operator is told when it fails.
    bool saveReport();
    // The print dialog was cancelled or the printer failed.
    void reportNoPrinting();

    // A comparison is shown; close() ends it (the chart shows its measured
    // colours again).
    bool active() const { return shown; }
    void close() { shown = false; }

    const ChartComparison& comparison() const { return result; }
    const std::string& report() const { return reportText; }
    const std::string& referencePath() const { return reference; }
    // The difference of a patch of the open chart; nothing when it is not
    // measured or has no partner in the reference.
    std::optional<double> patchDifference(int patch) const;

private:
    // The measured patches of the open chart, read from its chart file text.
    MeasuredChart openChart() const;
    bool compareOpenChart(bool tellWhenEmpty);

    Workstation& station;
    const ChartSession& chart;
    std::optional<MeasuredChart> referenceChart;
    std::string reference; // path of the reference chart file
    std::string reportPath;
    ChartComparison result;
    std::string reportText;
    std::vector<std::optional<double>> differences; // by patch index
    bool shown = false;
};

} // namespace lt
