#include "core/graph/SpectrumGraphGeometry.h"

#include <algorithm>
#include <cmath>

namespace lt {

namespace {

constexpr double kRemissionFullSteps = 100.0 * kRemissionStepsPerPercent; // 100 %

struct TickLevel {
    int every;
    int length; // [px]
    bool labelled;
};

// Tick lengths of the axes; the coarsest level that divides a value wins.
constexpr int kShortTick = 5;
constexpr int kRemissionShortTick = 4;
constexpr int kMiddleTick = 10;
constexpr int kLongTick = 15;

std::vector<AxisTick> ticksAt(
    double low, double high, int every, const TickLevel* coarser, int coarserCount, int baseLength)
{
    std::vector<AxisTick> ticks;
    if (!(high >= low) || every <= 0)
        return ticks;
    const long long first = static_cast<long long>(std::ceil(low / every));
    const long long last = static_cast<long long>(std::floor(high / every));
    for (long long i = first; i <= last; ++i) {
        const long long value = i * every;
        AxisTick tick {static_cast<double>(value), baseLength, false, 0};
        for (int level = 0; level < coarserCount; ++level) {
            if (value % coarser[level].every == 0) {
                tick.length = coarser[level].length;
                tick.labelled = coarser[level].labelled;
                break;
            }
        }
        if (tick.labelled)
            tick.label = static_cast<int>(value);
        ticks.push_back(tick);
    }
    return ticks;
}

// Value at a fractional index of a pixel buffer, linear between neighbours;
// outside the buffer the nearest end value holds.
double countAt(std::span<const std::uint16_t> buffer, double index)
{
    if (buffer.empty())
        return 0.0;
    const double last = static_cast<double>(buffer.size() - 1);
    index = std::clamp(index, 0.0, last);
    const auto below = static_cast<std::size_t>(std::floor(index));
    const std::size_t above = std::min(below + 1, buffer.size() - 1);
    const double share = index - static_cast<double>(below);
    return buffer[below] * (1.0 - share) + buffer[above] * share;
}

double whiteMinusDark(const SpectrometerCounts& counts, double index)
{
    return countAt(counts.white, index) - countAt(counts.dark, index);
}

CurvePoint mapPoint(const GraphViewport& viewport, double wavelength, double height, int flag)
{
    CurvePoint point;
    point.x = static_cast<int>(std::floor(viewport.xOfWavelength(wavelength)));
    point.y = static_cast<int>(std::lround(viewport.yOfHeight(height)));
    point.flag = flag;
    return point;
}

} // namespace

double GraphViewport::xOfWavelength(double wavelength) const
{
    const double span = lastWavelength - firstWavelength;
    if (span <= 0)
        return plot.left;
    return plot.left + (wavelength - firstWavelength) * plot.width / span;
}

double GraphViewport::yOfHeight(double height) const
{
    const double span = highHeight - lowHeight;
    if (span <= 0)
        return plot.baseline();
    return plot.baseline() - (height - lowHeight) * plot.height / span;
}

double GraphViewport::wavelengthOfX(double x) const
{
    if (plot.width <= 0)
        return firstWavelength;
    return firstWavelength + (x - plot.left) * (lastWavelength - firstWavelength) / plot.width;
}

double GraphViewport::heightOfY(double y) const
{
    if (plot.height <= 0)
        return lowHeight;
    return lowHeight + (plot.baseline() - y) * (highHeight - lowHeight) / plot.height;
}

bool isZoomRectangle(const PixelRect& rectangle)
{
    return std::abs(rectangle.width()) > kZoomMinimumSize &&
        std::abs(rectangle.height()) > kZoomMinimumSize;
}

GraphViewport zoomInto(const GraphViewport& viewport, PixelRect rectangle)
{
    const PlotArea& plot = viewport.plot;
    const int left = std::clamp(std::min(rectangle.left, rectangle.right), plot.left, plot.right());
    const int right =
        std::clamp(std::max(rectangle.left, rectangle.right), plot.left, plot.right());
    const int top =
        std::clamp(std::min(rectangle.top, rectangle.bottom), plot.top, plot.baseline());
    const int bottom =
        std::clamp(std::max(rectangle.top, rectangle.bottom), plot.top, plot.baseline());
    GraphViewport zoomed = viewport;
    if (right <= left || bottom <= top)
        return zoomed;
    zoomed.firstWavelength = viewport.wavelengthOfX(left);
    zoomed.lastWavelength = viewport.wavelengthOfX(right);
    zoomed.lowHeight = viewport.heightOfY(bottom);
    zoomed.highHeight = viewport.heightOfY(top);
    return zoomed;
}

std::vector<AxisTick> wavelengthTicks(double firstWavelength, double lastWavelength, bool zoomed)
{
    if (zoomed) {
        static constexpr TickLevel levels[] = {{50, kLongTick, true}, {10, kMiddleTick, false}};
        return ticksAt(firstWavelength, lastWavelength, 5, levels, 2, kShortTick);
    }
    static constexpr TickLevel levels[] = {{100, kLongTick, true}, {50, kMiddleTick, false}};
    return ticksAt(firstWavelength, lastWavelength, 10, levels, 2, kShortTick);
}

std::vector<AxisTick> remissionTicks(double lowSteps, double highSteps)
{
    static constexpr TickLevel levels[] = {
        {10 * kRemissionStepsPerPercent, kLongTick, true},
        {2 * kRemissionStepsPerPercent, kMiddleTick, false},
    };
    auto ticks =
        ticksAt(lowSteps, highSteps, kRemissionStepsPerPercent, levels, 2, kRemissionShortTick);
    for (AxisTick& tick : ticks)
        tick.label /= kRemissionStepsPerPercent;
    return ticks;
}

SignalTickRule signalTickRule(double fullScale)
{
    if (fullScale > 20000)
        return {1000, 5000};
    if (fullScale > 10000)
        return {500, 2500};
    if (fullScale > 5000)
        return {200, 1000};
    if (fullScale > 1000)
        return {100, 500};
    if (fullScale > 500)
        return {50, 250};
    return {10, 100};
}

std::vector<AxisTick> signalTicks(double fullScale, double low, double high)
{
    const SignalTickRule rule = signalTickRule(fullScale);
    const TickLevel levels[] = {{rule.labelEvery, kLongTick, true}};
    return ticksAt(low, high, rule.tickEvery, levels, 1, kShortTick);
}

double heightOfRemissionSteps(double steps)
{
    return steps / kRemissionFullSteps * kFullRemissionHeight;
}

double remissionStepsOfHeight(double height)
{
    return height / kFullRemissionHeight * kRemissionFullSteps;
}

std::vector<CurvePoint> remissionCurve(
    std::span<const std::uint16_t> ordinates, double fullOrdinate, const GraphViewport& viewport)
{
    std::vector<CurvePoint> curve;
    if (fullOrdinate <= 0)
        fullOrdinate = kOrdinateFullRemission;
    const std::size_t count = std::min<std::size_t>(ordinates.size(), kGraphMaxPoints);
    curve.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double wavelength = kRemissionFirstWavelength + kRemissionWavelengthStep * i;
        const double height = kFullRemissionHeight * ordinates[i] / fullOrdinate;
        curve.push_back(mapPoint(viewport, wavelength, height, 0));
    }
    return curve;
}

