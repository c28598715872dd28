#pragma once
// The measurement list as a tab-separated text file for spreadsheets and
// other tools: a header line, then one line per row, oldest first, each
// column text exactly as the list shows it followed by a tab; lines end in
// CR LF. An empty list gives an empty file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/metrics/MeasurementList.h"

namespace lt {

class Operator;

inline constexpr std::string_view kListFileHeader =
    "No.\tCyan\tMag.\tYel.\tBlack\tPr.%\t L\t a\t b\t X\t Y\tZ \tSDens.\tSp.%\tSName\r\n";
inline constexpr const char* kSaveListTitle = "Save List";

// The file's text, formatted straight from the list (its rows are not copied).
std::string formatListFileText(const MeasurementList& list);
// The lines that follow the file's first from rows (0 = the oldest): the
// rows from that position to the newest, led by the header only when from is
// 0. rowCount receives the number of rows the list held; when that is fewer
// than from, rows went away meanwhile and the text is empty.
std::string formatListFileLines(
    const MeasurementList& list, std::size_t from, std::size_t& rowCount);
// The same text for rows held apart from the list (newest first).
std::string formatListFileText(const std::vector<MeasurementRow>& rowsNewestFirst);

// The rows of a list file's text, newest first (the inverse of
// formatListFileText). Nothing when the header is not the list file's; a
// line that does not hold fifteen tab-ended columns ends the reading (the
// rows before it are kept). An empty text is an empty list.
std::optional<std::vector<MeasurementRow>> parseListFileText(std::string_view text);

// "SaveList": asks for the file (starting at listPath), writes the list
// completely or not at all, and reports "Wrong Path or no Space: <path>" or
// "Write file failed!". listPath becomes the chosen path. Returns true when
// a list of at least one row was written: only then is the path worth
// remembering as "ListName".
bool SaveList(const MeasurementList& list, Operator& op, std::string& listPath);

} // namespace lt
