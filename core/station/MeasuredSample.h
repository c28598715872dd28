#pragma once
// One sample as the measurement cycle made it: the numbers the instrument
// delivered and the workstation derived from them, the list row formatted
// from those numbers, the spectrum graph's ordinates and the chart patch it
// filled. Whoever shows, judges or exports a sample reads it from here and
// never parses the row's texts back into numbers.
#include <array>
#include <cstdint>

#include "core/colour/ColorArithmetic.h"
#include "core/metrics/MeasurementList.h"
#include "core/station/SharedRecord.h"

namespace lt {

struct MeasuredSample {
    int number = 0; // the list's running number (first column)
    std::array<double, 3> lab {}; // L*, a*, b*
    std::array<double, 3> xyz {}; // X, Y, Z
    ProcessDensities densities {}; // Cyan, Magenta, Yellow, Black after paper white
    ProcessColor processColor = Cyan; // detected process colour
    double dotArea = 0.0; // [%] of processColor against its solid
    bool solidKnown = false; // processColor has a solid density: dotArea means something
    bool spotSolidKnown = false; // the spot colour's solid is calibrated
    MeasurementRow row; // the list row made from it, as inserted at the top
    GraphSample graph; // the spectrum graph's ordinates and densities of this sample
    int chartPatch = -1; // the chart patch it filled, -1 when none
};

} // namespace lt
