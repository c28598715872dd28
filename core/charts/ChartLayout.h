#pragma once
// How the patches of a chart are named, ordered and placed. Patch index i
// (0-based) is the common key of the patch tables, the chart dialogs, the
// chart files and the automatic run.
//
// IT8.7/3: names are the two-figure block number, the row letter and the
// column number ("00A1", "01F6", "26D4"), ordered by block, letter, number.
// The patches lie on a 38 x 26 grid, block by block in the order of
// kIt873Blocks; each block takes the next patches in index order.
//
// TQ charts: names are the row letter and the two-figure column number
// ("A01" ... "N15"), ordered row by row. On screen patch (row r, column c)
// sits in row r, column c; on the XY table the chart lies turned by a quarter
// turn, so the same patch is table-grid column r, row 15 - c.
#include <array>
#include <string>

#include "core/station/SharedRecord.h"

namespace lt {

struct GridCell {
    int column = 0;
    int row = 0;
    bool operator==(const GridCell&) const = default;
};

// How a block of the IT8.7/3 grid is filled with its patches.
enum class BlockDirection {
    RowsDown, // row by row from the first row downwards, each row rightwards
    ColumnsUp, // column by column rightwards, each column from the first row upwards
};

struct ChartBlock {
    int firstColumn;
    int firstRow; // the top row (RowsDown) or the bottom row (ColumnsUp)
    int columns;
    int rows;
    BlockDirection direction;
};

inline constexpr int kIt873GridColumns = 38;
inline constexpr int kIt873GridRows = 26;
inline constexpr int kIt873BlockCount = 28;
// The grid cell that holds no patch: the mark rests there once every patch is measured.
inline constexpr GridCell kIt873EndCell {13, 16};
// TQ charts: columns per row of patches ("01" ... "15").
inline constexpr int kTqColumns = 15;

extern const std::array<ChartBlock, kIt873BlockCount> kIt873Blocks;

// Name of patch index of chartType ("" outside the chart).
std::string patchName(ChartType chartType, int index);

// Where the chart dialog draws the patch: IT8.7/3 grid column and row; TQ
// zero-based screen column (column number - 1) and row (letter index).
GridCell screenCell(ChartType chartType, int index);

// Where the patch lies in the XY table's grid: the IT8.7/3 grid itself; for
// the TQ charts column = letter index, row = 15 - column number.
GridCell tableGridCell(ChartType chartType, int index);

// Calls visit(index, cell) for every patch of the chart in patch order with
// its table-grid cell: the visiting order of an automatic run.
template <class Visit>
void forEachPatchOnTable(ChartType chartType, Visit&& visit)
{
    for (int i = 0; i < chartPatchCount(chartType); ++i)
        visit(i, tableGridCell(chartType, i));
}

} // namespace lt
