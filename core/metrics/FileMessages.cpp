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

bool reportWriteResult(Operator& op, FileWriteResult result, const std::string& path)
{
    switch (result) {
    case FileWriteResult::Written:
        return true;
    case FileWriteResult::CannotCreate:
        tellOperator(op, wrongPathMessage(path));
        return false;
    case FileWriteResult::ReadOnly:
        tellOperator(op, readOnlyMessage(path));
        return false;
    case FileWriteResult::WriteFailed:
        tellOperator(op, kWriteFileFailedMessage);
        return false;
    }
    return false;
}

} // namespace lt
