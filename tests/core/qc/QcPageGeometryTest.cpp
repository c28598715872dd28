// The quality-control page's graphics as geometry: where the plane puts a
// colour, its ticks, the sample cross and the matched entry's square, and
// the bands and marks of the dL and L bars. Nothing is painted.
#include "core/qc/QcPageGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lt {
namespace {

// A plane 200 x 220 px from (100, 50): 1 px per unit of a* and of b*.
constexpr QcFrame kPlane {100, 50, 300, 270};
// A bar 200 px high: 10 px per unit of dL, 2 px per unit of L.
constexpr QcFrame kBar {20, 40, 34, 240};

bool hasLine(const QcDrawing& drawing, QcLine wanted)
{
    return std::any_of(drawing.lines.begin(), drawing.lines.end(), [&](const QcLine& line) {
        return line.x1 == wanted.x1 && line.y1 == wanted.y1 && line.x2 == wanted.x2 &&
            line.y2 == wanted.y2;
    });
}

std::vector<QcFill> fillsOf(const QcDrawing& drawing, QcRgb color, const QcFrame& inside)
{
    std::vector<QcFill> found;
    for (const QcFill& fill : drawing.fills)
        if (fill.color == color && fill.left == inside.left && fill.top >= inside.top &&
            fill.top + fill.height <= inside.bottom + 1)
            found.push_back(fill);
    return found;
}

TEST(QcPageGeometryTest, ThePlaneMapsAToTheWidthAndBToTheHeight)
{
    EXPECT_EQ(qcPlanePixel(kPlane, 0, 0), (std::array<int, 2> {200, 160}));
    EXPECT_EQ(qcPlanePixel(kPlane, 100, 110), (std::array<int, 2> {300, 50}));
    EXPECT_EQ(qcPlanePixel(kPlane, -100, -110), (std::array<int, 2> {100, 270}));
    EXPECT_EQ(qcPlanePixel(kPlane, 25, -55), (std::array<int, 2> {225, 215}));
}

TEST(QcPageGeometryTest, TheAxesLeaveTheCentreFreeAndCarryTheirTicks)
{
    const QcDrawing plane = qcPlaneDrawing(kPlane, {});
    EXPECT_TRUE(hasLine(plane, {200, 50, 200, 158}));
    EXPECT_TRUE(hasLine(plane, {200, 162, 200, 270}));
    EXPECT_TRUE(hasLine(plane, {100, 160, 198, 160}));
    EXPECT_TRUE(hasLine(plane, {202, 160, 300, 160}));
    // b* ticks left of the axis: 8 px at +-100, 6 px at +-50, 3 px elsewhere.
    EXPECT_TRUE(hasLine(plane, {192, 60, 200, 60})); // +100
    EXPECT_TRUE(hasLine(plane, {194, 110, 200, 110})); // +50
    EXPECT_TRUE(hasLine(plane, {197, 50, 200, 50})); // +110
    EXPECT_TRUE(hasLine(plane, {192, 260, 200, 260})); // -100
    EXPECT_FALSE(hasLine(plane, {197, 160, 200, 160})); // none at 0
    // a* ticks below the axis: 6 px at +-50, 3 px elsewhere, edges included.
    EXPECT_TRUE(hasLine(plane, {150, 160, 150, 166}));
    EXPECT_TRUE(hasLine(plane, {100, 160, 100, 163}));
    EXPECT_TRUE(hasLine(plane, {290, 160, 290, 163}));
    const auto ticks = std::count_if(plane.lines.begin(), plane.lines.end(), [](const QcLine& l) {
        return (l.y1 == l.y2 && l.x2 == 200) || (l.x1 == l.x2 && l.y1 == 160);
    });
    EXPECT_EQ(ticks, 22 + 20); // 23 and 21 divisions, none at the centre
    // "b" 5 px right of the centre and 25 px above the top.
    ASSERT_FALSE(plane.labels.empty());
    EXPECT_EQ(plane.labels[0].text, "b");
    EXPECT_EQ(plane.labels[0].x, 205);
    EXPECT_EQ(plane.labels[0].y, 25);
}

TEST(QcPageGeometryTest, TheCrossMarksTheSampleAndTheSquareTheMatchedEntryWithinTheFrame)
{
    QcGraphicsState state;
    state.pointA = 20;
    state.pointB = 30;
    state.matched = std::array<double, 2> {22, 28};
    QcDrawing plane = qcPlaneDrawing(kPlane, state);
    EXPECT_TRUE(hasLine(plane, {216, 130, 224, 130}));
    EXPECT_TRUE(hasLine(plane, {220, 126, 220, 134}));
    EXPECT_TRUE(hasLine(plane, {220, 130, 224, 130})); // the square 222 +- 2, 132 +- 2
    EXPECT_TRUE(hasLine(plane, {224, 134, 220, 134}));

    // A matched entry at the edge: its square is cut at the frame.
    state.matched = std::array<double, 2> {100, 0};
    plane = qcPlaneDrawing(kPlane, state);
    EXPECT_TRUE(hasLine(plane, {298, 158, 300, 158}));
    EXPECT_FALSE(hasLine(plane, {298, 158, 302, 158}));
    // Beyond it, no square at all.
    state.matched = std::array<double, 2> {150, 0};
    const std::size_t withoutSquare = qcPlaneDrawing(kPlane, {}).lines.size();
    EXPECT_EQ(qcPlaneDrawing(kPlane, state).lines.size(), withoutSquare);
    // A sample beyond the plane stays visible at its edge.
    state.pointA = -400;
    EXPECT_TRUE(hasLine(qcPlaneDrawing(kPlane, state), {96, 130, 104, 130}));
}

TEST(QcPageGeometryTest, TheDeltaLBarFillsFromTheMiddleAndClampsAtTen)
{
    struct Case {
        double deltaL;
        QcRgb color;
        int top, height;
    };
    const Case cases[] = {
        {12.0, kQcWhite, 40, 100}, // the whole upper half
        {10.0, kQcWhite, 40, 100},
        {2.5, kQcWhite, 115, 25},
        {-3.0, kQcBlack, 140, 30}, // 3 units below the middle
        {-50.0, kQcBlack, 140, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deltaL);
        const std::vector<QcFill> bands =
            fillsOf(qcDeltaLBarDrawing(kBar, c.deltaL, 0, 0), c.color, kBar);
        ASSERT_EQ(bands.size(), 1u);
        EXPECT_EQ(bands[0].top, c.top);
        EXPECT_EQ(bands[0].height, c.height);
    }
    EXPECT_TRUE(fillsOf(qcDeltaLBarDrawing(kBar, 0, 0, 0), kQcWhite, kBar).empty());
}

TEST(QcPageGeometryTest, TheToleranceMarksStandLeftOfTheDeltaLBar)
{
    const QcDrawing bar = qcDeltaLBarDrawing(kBar, 0, 1.5, 2.0);
    EXPECT_TRUE(hasLine(bar, {13, 125, 19, 125})); // light: 1.5 above the middle
    EXPECT_TRUE(hasLine(bar, {13, 160, 19, 160})); // dark: 2 below
    const std::size_t marked = bar.lines.size();
    EXPECT_EQ(qcDeltaLBarDrawing(kBar, 0, 0, 0).lines.size(), marked - 2); // 0: no mark
    // 20 scale ticks from the top, longer at every fifth.
    EXPECT_TRUE(hasLine(bar, {35, 40, 41, 40}));
    EXPECT_TRUE(hasLine(bar, {35, 50, 38, 50}));
    EXPECT_TRUE(hasLine(bar, {35, 90, 41, 90}));
    EXPECT_FALSE(hasLine(bar, {35, 240, 41, 240}));
}

TEST(QcPageGeometryTest, TheLBarFillsFromTheBottomWithinZeroToHundred)
{
    for (auto [lightness, top, height] :
        {std::tuple {120.0, 40, 201}, {100.0, 40, 201}, {50.0, 141, 100}, {25.0, 191, 50}}) {
        SCOPED_TRACE(lightness);
        const auto bands = fillsOf(qcLightnessBarDrawing(kBar, lightness), kQcWhite, kBar);
        ASSERT_EQ(bands.size(), 1u);
        EXPECT_EQ(bands[0].top, top);
        EXPECT_EQ(bands[0].height, height);
    }
    EXPECT_TRUE(fillsOf(qcLightnessBarDrawing(kBar, -5.0), kQcWhite, kBar).empty());
    const QcDrawing bar = qcLightnessBarDrawing(kBar, 0);
    EXPECT_TRUE(hasLine(bar, {35, 240, 41, 240})); // 0
    EXPECT_TRUE(hasLine(bar, {35, 220, 38, 220})); // 10
    EXPECT_TRUE(hasLine(bar, {35, 140, 41, 140})); // 50
    EXPECT_TRUE(hasLine(bar, {35, 40, 41, 40})); // 100
}

TEST(QcPageGeometryTest, TheLayoutKeepsBarsLeftOfThePlaneAndRoomForTheLetters)
{
    for (auto [width, height] : {std::pair {420, 360}, {900, 500}, {600, 900}}) {
        const QcGraphicsLayout layout = qcGraphicsLayout(width, height);
        EXPECT_LT(layout.deltaLBar.right, layout.lightnessBar.left);
        EXPECT_LT(layout.lightnessBar.right, layout.plane.left);
        EXPECT_GE(layout.plane.top, 25 + 8); // "b" stands 25 px above it
        EXPECT_LE(layout.plane.right, width - 10);
        EXPECT_LE(layout.plane.bottom, height - 10);
        EXPECT_NEAR(layout.plane.width() / double(layout.plane.height()), 207.0 / 212.0, 0.02);
        EXPECT_GE(layout.deltaLBar.left, kQcToleranceMark);
    }
}

TEST(QcPageGeometryTest, ListColumnsShareTheListWidth)
{
    EXPECT_EQ(qcListColumnWidths(320), (std::array<int, 5> {35, 92, 63, 63, 63}));
    EXPECT_EQ(qcListColumnWidths(300), (std::array<int, 5> {33, 86, 59, 59, 59}));
}

} // namespace
} // namespace lt
