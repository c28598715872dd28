#include "SpectrometerStrayLight.h"

#include <algorithm>
#include <cmath>

namespace ltsim {

namespace {

// Each round of the exchange shrinks the remaining imbalance to a fifth or
// less, so this many rounds settle it far below one count.
constexpr int kBalanceRounds = 30;
// A round that moves no pixel by more than this has settled the balance: the
// rounds left could not change a count.
constexpr double kSettledCounts = 1e-9;

} // namespace

PixelLight withStrayLight(const PixelLight& direct, int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, kSpectrometerPixels - 1);
    PixelLight light = direct;
    PixelLight next = direct;
    for (int round = 0; round < kBalanceRounds && first < last; ++round) {
        double total = 0.0;
        for (int k = first; k <= last; ++k)
            total += light[k];
        double shorterSum = 0.0; // signal of the window's pixels below k
        double largestChange = 0.0;
        for (int k = first; k <= last; ++k) {
            const double longerSum = total - shorterSum - light[k];
            const int longer = last - k, shorter = k - first;
            // Balance of pixel k: what it receives from the others against what it
            // gives away of its own light, solved for its own light.
            const double received = kScatterFromLongerWavelengths * longerSum +
                kScatterFromShorterWavelengths * shorterSum;
            const double keptShare = 1.0 + kScatterFromLongerWavelengths * longer +
                kScatterFromShorterWavelengths * shorter;
            next[k] = (direct[k] + received) / keptShare;
            largestChange = std::max(largestChange, std::abs(next[k] - light[k]));
            shorterSum += light[k];
        }
        light = next;
        if (largestChange < kSettledCounts)
            break;
    }
    return light;
}

} // namespace ltsim
