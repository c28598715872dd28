#include "Bench.h"

#include <cmath>

#include "ChartLayout.h"

namespace ltsim {

namespace {

// A patch covers this share of its grid cell; the rest is paper.
constexpr double kPatchShareOfCell = 0.8;

} // namespace

int Bench::patchIndexUnderHead() const
{
    if (!chart.present || !(chart.pitch > 0.0))
        return -1;
    GridPoint point = gridPointOf(chart, head);
    double column = std::round(point.column), row = std::round(point.row);
    double halfPatch = kPatchShareOfCell / 2.0;
    if (std::fabs(point.column - column) > halfPatch || std::fabs(point.row - row) > halfPatch)
        return -1;
    const auto& patches = chartPatches(chart.kind);
    for (std::size_t i = 0; i < patches.size(); ++i) {
        if (patches[i].gridColumn == column && patches[i].gridRow == row)
            return static_cast<int>(i);
    }
    return -1;
}

SpectralCurve Bench::remissionUnderHead(bool onTable) const
{
    if (onTable && chart.present && chart.pitch > 0.0) {
        int index = patchIndexUnderHead();
        if (index >= 0)
            return samples.printModel().print(chartPatches(chart.kind)[index].coverage);
        GridPoint point = gridPointOf(chart, head);
        // The chart's paper reaches one cell beyond its outer patches.
        if (point.column > -1.0 && point.column < chartGridColumns(chart.kind) &&
            point.row > -1.0 && point.row < chartGridRows(chart.kind)) {
            return samples.printModel().paper();
        }
    }
    if (auto curve = samples.remission(sampleName))
        return *curve;
    return samples.printModel().paper();
}

SpectralCurve Bench::withNoise(const SpectralCurve& curve)
{
    if (!(noise > 0.0))
        return curve;
    std::normal_distribution<double> distribution(0.0, noise);
    SpectralCurve result = curve;
    for (int i = 0; i < SpectralCurve::kSamples; ++i)
        result.sample(i) += distribution(random);
    return result;
}

} // namespace ltsim