double whiteSignalFullScale(const SpectrometerCounts& counts)
{
    const double reference = whiteMinusDark(counts, counts.referenceIndex);
    return std::max(reference, 1.0) / kFullRemissionHeight;
}

std::vector<CurvePoint> spectrometerCurve(CurveType type, const SpectrometerCounts& counts,
    double firstWavelength, double lastWavelength, const GraphViewport& viewport)
{
    std::vector<CurvePoint> curve;
    const double span = lastWavelength - firstWavelength;
    if (!(span >= 0) || counts.slope == 0)
        return curve;
    const long long wanted = std::llround(span) + 1;
    const int pointCount = static_cast<int>(std::min<long long>(wanted, kGraphMaxPoints));
    const double fullScale = whiteSignalFullScale(counts);
    curve.reserve(pointCount);
    for (int i = 0; i < pointCount; ++i) {
        const double wavelength = firstWavelength + i;
        const double index = (wavelength - counts.zero) / counts.slope - counts.firstPixel;
        const double signal = whiteMinusDark(counts, index);
        double height = 0;
        int flag = 0;
        if (type == CurveType::WhiteSignal) {
            height = signal / fullScale;
        } else {
            double ratio = (countAt(counts.sample, index) - countAt(counts.dark, index)) /
                std::max(signal, kSmallestWhiteSignal);
            if (ratio > kClipRatioLimit) {
                ratio = kClippedRatio;
                flag = kPointClipped;
            }
            height = ratio * kFullRemissionHeight;
        }
        curve.push_back(mapPoint(viewport, wavelength, height, flag));
    }
    return curve;
}

std::optional<double> curveHeightAtX(
    const std::vector<CurvePoint>& curve, double x, const GraphViewport& viewport)
{
    for (std::size_t i = 1; i < curve.size(); ++i) {
        const CurvePoint& left = curve[i - 1];
        const CurvePoint& right = curve[i];
        if (x < left.x || x > right.x)
            continue;
        const double share = right.x == left.x ? 0.0 : (x - left.x) / double(right.x - left.x);
        return viewport.heightOfY(left.y + share * (right.y - left.y));
    }
    return std::nullopt;
}

} // namespace lt
