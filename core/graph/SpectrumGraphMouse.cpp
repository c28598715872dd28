#include "core/graph/SpectrumGraphMouse.h"

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
        break;
    case GraphDrag::HorizontalMarker:
        markerSlots[draggedSlot].y = y;
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
    for (GraphMarker& marker : markerSlots) {
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
