// Curve mapping and axis ticks of the spectrum graph.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "core/graph/SpectrumGraphGeometry.h"

using namespace lt;

namespace {

GraphViewport plainViewport(
    int left, int top, int width, int height, double first = 380, double last = 730)
{
    GraphViewport view;
    view.plot = PlotArea {left, top, width, height};
    view.firstWavelength = first;
    view.lastWavelength = last;
    return view;
}

const AxisTick* tickAt(const std::vector<AxisTick>& ticks, double value)
{
    auto found = std::find_if(
        ticks.begin(), ticks.end(), [value](const AxisTick& t) { return t.value == value; });
    return found == ticks.end() ? nullptr : &*found;
}

} // namespace

TEST(GraphCurve, RemissionOfHundredPercentLiesAt85PercentOfTheHeight)
{
    const GraphViewport view = plainViewport(50, 10, 350, 400);
    std::array<std::uint16_t, 36> ordinates {};
    ordinates.fill(56540);
    ordinates[1] = 0;
    ordinates[2] = 65535; // the clip value
    const auto curve = remissionCurve(ordinates, kOrdinateFullRemission, view);
    ASSERT_EQ(curve.size(), 36u);
    EXPECT_EQ(curve[0].y, 410 - 340);
    EXPECT_EQ(curve[1].y, 410); // zero on the baseline
    EXPECT_GT(curve[2].y, 10); // the clip value stays inside the plot ...
    EXPECT_LT(curve[2].y, 10 + 400 * 0.05); // ... just below the top
}

TEST(GraphCurve, RemissionPointsSpreadOverTheWidthOneStepPer10Nm)
{
    const GraphViewport view = plainViewport(50, 0, 351, 300);
    std::vector<std::uint16_t> ordinates(36, 1000);
    const auto curve = remissionCurve(ordinates, kOrdinateFullRemission, view);
    ASSERT_EQ(curve.size(), 36u);
    for (int i = 0; i < 36; ++i)
        EXPECT_EQ(curve[i].x, 50 + i * 351 / 35) << "point " << i;
    EXPECT_EQ(curve.back().x, view.plot.right());
}

TEST(GraphCurve, CurveAndValueAxisAgreeOnHundredPercent)
{
    const GraphViewport view = plainViewport(40, 0, 300, 500);
    const std::array<std::uint16_t, 1> ordinate {56540};
    const auto curve = remissionCurve(ordinate, kOrdinateFullRemission, view);
    const auto ticks = remissionTicks(0, remissionStepsOfHeight(1.0));
    const AxisTick* hundred = tickAt(ticks, 10000);
    ASSERT_NE(hundred, nullptr);
    ASSERT_TRUE(hundred->labelled);
    EXPECT_EQ(hundred->label, 100);
    EXPECT_NEAR(view.yOfHeight(heightOfRemissionSteps(hundred->value)), curve[0].y, 0.5);
}

TEST(GraphCurve, SpectrometerRemissionIsClippedAbove110Percent)
{
    // Pixel window starting at pixel 0, 1 nm per pixel from 400 nm.
    std::vector<std::uint16_t> dark(101, 100), white(101, 1100), sample(101, 1100);
    sample[10] = 100 + 1200; // 120 %: drawn at 104 % and flagged
    sample[20] = 100 + 500; // 50 %
    SpectrometerCounts counts {sample, dark, white, 0, 1.0, 400.0, 0};
    const GraphViewport view = plainViewport(0, 0, 100, 1000, 400, 500);
    const auto curve = spectrometerCurve(CurveType::SpectrometerRemission, counts, 400, 500, view);
    ASSERT_EQ(curve.size(), 101u);
    EXPECT_EQ(curve[0].y, 1000 - 850);
    EXPECT_EQ(curve[0].flag, 0);
    EXPECT_EQ(curve[10].flag, kPointClipped);
    EXPECT_EQ(curve[10].y, 1000 - static_cast<int>(1.04 * 850 + 0.5));
    EXPECT_EQ(curve[20].y, 1000 - 425);
}

