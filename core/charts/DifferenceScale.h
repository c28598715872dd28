#pragma once
// The colours in which a chart dialog shows how far each patch is from its
// partner in a compared chart: green where the difference is invisible,
// through yellow around the tolerances of print work, to red and dark red
// for patches that are plainly off. The same stops draw the legend.
#include <array>

#include "core/charts/PatchColor.h"

namespace lt {

struct DifferenceStop {
    double deltaE; // [dE of the formula in use]
    PatchRgb color;
};

// Ascending colour differences; beyond the last stop the colour stays.
inline constexpr std::array<DifferenceStop, 6> kDifferenceStops {{
    {0.0, {0, 150, 60}},
    {1.0, {110, 190, 40}},
    {2.0, {235, 225, 30}},
    {4.0, {250, 140, 20}},
    {6.0, {220, 30, 20}},
    {10.0, {110, 0, 20}},
}};

// Patches that were not compared: hatched in this colour on this ground.
inline constexpr PatchRgb kNotComparedGround {235, 235, 235};
inline constexpr PatchRgb kNotComparedHatch {150, 150, 150};

// The colour of a difference, interpolated between the neighbouring stops.
// A negative or non-finite difference takes the first or the last stop.
PatchRgb differenceColor(double deltaE);

} // namespace lt
