#pragma once
// Where the values of a new measurement land in the worksheet: two sets,
// each taking a run of values of the measurement (its number, list columns
// as text, spectral values) and writing them into consecutive cells from a
// first cell, while successive measurements step through the sheet
// horizontally or vertically. Settings section "ExcelConnect".
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/metrics/MeasurementList.h"
#include "core/spreadsheet/ExcelClient.h"

namespace lt {

class Settings;

namespace placement {
inline constexpr int kHorizontal = 1; // values down a column, measurements step right
inline constexpr int kVertical = 2; // values along a row, measurements step down
inline constexpr int kMaxColumn = 208; // "GZ"
inline constexpr int kNumberPosition = 1;
inline constexpr int kFirstListPosition = 2; // list column 1
inline constexpr int kLastListPosition = 15; // list column 14
inline constexpr int kFirstSpectralPosition = 16;
inline constexpr int kLastSpectralPosition = 52;
inline constexpr double kSpectralScale = 1e8; // spectral values keep 8 decimals
} // namespace placement

struct PlacementSet {
    int firstValue = 1; // position of the first value (1-based)
    int count = 1; // number of values
    int firstRow = 1;
    std::string columnLetters = "A"; // first cell's column as typed
    int firstColumn = 1; // its number (0 while the letters are invalid)
};

struct CellPlacement {
    int direction = placement::kVertical;
    std::array<PlacementSet, 2> sets {};
};

// "A" = 1 ... "GZ" = 208 from one or two letters (any case); nothing for a
// text that names no column in that range.
std::optional<int> columnFromLetters(std::string_view letters);

// Reads the placement, forces each value into its range and writes it back.
CellPlacement loadPlacement(Settings& settings);
// "InitPar": stores the fields as typed (a set's column only while its
// letters are valid).
void storePlacement(Settings& settings, const CellPlacement& placement);

struct CellWrite {
    int row = 0;
    int column = 0;
    CellKind kind = CellKind::Integer;
    CellValue value;
};

// The measurement number of a list row: the integer its first column
// starts with, 0 when it starts with none.
int measurementNumber(const MeasurementRow& row);

// The cells the newest measurement fills, set 1 first. Positions without a
// value (0, beyond the last spectral position, spectral values past the end
// of the spectrum) are stepped over and write nothing.
std::vector<CellWrite> placeMeasurement(
    const CellPlacement& placement, const MeasurementRow& row, std::span<const float> spectrum);

} // namespace lt