TEST(GraphCurve, SpectrometerWithoutWhiteSignalDoesNotDivideByZero)
{
    std::vector<std::uint16_t> flat(50, 300);
    SpectrometerCounts counts {flat, flat, flat, 0, 2.0, 380.0, 0};
    const GraphViewport view = plainViewport(0, 0, 100, 100, 380, 480);
    const auto ratio = spectrometerCurve(CurveType::SpectrometerRemission, counts, 380, 480, view);
    const auto signal = spectrometerCurve(CurveType::WhiteSignal, counts, 380, 480, view);
    ASSERT_EQ(ratio.size(), 101u);
    for (const CurvePoint& point : ratio)
        EXPECT_EQ(point.y, 100);
    for (const CurvePoint& point : signal)
        EXPECT_EQ(point.y, 100);
}

TEST(GraphCurve, WhiteSignalAtTheReferenceIndexLiesAt85Percent)
{
    std::vector<std::uint16_t> dark(200, 50), white(200, 0);
    for (int i = 0; i < 200; ++i)
        white[i] = static_cast<std::uint16_t>(50 + 20 * i);
    // Window from pixel 100; calibration: pixel p lies at 300 + 2 p nm.
    SpectrometerCounts counts {{}, dark, white, 100, 2.0, 300.0, 150};
    const GraphViewport view = plainViewport(0, 0, 200, 1000, 500, 700);
    const auto curve = spectrometerCurve(CurveType::WhiteSignal, counts, 500, 700, view);
    // The reference index 150 (pixel 250) has the signal 3000; 600 nm is
    // pixel 150, index 50, with the signal 1000.
    const int atSixHundred = 100;
    EXPECT_EQ(curve[atSixHundred].y, 1000 - static_cast<int>(850.0 * 1000 / 3000 + 0.5));
    EXPECT_DOUBLE_EQ(whiteSignalFullScale(counts), 3000 / 0.85);
}

TEST(GraphCurve, SpectrometerCurveHasOnePointPerNanometreUpTo1024)
{
    std::vector<std::uint16_t> values(256, 1000);
    SpectrometerCounts counts {values, values, values, 0, 3.0, 200.0, 0};
    const GraphViewport view = plainViewport(0, 0, 500, 100, 350, 850);
    EXPECT_EQ(spectrometerCurve(CurveType::WhiteSignal, counts, 350, 850, view).size(), 501u);
    EXPECT_EQ(spectrometerCurve(CurveType::WhiteSignal, counts, 0, 5000, view).size(),
        static_cast<std::size_t>(kGraphMaxPoints));
    EXPECT_TRUE(spectrometerCurve(CurveType::WhiteSignal, counts, 500, 400, view).empty());
}

TEST(GraphAxes, WavelengthTicksPlain)
{
    const auto ticks = wavelengthTicks(380, 730, false);
    ASSERT_EQ(ticks.size(), 36u);
    EXPECT_EQ(tickAt(ticks, 380)->length, 5);
    EXPECT_FALSE(tickAt(ticks, 380)->labelled);
    EXPECT_EQ(tickAt(ticks, 450)->length, 10);
    EXPECT_FALSE(tickAt(ticks, 450)->labelled);
    EXPECT_EQ(tickAt(ticks, 500)->length, 15);
    EXPECT_TRUE(tickAt(ticks, 500)->labelled);
    EXPECT_EQ(tickAt(ticks, 700)->label, 700);
    EXPECT_EQ(
        std::count_if(ticks.begin(), ticks.end(), [](const AxisTick& t) { return t.labelled; }), 4);
}

TEST(GraphAxes, WavelengthTicksZoomedAreFiner)
{
    const auto ticks = wavelengthTicks(492.3, 551, true);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front().value, 495);
    EXPECT_EQ(ticks.back().value, 550);
    EXPECT_EQ(tickAt(ticks, 495)->length, 5);
    EXPECT_EQ(tickAt(ticks, 510)->length, 10);
    EXPECT_TRUE(tickAt(ticks, 500)->labelled);
    EXPECT_TRUE(tickAt(ticks, 550)->labelled);
    EXPECT_EQ(tickAt(ticks, 550)->length, 15);
}

