#include "core/charts/ChartCompareLogic.h"

#include <map>

#include "core/charts/ChartSession.h"
#include "core/common/NumberText.h"
#include "core/metrics/FileMessages.h"
#include "core/metrics/TextFileName.h"
#include "core/station/Workstation.h"

namespace lt {

namespace {

std::string unreadableMessage(const std::string& error)
{
    return "This chart cannot be compared:\n" + error;
}

bool measured(const PatchEntry& entry)
{
    return entry.xyz != Triple {kUnmeasuredXyz, kUnmeasuredXyz, kUnmeasuredXyz};
}

} // namespace

ChartCompareLogic::ChartCompareLogic(Workstation& workstation, const ChartSession& session)
    : station(workstation), chart(session)
{
}

MeasuredChart ChartCompareLogic::openChart() const
{
    CgatsReading reading = parseCgats(chart.chartText());
    if (!reading.table)
        return {};
    CgatsTable& table = *reading.table;
    // Row i of the chart file is patch i; unmeasured patches are left out.
    std::vector<std::vector<std::string>> measuredSets;
    for (std::size_t i = 0; i < table.sets.size(); ++i)
        if (measured(chart.tables().entry(static_cast<int>(i))))
            measuredSets.push_back(std::move(table.sets[i]));
    table.sets = std::move(measuredSets);
    MeasuredChartReading patches = measuredChartFrom(table);
    return patches.chart ? std::move(*patches.chart) : MeasuredChart {};
}

bool ChartCompareLogic::compare()
{
    Operator& op = station.op();
    const auto chosen = op.chooseFileToOpen(kCompareOpenTitle, reference, kChartFileFilter);
    if (!chosen || chosen->empty())
        return false;
    MeasuredChartReading reading = readMeasuredChart(*chosen);
    if (!reading.chart) {
        tellOperator(op, unreadableMessage(reading.error));
        return false;
    }
    std::optional<MeasuredChart> previous = std::move(referenceChart);
    referenceChart = std::move(reading.chart);
    const std::string previousPath = reference;
    reference = *chosen;
    if (compareOpenChart(true))
        return true;
    referenceChart = std::move(previous);
    reference = previousPath;
    return false;
}

bool ChartCompareLogic::recompare()
{
    return shown && compareOpenChart(false);
}

bool ChartCompareLogic::compareOpenChart(bool tellWhenEmpty)
{
    const MeasuredChart sample = openChart();
    if (sample.patches.empty()) {
        if (tellWhenEmpty)
            tellOperator(station.op(), kNothingMeasuredMessage);
        return false;
    }
    const DeltaEFormula formula =
        deltaEFormulaFromIndex(station.settings().peek(keys::kDeltaEFormula));
    ChartComparison comparison = compareCharts(*referenceChart, sample, formula);
    if (comparison.patches.empty()) {
        if (tellWhenEmpty)
            tellOperator(station.op(), kNoCommonPatchesMessage);
        return false;
    }

    std::map<std::string, int> patchOfName;
    for (int i = 0; i < chart.patchCount(); ++i)
        patchOfName.emplace(chart.names().name(i), i);
    differences.assign(static_cast<std::size_t>(chart.patchCount()), std::nullopt);
    for (const PatchDifference& patch : comparison.patches)
        if (const auto found = patchOfName.find(patch.id); found != patchOfName.end())
            differences[static_cast<std::size_t>(found->second)] = patch.deltaE;

    const std::string sampleName = "the open chart (" + chart.title() + "), " +
        formatInteger(static_cast<long long>(sample.patches.size())) + " of " +
        formatInteger(chart.patchCount()) + " patches measured";
    reportText = comparisonReport(comparison, reference, sampleName);
    result = std::move(comparison);
    shown = true;
    return true;
}

std::optional<double> ChartCompareLogic::patchDifference(int patch) const
{
    if (!shown || patch < 0 || patch >= static_cast<int>(differences.size()))
        return std::nullopt;
    return differences[static_cast<std::size_t>(patch)];
}

void ChartCompareLogic::reportNoPrinting()
{
    tellOperator(station.op(), kComparisonNotPrintedMessage);
}

bool ChartCompareLogic::saveReport()
{
    if (!shown)
        return false;
    Operator& op = station.op();
    const std::string start =
        reportPath.empty() ? directoryOfPath(reference) + "/" + kReportFileName : reportPath;
    const auto chosen = op.chooseFileToSave(kCompareSaveTitle, start, kTextFileFilter);
    if (!chosen || chosen->empty())
        return false;
    if (!writeFileTellingOperator(op, *chosen, reportText))
        return false;
    reportPath = *chosen;
    return true;
}

} // namespace lt
