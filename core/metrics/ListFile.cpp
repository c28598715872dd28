#include "core/metrics/ListFile.h"

#include "core/metrics/FileMessages.h"
#include "core/metrics/TextFileName.h"
#include "core/station/Operator.h"

namespace lt {

std::string formatListFileText(const std::vector<MeasurementRow>& rowsNewestFirst)
{
    if (rowsNewestFirst.empty())
        return {};
    std::string text(kListFileHeader);
    for (auto row = rowsNewestFirst.rbegin(); row != rowsNewestFirst.rend(); ++row) {
        for (const std::string& cell : *row) {
            text += cell;
            text += '\t';
        }
        text += "\r\n";
    }
    return text;
}

bool SaveList(const MeasurementList& list, Operator& op, std::string& listPath)
{
    const auto chosen = op.chooseFileToSave(kSaveListTitle, listPath, kTextFileFilter);
    if (!chosen || chosen->empty())
        return false;
    listPath = *chosen;

    const std::vector<MeasurementRow> rows = list.rows();
    return reportWriteResult(
               op, replaceFileContent(listPath, formatListFileText(rows)), listPath) &&
        !rows.empty();
}

} // namespace lt
