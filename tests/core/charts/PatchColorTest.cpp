// The colour a chart dialog paints a patch in, and the pixel layout of the
// dialogs: what the operator sees of a measured chart.
#include <gtest/gtest.h>

#include "core/charts/ChartGeometry.h"
#include "core/charts/PatchColor.h"

namespace lt {
namespace {

TEST(ChartTint, PushesEachHueFurtherAndLeavesGrey)
{
    EXPECT_EQ(ChartTint(200, 100, 100), (PatchRgb {255, 5, 75}));
    EXPECT_EQ(ChartTint(100, 100, 200), (PatchRgb {67, 100, 208}));
    EXPECT_EQ(ChartTint(50, 150, 100), (PatchRgb {0, 255, 88}));
    EXPECT_EQ(ChartTint(128, 128, 128), (PatchRgb {128, 128, 128}));
}

TEST(PatchColor, UnmeasuredIsWhiteAndDarkOrBrokenValuesAreBlack)
{
    const Triple white {kWhiteDisplayValue, kWhiteDisplayValue, kWhiteDisplayValue};
    for (ChartType chart : {ChartIt873, ChartTqCmyk, ChartTqRgb})
        for (int illuminant = 0; illuminant <= 6; ++illuminant)
            EXPECT_EQ(
                patchColor(white, displayDivisor(chart, illuminant)), (PatchRgb {255, 255, 255}))
                << chart << " " << illuminant;
    EXPECT_EQ(brighteningTable()[255], 255.0f);
    EXPECT_EQ(brighteningTable()[0], 0.0f);

    const DisplayDivisor divisor = displayDivisor(ChartIt873, 4);
    EXPECT_EQ(patchColor({0, 0, 0}, divisor), (PatchRgb {0, 0, 0}));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(patchColor({nan, -1.0f, 1e30f}, divisor).red, 0);
}

TEST(PatchColor, CyanPrintLooksCyanAndGreyLooksNeutral)
{
    const DisplayDivisor divisor = displayDivisor(ChartIt873, 4);
    auto colourOf = [&](double x, double y, double z) {
        const ChartPatchValues values = chartPatchValues(x, y, z);
        return patchColor(
            {static_cast<float>(values.rootsXyz[0]), static_cast<float>(values.rootsXyz[1]),
                static_cast<float>(values.rootsXyz[2])},
            divisor);
    };
    const PatchRgb cyan = colourOf(15.0, 22.0, 53.0); // a cyan solid under D50
    EXPECT_LT(cyan.red, cyan.green);
    EXPECT_LT(cyan.red, cyan.blue);
    const PatchRgb grey = colourOf(20.0, 20.7, 17.1); // a neutral grey: XYZ of D50 scaled
    EXPECT_NEAR(grey.red, grey.green, 12);
    EXPECT_NEAR(grey.green, grey.blue, 12);
}

TEST(DisplayDivisor, ByIlluminantForTqChartsAlwaysDaylightForIt873)
{
    EXPECT_EQ(displayDivisor(ChartTqCmyk, 0), (DisplayDivisor {3.16f, 3.16f, 3.16f}));
    EXPECT_EQ(displayDivisor(ChartTqRgb, 1), (DisplayDivisor {3.16f, 3.1f, 2.38f}));
    EXPECT_EQ(displayDivisor(ChartTqRgb, 2), (DisplayDivisor {3.16f, 3.1f, 2.38f}));
    EXPECT_EQ(displayDivisor(ChartTqCmyk, 3), (DisplayDivisor {3.06f, 3.09f, 2.93f}));
    EXPECT_EQ(displayDivisor(ChartIt873, 0), (DisplayDivisor {3.06f, 3.09f, 2.93f}));
}

TEST(ChartGeometry, It873CellsLeaveGapsSoAClickOnABoundarySelectsNothing)
{
    const PatchRect frame {10, 20, 10 + 38 * 20, 20 + 26 * 20};
    const std::vector<PatchRect> rects = it873PatchRects(frame);
    ASSERT_EQ(rects.size(), 929u);
    // "00A1" at grid column 12, row 18.
    EXPECT_EQ(rects[0], (PatchRect {10 + 240 + 1, 20 + 360, 10 + 260 - 1, 20 + 380 - 2}));
    EXPECT_EQ(rects[928], (PatchRect {10 + 260 + 1, 20 + 320, 10 + 280 - 1, 20 + 340 - 2}));

    const PatchRect& first = rects[0];
    EXPECT_EQ(hitPatch(rects, 928, first.left + 1, first.top + 1), 0);
    EXPECT_EQ(hitPatch(rects, 928, first.left, first.top + 5), -1) << "on the edge";
    EXPECT_EQ(hitPatch(rects, 928, first.right + 1, first.top + 5), -1) << "in the gap";
    EXPECT_EQ(hitPatch(rects, 928, rects[928].left + 5, rects[928].top + 5), -1)
        << "the end cell is never hit";
    EXPECT_EQ(hitPatch(rects, 928, 0, 0), -1);
}

TEST(ChartGeometry, TqPatchesOnTheirGridWithTheEndCellBelowTheLastColumn)
{
    const std::vector<PatchRect> rects = chartPatchRects(ChartTqRgb, 5, 7, 24);
    ASSERT_EQ(rects.size(), 136u);
    EXPECT_EQ(rects[0], (PatchRect {5, 7, 25, 27}));
    EXPECT_EQ(rects[17], (PatchRect {5 + 2 * 24, 7 + 24, 25 + 2 * 24, 27 + 24})) << "B03";
    EXPECT_EQ(rects[135], (PatchRect {5 + 14 * 24, 7 + 9 * 24, 25 + 14 * 24, 27 + 9 * 24}));
    EXPECT_EQ(hitPatch(rects, 135, 5 + 2 * 24 + 10, 7 + 24 + 10), 17);
    EXPECT_EQ(hitPatch(rects, 135, 26, 10), -1) << "between two patches";
}

TEST(ChartGeometry, MarkSplitsThePatchAtItsCentre)
{
    const PatchMark mark = patchMark({10, 20, 31, 41});
    EXPECT_EQ(mark.black, (PatchRect {10, 20, 20, 30}));
    EXPECT_EQ(mark.white, (PatchRect {20, 30, 31, 41}));
}

} // namespace
} // namespace lt
