#include "core/qc/QcSetFile.h"

#include "core/common/NumberText.h"
#include "core/common/WholeFile.h"
#include "core/metrics/FileMessages.h"
#include "core/metrics/SpotLibraryFile.h"
#include "core/qc/QcText.h"

namespace lt {

bool readQcSetFile(const std::string& path, QcSet& set, Operator& op)
{
    std::string bytes;
    // One byte more than allowed tells an oversized file from a full one.
    switch (readFileHead(path, kQcFileMaxBytes + 1, bytes)) {
    case FileReadResult::CannotOpen:
        tellOperator(op, kNoValidFileMessage);
        return false;
    case FileReadResult::ReadFailed:
        tellOperator(op, kReadFileFailedMessage);
        return false;
    case FileReadResult::Read:
        break;
    }
    if (bytes.size() > kQcFileMaxBytes || !isQcText(bytes)) {
        tellOperator(op, kQcNotQcFileMessage);
        return false;
    }
    QcSet candidate = set;
    const QcParseResult result = ParseQcText(bytes, path, candidate);
    if (!result.complete) {
        tellOperator(op,
            std::string(kQcIncompleteMessage) + "\n" + path + ", line " +
                formatInteger(result.line) + ": " + result.reason + ".");
        return false;
    }
    set = std::move(candidate);
    return true;
}

bool writeQcSetFile(const std::string& path, const QcSet& set, Operator& op)
{
    return reportWriteResult(op, replaceFileContent(path, ComposeQcText(set)), path);
}

} // namespace lt
