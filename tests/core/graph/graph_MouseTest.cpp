// Marker lines and the zoom rectangle of the spectrum graph, as the
// operator's mouse makes them.
#include <gtest/gtest.h>

#include "core/graph/SpectrumGraphMouse.h"

using namespace lt;

namespace {

const PlotArea kPlot {40, 0, 400, 300}; // right edge 440, baseline 300

// Press in the left margin and drag the new marker to x.
void placeVerticalMarker(SpectrumGraphMouse& mouse, int x)
{
    mouse.leftPress(2, 150);
    mouse.move(x, 150);
    mouse.leftRelease(x, 150, kPlot);
}

} // namespace

TEST(GraphMarkers, PressInTheLeftMarginCreatesAVerticalMarkerThatFollowsTheMouse)
{
    SpectrumGraphMouse mouse;
    mouse.leftPress(3, 120);
    EXPECT_EQ(mouse.drag(), GraphDrag::VerticalMarker);
    mouse.move(200, 130);
    EXPECT_FALSE(mouse.leftRelease(200, 130, kPlot).has_value());
    ASSERT_EQ(mouse.markerCount(), 1);
    EXPECT_TRUE(mouse.markers()[0].isVertical());
    EXPECT_EQ(mouse.markers()[0].x, 200);
    EXPECT_EQ(mouse.drag(), GraphDrag::None);
}

TEST(GraphMarkers, PressInTheTopMarginCreatesAHorizontalMarker)
{
    SpectrumGraphMouse mouse;
    mouse.leftPress(100, 4);
    EXPECT_EQ(mouse.drag(), GraphDrag::HorizontalMarker);
    mouse.leftRelease(150, 90, kPlot);
    ASSERT_EQ(mouse.markerCount(), 1);
    EXPECT_TRUE(mouse.markers()[0].isHorizontal());
    EXPECT_EQ(mouse.markers()[0].y, 90);
}

TEST(GraphMarkers, ATwentiethMarkerIsNotCreated)
{
    SpectrumGraphMouse mouse;
    for (int i = 0; i < kGraphMarkerSlots; ++i)
        placeVerticalMarker(mouse, 50 + 15 * i);
    ASSERT_EQ(mouse.markerCount(), 19);
    mouse.leftPress(2, 150);
    EXPECT_EQ(mouse.drag(), GraphDrag::None);
    mouse.move(400, 150);
    mouse.leftRelease(400, 150, kPlot);
    EXPECT_EQ(mouse.markerCount(), 19);
    for (const GraphMarker& marker : mouse.markers())
        EXPECT_NE(marker.x, 400);
}

TEST(GraphMarkers, MarkerDraggedBackIntoTheMarginOrOutOfThePlotIsDeleted)
{
    SpectrumGraphMouse mouse;
    placeVerticalMarker(mouse, 200);
    placeVerticalMarker(mouse, 300);
    ASSERT_EQ(mouse.markerCount(), 2);

    mouse.leftPress(203, 150); // within 5 px: takes the marker at 200
    EXPECT_EQ(mouse.drag(), GraphDrag::VerticalMarker);
    mouse.move(5, 150);
    mouse.leftRelease(5, 150, kPlot);
    EXPECT_EQ(mouse.markerCount(), 1);

    mouse.leftPress(298, 150);
    mouse.leftRelease(441, 150, kPlot); // beyond the right edge of the plot
    EXPECT_EQ(mouse.markerCount(), 0);
}

TEST(GraphMarkers, MarkerReleasedInTheMarginWithoutDraggingIsNotKept)
{
    SpectrumGraphMouse mouse;
    mouse.leftPress(1, 100);
    mouse.leftRelease(1, 100, kPlot);
    EXPECT_EQ(mouse.markerCount(), 0);
}

TEST(GraphMarkers, HorizontalMarkerBelowTheBaselineIsDeleted)
{
    SpectrumGraphMouse mouse;
    mouse.leftPress(100, 0);
    mouse.leftRelease(100, 120, kPlot);
    ASSERT_EQ(mouse.markerCount(), 1);
    mouse.leftPress(300, 118);
    EXPECT_EQ(mouse.drag(), GraphDrag::HorizontalMarker);
    mouse.leftRelease(300, 301, kPlot);
    EXPECT_EQ(mouse.markerCount(), 0);
}

TEST(GraphZoomDrag, SmallRectangleDoesNotZoomALargeOneDoes)
{
    SpectrumGraphMouse mouse;
    mouse.leftPress(100, 100);
    EXPECT_EQ(mouse.drag(), GraphDrag::ZoomRectangle);
    mouse.move(108, 150);
    EXPECT_EQ(mouse.zoomRectangle().width(), 8);
    EXPECT_FALSE(mouse.leftRelease(108, 150, kPlot).has_value()); // 8 x 50

    mouse.leftPress(100, 100);
    const auto zoom = mouse.leftRelease(160, 180, kPlot);
    ASSERT_TRUE(zoom.has_value());
    EXPECT_EQ(zoom->left, 100);
    EXPECT_EQ(zoom->top, 100);
    EXPECT_EQ(zoom->right, 160);
    EXPECT_EQ(zoom->bottom, 180);
    EXPECT_EQ(mouse.drag(), GraphDrag::None);
    EXPECT_EQ(mouse.markerCount(), 0);
}

TEST(GraphZoomDrag, PressNearAMarkerDragsItInsteadOfZooming)
{
    SpectrumGraphMouse mouse;
    placeVerticalMarker(mouse, 200);
    mouse.leftPress(196, 40);
    EXPECT_EQ(mouse.drag(), GraphDrag::VerticalMarker);
    EXPECT_FALSE(mouse.leftRelease(250, 200, kPlot).has_value());
    EXPECT_EQ(mouse.markers()[0].x, 250);
}
