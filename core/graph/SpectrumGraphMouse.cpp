#include "core/graph/SpectrumGraphMouse.h"

#include <cmath>
#include <cstdlib>

namespace lt {

namespace {

bool inMargin(int coordinate)
{
    return coordinate >= kMarginLow && coordinate <= kMarginHigh;
}

} // namespace

int SpectrumGraphMouse::markerCount() const
{
    int count = 0;
    for (const GraphMarker& marker : markerSlots)
        count += marker.isFree() ? 0 : 1;
    return count;
}

void SpectrumGraphMouse::clearMarkers()
{
    markerSlots.fill(GraphMarker {});
    dragMode = GraphDrag::None;
    draggedSlot = -1;
}

void SpectrumGraphMouse::placeMarker(GraphMarker& marker)
{
    if (marker.isVertical())
        marker.place = view.wavelengthOfX(marker.x);
    else if (marker.isHorizontal())
        marker.place = view.heightOfY(marker.y);
}

void SpectrumGraphMouse::followViewport(const GraphViewport& viewport)
{
    view = viewport;
    for (GraphMarker& marker : markerSlots) {
        if (marker.isVertical())
            marker.x = static_cast<int>(std::lround(view.xOfWavelength(marker.place)));
        else if (marker.isHorizontal())
            marker.y = static_cast<int>(std::lround(view.yOfHeight(marker.place)));
    }
}

void SpectrumGraphMouse::clearMarginMarkers()
{
    for (GraphMarker& marker : markerSlots) {
        if ((marker.isVertical() && inMargin(marker.x)) ||
            (marker.isHorizontal() && inMargin(marker.y)))
            marker = GraphMarker {};
    }
}

void SpectrumGraphMouse::startNewMarker(GraphDrag kind, int position)
{
    clearMarginMarkers();
    for (int slot = 0; slot < kGraphMarkerSlots; ++slot) {
        if (!markerSlots[slot].isFree())
            continue;
        if (kind == GraphDrag::VerticalMarker)
            markerSlots[slot].x = position;
        else
            markerSlots[slot].y = position;
        placeMarker(markerSlots[slot]);
        dragMode = kind;
        draggedSlot = slot;
        return;
    }
    // Every slot holds a marker: a further one is not created.
}

void SpectrumGraphMouse::leftPress(int x, int y)
{
    dragMode = GraphDrag::None;
    draggedSlot = -1;
    if (x <= kMarginPress) {
        startNewMarker(GraphDrag::VerticalMarker, x);
        return;
    }
    if (y <= kMarginPress) {
        startNewMarker(GraphDrag::HorizontalMarker, y);
        return;
    }
    for (int slot = 0; slot < kGraphMarkerSlots; ++slot) {
        const GraphMarker& marker = markerSlots[slot];
        if (marker.isVertical() && std::abs(marker.x - x) <= kMarkerGrab) {
            dragMode = GraphDrag::VerticalMarker;
            draggedSlot = slot;
            return;
        }
        if (marker.isHorizontal() && std::abs(marker.y - y) <= kMarkerGrab) {
            dragMode = GraphDrag::HorizontalMarker;
            draggedSlot = slot;
            return;
        }
    }
    dragMode = GraphDrag::ZoomRectangle;
    rectangle = PixelRect {x, y, x, y};
}

void SpectrumGraphMouse::move(int x, int y)
{
    switch (dragMode) {
    case GraphDrag::VerticalMarker:
        markerSlots[draggedSlot].x = x;
        placeMarker(markerSlots[draggedSlot]);
        break;
    case GraphDrag::HorizontalMarker:
        markerSlots[draggedSlot].y = y;
        placeMarker(markerSlots[draggedSlot]);
        break;
    case GraphDrag::ZoomRectangle:
        rectangle.right = x;
        rectangle.bottom = y;
        break;
    case GraphDrag::None:
        break;
    }
}

std::optional<PixelRect> SpectrumGraphMouse::leftRelease(int x, int y, const PlotArea& plot)
{
    move(x, y);
    // Only the marker just dragged can have been put where none may stay;
    // the others may lie outside a zoomed plot and come back with the zoom's end.
    if (draggedSlot >= 0) {
        GraphMarker& marker = markerSlots[draggedSlot];
        const bool gone =
            (marker.isVertical() && (marker.x < kMarginRelease || marker.x > plot.right())) ||
            (marker.isHorizontal() && (marker.y < kMarginRelease || marker.y > plot.baseline()));
        if (gone)
            marker = GraphMarker {};
    }
    std::optional<PixelRect> zoom;
    if (dragMode == GraphDrag::ZoomRectangle && isZoomRectangle(rectangle))
        zoom = rectangle;
    dragMode = GraphDrag::None;
    draggedSlot = -1;
    return zoom;
}

} // namespace lt
