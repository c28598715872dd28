#include "instrument/spectrometer/StrayLight.h"

#include <cstdint>
#include <limits>

namespace lt {
namespace {

std::uint16_t subtractClamped(std::uint16_t count, long correction)
{
    const long value = static_cast<long>(count) - correction;
    if (value < 0)
        return 0;
    if (value > std::numeric_limits<std::uint16_t>::max())
        return std::numeric_limits<std::uint16_t>::max();
    return static_cast<std::uint16_t>(value);
}

long correctionFromExcess(long long rightExcess, long long leftExcess)
{
    // The share is truncated toward zero before the offset is added.
    return kStrayLightOffset +
        static_cast<long>(kStrayLightRightShare * static_cast<double>(rightExcess) +
            kStrayLightLeftShare * static_cast<double>(leftExcess));
}

} // namespace

void correctStrayLight(const std::uint16_t* counts, int first, int last, std::uint16_t* corrected)
{
    // Running sums keep the whole window linear in its width: the excess of the
    // pixels j in [k, last) over pixel k is (sum of their counts) - (last - k) * count(k).
    long long total = 0;
    for (int j = first; j < last; ++j)
        total += counts[j];
    long long leftSum = 0; // counts[first .. k-1]
    for (int k = first; k <= last; ++k) {
        const long long count = counts[k];
        const long long rightSum = (k < last) ? total - leftSum : 0;
        const long long right = rightSum - (k < last ? (last - k) * count : 0);
        const long long left = leftSum - (k - first) * count;
        corrected[k] = subtractClamped(counts[k], correctionFromExcess(right, left));
        leftSum += count;
    }
}

} // namespace lt
