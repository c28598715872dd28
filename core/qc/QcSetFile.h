#pragma once
// A quality-control set's file: read whole, refused with the operator told
// why, or written completely in one step (a failed save leaves the old file
// as it was).
#include <cstddef>
#include <string>

#include "core/qc/QcSet.h"

namespace lt {

class Operator;

inline constexpr const char* kQcNotQcFileMessage = "This File is not a Quality Control File !";
inline constexpr const char* kQcIncompleteMessage = "This Quality Control File is uncomplete !";
// The largest set file is about 60 kB; a file beyond this limit is no set.
inline constexpr std::size_t kQcFileMaxBytes = 1024 * 1024;

// Reads the set in the file at path into set. On any refusal the operator
// is told ("No valid file selected !", "Read file failed!", "This File is
// not a Quality Control File !", or "This Quality Control File is
// uncomplete !" with the line and what was wrong there) and set is
// unchanged. True when the set was replaced.
bool readQcSetFile(const std::string& path, QcSet& set, Operator& op);

// Writes the set's text to path. Reports "Wrong Path or no Space: <path>"
// or "Write file failed!". True when the file was written.
bool writeQcSetFile(const std::string& path, const QcSet& set, Operator& op);

} // namespace lt
