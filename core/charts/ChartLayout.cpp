#include "core/charts/ChartLayout.h"

namespace lt {

const std::array<ChartBlock, kIt873BlockCount> kIt873Blocks = {{
    // Block "00": letters A ... F, then G ... N.
    {12, 18, 13, 6, BlockDirection::RowsDown},
    {25, 18, 13, 8, BlockDirection::RowsDown},
    // Blocks "01" ... "12", turned: letters along the grid columns.
    {14, 17, 6, 6, BlockDirection::ColumnsUp},
    {14, 11, 6, 6, BlockDirection::ColumnsUp},
    {14, 5, 6, 6, BlockDirection::ColumnsUp},
    {20, 17, 6, 6, BlockDirection::ColumnsUp},
    {20, 11, 6, 6, BlockDirection::ColumnsUp},
    {20, 5, 6, 6, BlockDirection::ColumnsUp},
    {26, 17, 6, 6, BlockDirection::ColumnsUp},
    {26, 11, 6, 6, BlockDirection::ColumnsUp},
    {26, 5, 6, 6, BlockDirection::ColumnsUp},
    {32, 17, 6, 6, BlockDirection::ColumnsUp},
    {32, 11, 6, 6, BlockDirection::ColumnsUp},
    {32, 5, 6, 6, BlockDirection::ColumnsUp},
    // Blocks "13" ... "22".
    {0, 0, 5, 5, BlockDirection::RowsDown},
    {5, 0, 5, 5, BlockDirection::RowsDown},
    {0, 5, 5, 5, BlockDirection::RowsDown},
    {5, 5, 5, 5, BlockDirection::RowsDown},
    {0, 10, 5, 5, BlockDirection::RowsDown},
    {5, 10, 5, 5, BlockDirection::RowsDown},
    {0, 15, 5, 5, BlockDirection::RowsDown},
    {5, 15, 5, 5, BlockDirection::RowsDown},
    {0, 20, 5, 5, BlockDirection::RowsDown},
    {5, 20, 5, 5, BlockDirection::RowsDown},
    // Blocks "23" ... "26".
    {10, 0, 4, 4, BlockDirection::RowsDown},
    {10, 4, 4, 4, BlockDirection::RowsDown},
    {10, 8, 4, 4, BlockDirection::RowsDown},
    {10, 12, 4, 4, BlockDirection::RowsDown},
}};

namespace {

// IT8.7/3 names: runs of numbered blocks with the same letters and numbers.
struct NameRun {
    int firstBlock;
    int blocks;
    int letters; // "A" ...
    int numbers; // 1 ...
};

constexpr NameRun kIt873NameRuns[] = {
    {0, 1, 14, 13}, // "00": A ... N, 1 ... 13
    {1, 12, 6, 6}, // "01" ... "12": A ... F, 1 ... 6
    {13, 10, 5, 5}, // "13" ... "22": A ... E, 1 ... 5
    {23, 4, 4, 4}, // "23" ... "26": A ... D, 1 ... 4
};

std::string twoFigures(int value)
{
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

std::string it873Name(int index)
{
    for (const NameRun& run : kIt873NameRuns) {
        const int perBlock = run.letters * run.numbers;
        if (index < run.blocks * perBlock) {
            const int block = run.firstBlock + index / perBlock;
            const int within = index % perBlock;
            return twoFigures(block) + static_cast<char>('A' + within / run.numbers) +
                std::to_string(within % run.numbers + 1);
        }
        index -= run.blocks * perBlock;
    }
    return {};
}

GridCell cellInBlock(const ChartBlock& block, int k)
{
    if (block.direction == BlockDirection::RowsDown)
        return {block.firstColumn + k % block.columns, block.firstRow + k / block.columns};
    return {block.firstColumn + k / block.rows, block.firstRow - k % block.rows};
}

GridCell it873Cell(int index)
{
    for (const ChartBlock& block : kIt873Blocks) {
        const int size = block.columns * block.rows;
        if (index < size)
            return cellInBlock(block, index);
        index -= size;
    }
    return kIt873EndCell;
}

bool insideChart(ChartType chartType, int index)
{
    return index >= 0 && index < chartPatchCount(chartType);
}

} // namespace

std::string patchName(ChartType chartType, int index)
{
    if (!insideChart(chartType, index))
        return {};
    if (chartType == ChartIt873)
        return it873Name(index);
    return static_cast<char>('A' + index / kTqColumns) + twoFigures(index % kTqColumns + 1);
}

GridCell screenCell(ChartType chartType, int index)
{
    if (chartType == ChartIt873)
        return it873Cell(index);
    return {index % kTqColumns, index / kTqColumns};
}

GridCell tableGridCell(ChartType chartType, int index)
{
    if (chartType == ChartIt873)
        return it873Cell(index);
    return {index / kTqColumns, kTqColumns - (index % kTqColumns + 1)};
}

} // namespace lt
