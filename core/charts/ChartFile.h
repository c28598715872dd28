#pragma once
// The chart file: a CGATS text that profile builders read. A header of
// keywords, the data format, one row per patch with the measured X, Y, Z and
// the patch's nominal device values, and, after END_DATA, a comment line that
// records the patch at which measuring goes on ("# 17  Cursor Position").
// Lines end in CR LF; numbers are written "%3.3f" in the C locale.
//
// The reader takes back what the writer wrote, and older files whose
// MEASUREMENT_SOURCE keyword runs into its value without a blank. It judges a
// file's chart by its number of sets alone: a file of fewer sets than the
// open chart fills that chart's first patches. It reads only the X, Y, Z
// columns; the device values are the chart's own.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/charts/PatchTables.h"

namespace lt {

inline constexpr const char* kChartOriginator = " \"Huevia-NOVU/ Lumatrak ICC\"";
inline constexpr const char* kCursorLineText = "  Cursor Position";
// Shorter files are refused before they are read.
inline constexpr std::size_t kShortestChartFile = 11; // [bytes]

// The measurement conditions named in the file's MEASUREMENT_SOURCE.
struct ChartFileConditions {
    std::int32_t illuminant = 4; // 0 Neutral, 1 A, 2 C, 3 D65, 4 D50, 5 D55, 6 D75
    std::int32_t observer = 0; // 0: 2 degrees, 1: 10 degrees
};

// The MEASUREMENT_SOURCE value, quotes included:
// "Illumination= D50 ObserverAngle=2 WhiteBase=Abs Filter=No".
std::string measurementSourceText(const ChartFileConditions& conditions);

// The whole file for chartType: names and xyz hold at least the chart's
// patch count of entries; cursor is the patch measuring goes on with.
std::string formatChartText(ChartType chartType, const PatchNameTable& names,
    std::span<const Triple> xyz, const ChartFileConditions& conditions, int cursor);

enum class ChartTextProblem {
    None,
    NotAChartFile, // no count, no data, fewer rows than announced, no cursor line
    WrongChart, // more sets than the open chart has, or a cursor outside it
};

struct ChartTextReading {
    ChartTextProblem problem = ChartTextProblem::None;
    std::vector<Triple> xyz; // X, Y, Z of patches 0 ... sets - 1
    int cursor = -1; // the patch measuring goes on with (0 ... patch count)
    std::size_t cursorEnd = 0; // offset just behind the cursor mark "#"
};

// Reads text for an open chart of openPatchCount patches. Nothing is taken
// from a text that has a problem.
ChartTextReading parseChartText(std::string_view text, int openPatchCount);

} // namespace lt
