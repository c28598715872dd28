#include "core/charts/DifferenceScale.h"

#include <cmath>

namespace lt {

PatchRgb differenceColor(double deltaE)
{
    if (std::isnan(deltaE))
        return kDifferenceStops.back().color;
    if (deltaE <= kDifferenceStops.front().deltaE)
        return kDifferenceStops.front().color;
    for (std::size_t i = 1; i < kDifferenceStops.size(); ++i) {
        const DifferenceStop& low = kDifferenceStops[i - 1];
        const DifferenceStop& high = kDifferenceStops[i];
        if (deltaE > high.deltaE)
            continue;
        const double t = (deltaE - low.deltaE) / (high.deltaE - low.deltaE);
        auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + t * (b - a))); };
        return {mix(low.color.red, high.color.red), mix(low.color.green, high.color.green),
            mix(low.color.blue, high.color.blue)};
    }
    return kDifferenceStops.back().color;
}

} // namespace lt
