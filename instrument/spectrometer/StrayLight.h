#pragma once
// Stray-light correction of the array spectrometer's raw pixel counts.

#include <cstdint>

namespace lt {

// Every pixel of the window loses a fixed offset plus a share of the light its
// neighbours collect above its own level: 0.1 % of the excess of the pixels to
// its right and 0.04 % of those to its left.
inline constexpr int kStrayLightOffset = 210; // [counts]
inline constexpr double kStrayLightRightShare = 0.001;
inline constexpr double kStrayLightLeftShare = 0.0004;

// Corrects the pixels first..last of `counts` into the same positions of
// `corrected` (other positions untouched). A correction larger than the count
// gives 0; a negative correction (dark neighbours) saturates at 65535.
// The window must lie inside both arrays and first <= last.
void correctStrayLight(const std::uint16_t* counts, int first, int last, std::uint16_t* corrected);

} // namespace lt
