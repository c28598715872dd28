#pragma once
// The mouse rules of the spectrum graph without any drawing: up to 19
// marker lines created by pressing in the left margin (vertical) or the top
// margin (horizontal), dragged with the left button and deleted by dragging
// them back into a margin or out of the plot; elsewhere a left drag opens a
// zoom rectangle. A marker keeps its place in the graph's own terms (its
// wavelength, or its height share) when the graph is zoomed or resized.
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
    // Where it stands in the graph: [nm] for a vertical marker, the height
    // share (0 baseline, 1 top of the unzoomed plot) for a horizontal one.
    double place = 0.0;
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
    // Removes every marker at once.
    void clearMarkers();

    // The graph now shows viewport (after a zoom or a resize): every marker
    // moves to the pixel of its wavelength or height there. Presses and
    // moves take their places from the viewport given last.
    void followViewport(const GraphViewport& viewport);
    // The rectangle being dragged (valid while drag() is ZoomRectangle).
    PixelRect zoomRectangle() const { return rectangle; }

private:
    void clearMarginMarkers();
    void startNewMarker(GraphDrag kind, int position);
    void placeMarker(GraphMarker& marker);

    Markers markerSlots {};
    GraphDrag dragMode = GraphDrag::None;
    int draggedSlot = -1;
    PixelRect rectangle;
    GraphViewport view;
};

} // namespace lt
