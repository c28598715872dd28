#include "core/metrics/ListFile.h"

#include "core/metrics/FileMessages.h"
#include "core/metrics/TextFileName.h"
#include "core/station/Operator.h"

namespace lt {

std::string formatListFileText(const MeasurementList& list)
{
    std::string text;
    list.visitOldestFirst([&text](const MeasurementRow& row) {
        if (text.empty())
            text = kListFileHeader;
        for (const std::string& cell : row) {
            text += cell;
            text += '\t';
        }
        text += "\r\n";
    });
    return text;
}

bool SaveList(const MeasurementList& list, Operator& op, std::string& listPath)
{
    const auto chosen = op.chooseFileToSave(kSaveListTitle, listPath, kTextFileFilter);
    if (!chosen || chosen->empty())
        return false;
    listPath = *chosen;

    const std::string text = formatListFileText(list);
    return reportWriteResult(op, replaceFileContent(listPath, text), listPath) && !text.empty();
}

} // namespace lt
