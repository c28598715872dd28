#pragma once
// The nominal device values of every patch, in percent, as they go into the
// chart files beside the measured XYZ: C, M, Y, K for the IT8.7/3 and TQ
// CMYK charts, R, G, B (the fourth value 0) for the TQ RGB chart.
#include <array>
#include <span>

#include "core/station/SharedRecord.h"

namespace lt {

using DeviceValues = std::array<float, 4>; // [%] C, M, Y, K or R, G, B

// One entry per patch in patch order; empty for a type that is not a chart.
std::span<const DeviceValues> ChartReferenceTable(ChartType chartType);

} // namespace lt
