#pragma once
// Where a chart dialog draws its patches, in the pixels of its drawing area,
// as pure functions that tests call without painting anything. Every layout
// has one rectangle per patch in patch order and, behind them, the end cell
// that carries the mark once every patch is measured.
#include <vector>

#include "core/charts/ChartDescription.h"
#include "core/charts/ChartLayout.h"

namespace lt {

struct PatchRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PatchRect&) const = default;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// IT8.7/3: the 38 x 26 grid spread over frame; each cell leaves a gap of
// two pixels to its neighbours. 929 rectangles (the end cell at grid 13, 16).
std::vector<PatchRect> it873PatchRects(const PatchRect& frame);

// TQ charts: square patches of side `size` on a `pitch` grid starting at
// (originX, originY); the end cell lies in the row below the last one, under
// the last column.
std::vector<PatchRect> tqPatchRects(
    ChartType chartType, int originX, int originY, int pitch, int size);

// The patches of the chart type laid out in a drawing area whose patch
// grid starts at (originX, originY) with one cell per `pitch` pixels.
std::vector<PatchRect> chartPatchRects(ChartType chartType, int originX, int originY, int pitch);

// The first of the first patchCount rectangles that holds (x, y) strictly
// inside (a click on a gap or an edge hits nothing), or -1.
int hitPatch(const std::vector<PatchRect>& rects, int patchCount, int x, int y);

// The two halves of the mark on the current patch: the upper-left quarter
// up to the centre is filled black, the lower-right quarter white.
struct PatchMark {
    PatchRect black;
    PatchRect white;
};
PatchMark patchMark(const PatchRect& rect);

} // namespace lt
