#pragma once
// The operator's messages about the text files of the colour metrics page
// (list file, spot-colour file), shown in one place.
#include <string>

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
// Space: <path>", "The file is read-only: <path>" or "Write file failed!". True when it was written.
bool reportWriteResult(Operator& op, FileWriteResult result, const std::string& path);

} // namespace lt
