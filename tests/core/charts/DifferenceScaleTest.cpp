// The colours of colour differences in a compared chart: each stop shows its
// own colour, values between two stops are mixed in proportion, and values
// off the scale take its ends.
#include "core/charts/DifferenceScale.h"

#include <gtest/gtest.h>

#include <limits>

namespace lt {
namespace {

TEST(DifferenceScale, StopsTheirMixesAndTheEnds)
{
    for (const DifferenceStop& stop : kDifferenceStops)
        EXPECT_EQ(differenceColor(stop.deltaE), stop.color) << stop.deltaE;
    // Half way from 2 (235, 225, 30) to 4 (250, 140, 20).
    EXPECT_EQ(differenceColor(3.0), (PatchRgb {243, 183, 25}));
    EXPECT_EQ(differenceColor(-1.0), kDifferenceStops.front().color);
    EXPECT_EQ(differenceColor(250.0), kDifferenceStops.back().color);
    EXPECT_EQ(
        differenceColor(std::numeric_limits<double>::infinity()), kDifferenceStops.back().color);
    EXPECT_EQ(
        differenceColor(std::numeric_limits<double>::quiet_NaN()), kDifferenceStops.back().color);
}

} // namespace
} // namespace lt
