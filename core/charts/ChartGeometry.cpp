#include "core/charts/ChartGeometry.h"

#include <algorithm>

namespace lt {

namespace {

// One 38th and one 26th of the frame.
constexpr float kIt873ColumnFraction = 0.02631579f;
constexpr float kIt873RowFraction = 0.03846154f;
// TQ patches fill 20 of every 24 units of their grid.
constexpr int kTqPatchUnits = 20;
constexpr int kTqPitchUnits = 24;

PatchRect it873Cell(const PatchRect& frame, float cellWidth, float cellHeight, GridCell cell)
{
    return {static_cast<int>(static_cast<float>(cell.column) * cellWidth) + frame.left + 1,
        static_cast<int>(static_cast<float>(cell.row) * cellHeight) + frame.top,
        static_cast<int>(static_cast<float>(cell.column + 1) * cellWidth) + frame.left - 1,
        static_cast<int>(static_cast<float>(cell.row + 1) * cellHeight) + frame.top - 2};
}

} // namespace

std::vector<PatchRect> it873PatchRects(const PatchRect& frame)
{
    const float cellWidth = static_cast<float>(frame.width()) * kIt873ColumnFraction;
    const float cellHeight = static_cast<float>(frame.height()) * kIt873RowFraction;
    std::vector<PatchRect> rects;
    rects.reserve(kPatchTableEntries);
    for (int i = 0; i < kChartPatchesIt873; ++i)
        rects.push_back(it873Cell(frame, cellWidth, cellHeight, screenCell(ChartIt873, i)));
    rects.push_back(it873Cell(frame, cellWidth, cellHeight, kIt873EndCell));
    return rects;
}

std::vector<PatchRect> tqPatchRects(
    ChartType chartType, int originX, int originY, int pitch, int size)
{
    const int count = chartPatchCount(chartType);
    auto cellRect = [&](GridCell cell) {
        const int left = originX + cell.column * pitch;
        const int top = originY + cell.row * pitch;
        return PatchRect {left, top, left + size, top + size};
    };
    std::vector<PatchRect> rects;
    rects.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i < count; ++i)
        rects.push_back(cellRect(screenCell(chartType, i)));
    rects.push_back(cellRect({kTqColumns - 1, (count + kTqColumns - 1) / kTqColumns}));
    return rects;
}

std::vector<PatchRect> chartPatchRects(ChartType chartType, int originX, int originY, int pitch)
{
    if (chartType == ChartIt873)
        return it873PatchRects({originX, originY, originX + kIt873GridColumns * pitch,
            originY + kIt873GridRows * pitch});
    return tqPatchRects(chartType, originX, originY, pitch, pitch * kTqPatchUnits / kTqPitchUnits);
}

int hitPatch(const std::vector<PatchRect>& rects, int patchCount, int x, int y)
{
    const int count = std::min(patchCount, static_cast<int>(rects.size()));
    for (int i = 0; i < count; ++i) {
        const PatchRect& r = rects[static_cast<std::size_t>(i)];
        if (r.left < x && x < r.right && r.top < y && y < r.bottom)
            return i;
    }
    return -1;
}

PatchMark patchMark(const PatchRect& rect)
{
    const int middleX = (rect.left + rect.right) / 2;
    const int middleY = (rect.top + rect.bottom) / 2;
    return {{rect.left, rect.top, middleX, middleY}, {middleX, middleY, rect.right, rect.bottom}};
}

} // namespace lt
