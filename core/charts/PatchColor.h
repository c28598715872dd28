#pragma once
// The colour a chart dialog paints a patch in, from the fourth roots of its
// X, Y, Z: each is scaled to 0 ... 255 by the dialog's display divisor,
// brightened (dark values lifted, 255 stays 255), and the result is tinted so
// that reddish, greenish and bluish patches read clearly: red from X, green
// from Y, blue from Z.
#include <array>
#include <cstdint>

#include "core/charts/PatchTables.h"

namespace lt {

struct PatchRgb {
    int red = 0, green = 0, blue = 0; // 0 ... 255
    bool operator==(const PatchRgb&) const = default;
};

// Three divisors that bring X^(1/4), Y^(1/4), Z^(1/4) to 0 ... 255.
using DisplayDivisor = std::array<float, 3>;

// The IT8.7/3 dialog always uses the D50-like divisor; the TQ dialogs choose
// by the illuminant setting (0 Neutral, 1 A, 2 C, 3 D65, 4 D50, 5 D55, 6 D75).
DisplayDivisor displayDivisor(ChartType chartType, std::int32_t illuminant);

// The brightening table: L[j] = j * j / 255 * 0.7 + 0.3 * j, j = 0 ... 255.
inline constexpr int kBrighteningEntries = 256;
using BrighteningTable = std::array<float, kBrighteningEntries>;
const BrighteningTable& brighteningTable();

// The tint on 0 ... 255 channel values: grey stays grey, a reddish patch is
// pushed further to red, a greenish one to green, a bluish one made bluer and
// less red.
PatchRgb ChartTint(int red, int green, int blue);

// The colour of a patch with the given display values (white for 4.0).
PatchRgb patchColor(const Triple& displayValues, const DisplayDivisor& divisor);

} // namespace lt
