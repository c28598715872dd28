#include "core/charts/PatchColor.h"

#include <algorithm>

namespace lt {

namespace {

constexpr int kChannelMax = 255;
constexpr DisplayDivisor kNeutralDivisor {3.16f, 3.16f, 3.16f};
constexpr DisplayDivisor kWarmDivisor {3.16f, 3.1f, 2.38f}; // illuminants A and C
constexpr DisplayDivisor kDaylightDivisor {3.06f, 3.09f, 2.93f};
constexpr std::int32_t kIlluminantNeutral = 0;
constexpr std::int32_t kIlluminantA = 1;
constexpr std::int32_t kIlluminantC = 2;

BrighteningTable makeBrighteningTable()
{
    BrighteningTable table {};
    for (int j = 0; j < kBrighteningEntries; ++j) {
        // Computed in double and kept as float, so that 255 maps to 255.0 exactly.
        const double value = j;
        table[j] = static_cast<float>(value * value / 255.0 * 0.7 + 0.3 * value);
    }
    return table;
}

int atMost255(int value)
{
    return std::min(value, kChannelMax);
}

int atLeast0(int value)
{
    return std::max(value, 0);
}

// A display value scaled to 0 ... 255 and brightened. A value that is not a
// number (a damaged file) counts as black.
int brightened(float displayValue, float divisor)
{
    double scaled = static_cast<double>(displayValue) * 255.0 / static_cast<double>(divisor);
    if (!(scaled >= 0.0))
        scaled = 0.0;
    scaled = std::min(scaled, static_cast<double>(kChannelMax));
    return static_cast<int>(brighteningTable()[static_cast<int>(scaled)]);
}

} // namespace

DisplayDivisor displayDivisor(ChartType chartType, std::int32_t illuminant)
{
    if (chartType == ChartIt873)
        return kDaylightDivisor;
    if (illuminant == kIlluminantNeutral)
        return kNeutralDivisor;
    if (illuminant == kIlluminantA || illuminant == kIlluminantC)
        return kWarmDivisor;
    return kDaylightDivisor;
}

const BrighteningTable& brighteningTable()
{
    static const BrighteningTable table = makeBrighteningTable();
    return table;
}

PatchRgb ChartTint(int red, int green, int blue)
{
    const int red0 = red, green0 = green, blue0 = blue;
    int p = red, q = green, r = blue;

    const int towardsRed = std::max(2 * (red0 - green0), 0);
    p = atMost255(p + towardsRed);
    q = atLeast0(q - towardsRed);

    const int towardsGreen = std::max(2 * (green0 - red0), 0);
    q = atMost255(q + towardsGreen);
    p = atLeast0(p - towardsGreen);

    const int blueOverRed = std::max(blue0 - red0, 0);
    r = r + blueOverRed / (-4);
    q = atMost255(q);
    p = atLeast0(p);

    const int meanRedGreen = (green0 + red0) / 2;
    const int blueDeficit = std::max(meanRedGreen - blue0, 0);
    r = atLeast0(r + blueDeficit / (-2));
    p = atMost255(p + blueDeficit / 4);
    q = atMost255(q + blueDeficit / 10);

    const int blueExcess = std::max((blue0 - meanRedGreen) / 3, 0);
    r = atMost255(r + blueExcess);
    p = atLeast0(p - blueExcess);
    return {p, q, r};
}

PatchRgb patchColor(const Triple& displayValues, const DisplayDivisor& divisor)
{
    return ChartTint(brightened(displayValues[0], divisor[0]),
        brightened(displayValues[1], divisor[1]), brightened(displayValues[2], divisor[2]));
}

} // namespace lt
