#include "core/charts/ChartSession.h"

#include <algorithm>
#include <filesystem>

#include "core/charts/ChartFile.h"
#include "core/common/WholeFile.h"
#include "core/metrics/FileMessages.h"
#include "core/metrics/TextFileName.h"
#include "core/station/Workstation.h"

namespace lt {

namespace {

std::string missingFileMessage(const std::string& path)
{
    return "File does not exist: " + path;
}

std::string tooLargeMessage(const std::string& path)
{
    return "File too large for a chart: " + path;
}

} // namespace

ChartSession::ChartSession(Workstation& workstation, ChartType chartType, std::string& chartPath)
    : station(workstation), chart(chartDescription(chartType)), path(chartPath),
      titleText(chart.dialogCaption)
{
    ChartProgress& progress = station.record().chart;
    progress.chartType = chartType;
    progress.previousPatch = 0;
    progress.currentPatch = 0;
    divisorInUse = displayDivisor(
        chartType, station.record().densityParameterSnapshot().integer(slot::kIllumType));
    patchTables.setValues(chart.patchCount, kUnmeasuredXyz);
    nameTable.fill(chartType);
    station.setChartPatchStore(this);
}

ChartSession::~ChartSession()
{
    station.setChartPatchStore(nullptr);
}

PatchRgb ChartSession::colorOf(int patch) const
{
    return patchColor(patchTables.entry(patch).display, divisorInUse);
}

int ChartSession::currentPatch() const
{
    return station.record().chart.currentPatch;
}

int ChartSession::previousPatch() const
{
    return station.record().chart.previousPatch;
}

void ChartSession::selectPatch(int patch)
{
    ChartProgress& progress = station.record().chart;
    const int current = progress.currentPatch;
    if (current != -1)
        progress.previousPatch = current;
    progress.currentPatch = patch >= 0 && patch < chart.patchCount ? patch : -1;
}

void ChartSession::storePatchValues(int patch, const ChartPatchValues& values)
{
    if (patch >= 0 && patch < chart.patchCount)
        patchTables.store(patch, values);
}

std::string ChartSession::chartText() const
{
    std::vector<Triple> xyz;
    xyz.reserve(static_cast<std::size_t>(chart.patchCount));
    for (int i = 0; i < chart.patchCount; ++i)
        xyz.push_back(patchTables.entry(i).xyz);
    const DensityParameterBlock block = station.record().densityParameterSnapshot();
    return formatChartText(chart.type, nameTable, xyz,
        {block.integer(slot::kIllumType), block.integer(slot::kObserverType)}, currentPatch());
}

void ChartSession::rememberPath(bool withChartType)
{
    titleText = std::string(chart.displayName) + path;
    if (!withChartType)
        return;
    station.settings().store(keys::kChartName, path);
    station.settings().store(keys::kChartType, static_cast<int>(chart.type));
}

bool ChartSession::choosePath(FileChoice choice)
{
    Operator& op = station.op();
    const auto chosen = choice == FileChoice::Save
        ? op.chooseFileToSave(chart.saveTitle, path, kTextFileFilter)
        : op.chooseFileToOpen(chart.openTitle, path, kTextFileFilter);
    if (!chosen)
        return false;
    path = *chosen;
    if (path.empty()) {
        tellOperator(op, kNoPathMessage);
        return false;
    }
    return true;
}

bool ChartSession::save()
{
    if (!choosePath(FileChoice::Save))
        return false;
    Operator& op = station.op();
    if (!reportWriteResult(op, replaceFileContent(path, chartText()), path))
        return false;
    // Only the IT8.7/3 chart becomes the chart the page offers next time.
    rememberPath(chart.type == ChartIt873);
    return true;
}

bool ChartSession::load()
{
    if (!choosePath(FileChoice::Open))
        return false;
    Operator& op = station.op();
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || !std::filesystem::is_regular_file(path, error)) {
        tellOperator(op, missingFileMessage(path));
        return false;
    }
    if (size < kShortestChartFile) {
        tellOperator(op, kNoValidFileMessage);
        return false;
    }
    if (size > chart.loadLimit) {
        tellOperator(op, tooLargeMessage(path));
        return false;
    }
    std::string text;
    switch (readFileHead(path, chart.loadLimit + 1, text)) {
    case FileReadResult::Read:
        break;
    case FileReadResult::CannotOpen:
        tellOperator(op, missingFileMessage(path));
        return false;
    case FileReadResult::ReadFailed:
        tellOperator(op, kReadFileFailedMessage);
        return false;
    }
    if (text.size() < size) {
        tellOperator(op, kFileLengthMessage);
        return false;
    }
    if (text.size() > chart.loadLimit) { // grew while it was read
        tellOperator(op, tooLargeMessage(path));
        return false;
    }

    const ChartTextReading reading = parseChartText(text, chart.patchCount);
    if (reading.problem != ChartTextProblem::None) {
        tellOperator(op,
            reading.problem == ChartTextProblem::WrongChart ? kWrongChartTypeMessage
                                                            : kNoValidFileMessage);
        return false;
    }

    patchTables.storeMeasured(reading.xyz);
    ChartProgress& progress = station.record().chart;
    progress.currentPatch = reading.cursor;
    progress.previousPatch = std::max(reading.cursor - 1, 0);
    if (chart.type == ChartIt873)
        resumePatch = reading.cursor;
    rememberPath(true);
    return true;
}

} // namespace lt
