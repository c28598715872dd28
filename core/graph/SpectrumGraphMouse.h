#pragma once
// The mouse rules of the spectrum graph without any drawing: up to 19
// marker lines created by pressing in the left margin (vertical) or the top
// margin (horizontal), dragged with the left button and deleted by dragging
// them back into a margin or out of the plot; elsewhere a left drag opens a
// zoom rectangle.
#include <array>
#include <optional>

#include "core/graph/SpectrumGraphGeometry.h"

namespace lt {

inline constexpr int kGraphMarkerSlots = 19;
inline constexpr int kMarkerUnused = -1000; // coordinate of a free slot's axes
inline constexpr int kMarginPress = 5; // [px] a press this close to the edge creates a marker
inline constexpr int kMarkerGrab = 5; // [px] a press this close to a marker takes it
inline constexpr int kMarginRelease = 6; // [px] a marker released this close to the edge goes
// Markers lying between these coordinates sit in a margin and are cleared
// before a new one is created there.
inline constexpr int kMarginLow = -100;
inline constexpr int kMarginHigh = 9;

struct GraphMarker {
    int x = kMarkerUnused; // [px] vertical marker: x >= 0, y unused
    int y = kMarkerUnused; // [px] horizontal marker: y >= 0, x unused
    bool isVertical() const { return x != kMarkerUnused && y == kMarkerUnused; }
    bool isHorizontal() const { return y != kMarkerUnused && x == kMarkerUnused; }
    bool isFree() const { return x == kMarkerUnused && y == kMarkerUnused; }
};

enum class GraphDrag { None = 0, VerticalMarker = 1, HorizontalMarker = 2, ZoomRectangle = 3 };

class SpectrumGraphMouse {
public:
    using Markers = std::array<GraphMarker, kGraphMarkerSlots>;

    // Window coordinates throughout; plot is the area the curve fills.
    void leftPress(int x, int y);
    void move(int x, int y);
    // Ends the drag. Returns the zoom rectangle when one big enough was
    // released (the caller zooms unless the graph is zoomed already).
    std::optional<PixelRect> leftRelease(int x, int y, const PlotArea& plot);

    GraphDrag drag() const { return dragMode; }
    const Markers& markers() const { return markerSlots; }
    int markerCount() const;
    // The rectangle being dragged (valid while drag() is ZoomRectangle).
    PixelRect zoomRectangle() const { return rectangle; }

private:
    void clearMarginMarkers();
    void startNewMarker(GraphDrag kind, int position);

    Markers markerSlots {};
    GraphDrag dragMode = GraphDrag::None;
    int draggedSlot = -1;
    PixelRect rectangle;
};

} // namespace lt
