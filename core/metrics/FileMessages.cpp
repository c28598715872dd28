#include "core/metrics/FileMessages.h"

#include "core/station/Operator.h"

namespace lt {

std::string wrongPathMessage(const std::string& path)
{
    return "Wrong Path or no Space: " + path;
}

std::string readOnlyMessage(const std::string& path)
{
    return "The file is read-only: " + path;
}

void tellOperator(Operator& op, const std::string& text)
{
    op.showMessage(text, "", MessageButtons::Ok, MessageIcon::Exclamation);
}

std::string writeFailureMessage(
    FileWriteResult result, const std::string& path, const std::string& reason)
{
    std::string text = result == FileWriteResult::CannotCreate ? wrongPathMessage(path)
        : result == FileWriteResult::ReadOnly                 ? readOnlyMessage(path)
                                                              : std::string(kWriteFileFailedMessage);
    if (!reason.empty())
        text += "\n" + reason;
    return text;
}

bool reportWriteResult(Operator& op, FileWriteResult result, const std::string& path)
{
    if (result == FileWriteResult::Written)
        return true;
    tellOperator(op, writeFailureMessage(result, path, ""));
    return false;
}

bool writeFileTellingOperator(Operator& op, const std::string& path, std::string_view content)
{
    std::string reason;
    const FileWriteResult result = replaceFileContent(path, content, &reason);
    if (result == FileWriteResult::Written)
        return true;
    tellOperator(op, writeFailureMessage(result, path, reason));
    return false;
}

} // namespace lt
