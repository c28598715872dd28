#pragma once
// The operator's messages about the text files of the colour metrics page
// (list file, spot-colour file), shown in one place.
#include <string>
#include <string_view>

#include "core/common/WholeFile.h"

namespace lt {

class Operator;

inline constexpr const char* kReadFileFailedMessage = "Read file failed!";
inline constexpr const char* kWriteFileFailedMessage = "Write file failed!";

// "Wrong Path or no Space: <path>".
std::string wrongPathMessage(const std::string& path);

// "The file is read-only: <path>": the operator write-protected it.
std::string readOnlyMessage(const std::string& path);

// Shows a message box with text.
void tellOperator(Operator& op, const std::string& text);

// Tells the operator why a file could not be written: "Wrong Path or no
// Space: <path>", "The file is read-only: <path>" or "Write file failed!".
// True when it was written.
bool reportWriteResult(Operator& op, FileWriteResult result, const std::string& path);

// Replaces the file at path by content through the whole-file writer and,
// when that fails, tells the operator why: "Wrong Path or no Space: <path>"
// or "Write file failed!", each followed on a line of its own by the
// system's reason ("Permission denied", "No space left on device"). True
// when the file was written.
bool writeFileTellingOperator(Operator& op, const std::string& path, std::string_view content);

// The message for a failed write: the text above with the reason below it
// (the text alone when there is no reason).
std::string writeFailureMessage(
    FileWriteResult result, const std::string& path, const std::string& reason);

} // namespace lt