TEST(GraphAxes, RemissionTicksEveryPercentLabelledEveryTen)
{
    const auto ticks = remissionTicks(0, remissionStepsOfHeight(1.0));
    EXPECT_EQ(ticks.front().value, 0);
    EXPECT_EQ(ticks.back().value, 11700); // 117 % is the last whole per cent below the top
    EXPECT_EQ(tickAt(ticks, 100)->length, 4);
    EXPECT_EQ(tickAt(ticks, 200)->length, 10);
    EXPECT_EQ(tickAt(ticks, 1000)->length, 15);
    EXPECT_EQ(tickAt(ticks, 5000)->label, 50);
    EXPECT_EQ(tickAt(ticks, 11000)->label, 110);
}

TEST(GraphAxes, SignalTickSpacingFollowsTheFullScale)
{
    struct Case {
        double fullScale;
        int tick, label;
    };
    const Case cases[] = {{40000, 1000, 5000}, {20001, 1000, 5000}, {20000, 500, 2500},
        {10001, 500, 2500}, {10000, 200, 1000}, {5001, 200, 1000}, {5000, 100, 500},
        {1001, 100, 500}, {1000, 50, 250}, {501, 50, 250}, {500, 10, 100}, {3, 10, 100}};
    for (const Case& c : cases) {
        const SignalTickRule rule = signalTickRule(c.fullScale);
        EXPECT_EQ(rule.tickEvery, c.tick) << c.fullScale;
        EXPECT_EQ(rule.labelEvery, c.label) << c.fullScale;
    }
    const auto ticks = signalTicks(3000, 0, 3000);
    EXPECT_EQ(ticks.size(), 31u);
    EXPECT_TRUE(tickAt(ticks, 2500)->labelled);
    EXPECT_FALSE(tickAt(ticks, 2600)->labelled);
    EXPECT_EQ(tickAt(ticks, 2600)->length, 5);
}

TEST(GraphZoom, RectangleMustExceedTenPixelsBothWays)
{
    EXPECT_FALSE(isZoomRectangle(PixelRect {100, 100, 108, 150})); // 8 x 50
    EXPECT_FALSE(isZoomRectangle(PixelRect {100, 100, 150, 110})); // 50 x 10
    EXPECT_TRUE(isZoomRectangle(PixelRect {100, 100, 111, 111}));
    EXPECT_TRUE(isZoomRectangle(PixelRect {150, 150, 100, 100})); // dragged up and left
}

TEST(GraphZoom, ZoomedViewportShowsTheRectangleOverThePlot)
{
    const GraphViewport view = plainViewport(50, 0, 350, 400);
    // Rectangle from 430 to 530 nm and from 75 % down to 25 % of the height,
    // dragged from bottom right to top left and running out of the plot.
    const GraphViewport zoomed = zoomInto(view, PixelRect {200, 300, 100, 100});
    EXPECT_DOUBLE_EQ(zoomed.firstWavelength, 430);
    EXPECT_DOUBLE_EQ(zoomed.lastWavelength, 530);
    EXPECT_DOUBLE_EQ(zoomed.lowHeight, 0.25);
    EXPECT_DOUBLE_EQ(zoomed.highHeight, 0.75);
    EXPECT_DOUBLE_EQ(zoomed.xOfWavelength(430), 50);
    EXPECT_DOUBLE_EQ(zoomed.xOfWavelength(530), 400);
    EXPECT_DOUBLE_EQ(zoomed.yOfHeight(0.75), 0);

    const GraphViewport clamped = zoomInto(view, PixelRect {0, -50, 600, 200});
    EXPECT_DOUBLE_EQ(clamped.firstWavelength, 380);
    EXPECT_DOUBLE_EQ(clamped.lastWavelength, 730);
    EXPECT_DOUBLE_EQ(clamped.highHeight, 1.0);
    EXPECT_DOUBLE_EQ(clamped.lowHeight, 0.5);
}

TEST(GraphZoom, ZoomedCurveKeepsItsWavelengths)
{
    const GraphViewport view = plainViewport(0, 0, 350, 400);
    const GraphViewport zoomed = zoomInto(view, PixelRect {100, 0, 200, 400}); // 480 ... 580 nm
    std::vector<std::uint16_t> ordinates(36, 28270); // 50 %
    const auto curve = remissionCurve(ordinates, kOrdinateFullRemission, zoomed);
    EXPECT_EQ(curve[10].x, 0); // 480 nm at the left edge
    EXPECT_EQ(curve[20].x, 350); // 580 nm at the right edge
    EXPECT_EQ(curve[10].y, 400 - 170);
}
