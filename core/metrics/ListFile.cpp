#include "core/metrics/ListFile.h"

#include "core/metrics/FileMessages.h"
#include "core/metrics/TextFileName.h"
#include "core/station/Operator.h"

namespace lt {

namespace {

void appendListFileRow(std::string& text, const MeasurementRow& row)
{
    for (const std::string& cell : row) {
        text += cell;
        text += '\t';
    }
    text += "\r\n";
}

} // namespace

std::string formatListFileText(const MeasurementList& list)
{
    std::size_t rowCount = 0;
    return formatListFileLines(list, 0, rowCount);
}

std::string formatListFileLines(
    const MeasurementList& list, std::size_t from, std::size_t& rowCount)
{
    std::string text;
    rowCount = list.visitOldestFirst(
        [&text, from](const MeasurementRow& row) {
            if (from == 0 && text.empty())
                text = kListFileHeader;
            appendListFileRow(text, row);
        },
        from);
    return text;
}

std::string formatListFileText(const std::vector<MeasurementRow>& rowsNewestFirst)
{
    std::string text;
    if (!rowsNewestFirst.empty())
        text = kListFileHeader;
    for (auto row = rowsNewestFirst.rbegin(); row != rowsNewestFirst.rend(); ++row)
        appendListFileRow(text, *row);
    return text;
}

std::optional<std::vector<MeasurementRow>> parseListFileText(std::string_view text)
{
    std::vector<MeasurementRow> oldestFirst;
    if (text.empty())
        return oldestFirst;
    if (text.substr(0, kListFileHeader.size()) != kListFileHeader)
        return std::nullopt;
    text.remove_prefix(kListFileHeader.size());
    constexpr std::string_view kLineEnd = "\r\n";
    while (!text.empty()) {
        const std::size_t end = text.find(kLineEnd);
        if (end == std::string_view::npos)
            break;
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + kLineEnd.size());
        MeasurementRow row;
        bool complete = true;
        for (std::string& cell : row) {
            const std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos) {
                complete = false;
                break;
            }
            cell = std::string(line.substr(0, tab));
            line.remove_prefix(tab + 1);
        }
        if (!complete || !line.empty())
            break;
        oldestFirst.push_back(std::move(row));
    }
    return std::vector<MeasurementRow>(oldestFirst.rbegin(), oldestFirst.rend());
}

bool SaveList(const MeasurementList& list, Operator& op, std::string& listPath)
{
    const auto chosen = op.chooseFileToSave(kSaveListTitle, listPath, kTextFileFilter);
    if (!chosen || chosen->empty())
        return false;
    listPath = *chosen;

    const std::string text = formatListFileText(list);
    return writeFileTellingOperator(op, listPath, text) && !text.empty();
}

} // namespace lt
