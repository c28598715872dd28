#pragma once
// What sets the three test charts apart, as one row per chart type: patch
// count, screen grid, captions and titles, the words of their files, and the
// alignment code of the automatic run. Chart types and patch counts
// themselves are shared with the measurement cycle (core/station).
#include <cstddef>
#include <cstdint>

#include "core/station/SharedRecord.h"

namespace lt {

inline constexpr int kChartTypes = 3;
// Entries of the per-patch tables: the largest chart and its end entry.
inline constexpr int kPatchTableEntries = kChartPatchesIt873 + 1;

// The largest chart files read: a full IT8.7/3 file is about 60 kB.
inline constexpr std::size_t kIt873LoadLimit = 12'000'000; // [bytes]
inline constexpr std::size_t kTqLoadLimit = 1'000'000; // [bytes]

struct ChartDescription {
    ChartType type;
    int patchCount;
    int screenColumns; // patch columns of the chart dialog's grid
    int screenRows;
    int deviceChannels; // 4 (C, M, Y, K) or 3 (R, G, B)
    int alignmentCode; // identifies the chart to the table alignment
    const char* dialogCaption; // "ANSI  IT8.7/3"
    const char* displayName; // title prefix, two trailing blanks
    const char* fileFamily; // first line of the chart file
    const char* fileDescriptor; // DESCRIPTOR text, quotes included
    const char* deviceFields; // data-format fields after XYZ
    const char* openTitle; // file dialog titles
    const char* saveTitle;
    std::size_t loadLimit; // [bytes] largest file accepted
};

// The row of chartType, or null for a type that is not a chart.
const ChartDescription* findChartDescription(std::int32_t chartType);
// The row of a valid chart type.
const ChartDescription& chartDescription(ChartType chartType);

} // namespace lt
