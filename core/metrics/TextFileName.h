#pragma once
// File names of the text files the workstation saves (lists, spot colours,
// charts): they always carry the extension ".txt".
#include <string>

namespace lt {

inline constexpr const char* kTextFileExtension = "txt";
// The filter the open and save dialogs show.
inline constexpr const char* kTextFileFilter = " ListFiles(*.txt) ";

// Replaces the extension of the file name by ".txt", or appends ".txt" when
// the name has none. Dots in directory names do not count.
std::string withTextExtension(const std::string& path);

} // namespace lt
