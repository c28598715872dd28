#pragma once
// Geometry of the spectrum graph, free of any drawing: where the axis ticks
// go, how a measured spectrum becomes a polyline, and how the viewport maps
// wavelengths and heights to pixels, plain and zoomed.
//
// Heights are kept as a share of the full plot height (0 at the baseline,
// 1 at the top); a remission of 100 % sits at kFullRemissionHeight, so the
// clip value of the graph ordinates ends just below the top.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/common/SpectralAxes.h"

namespace lt {

inline constexpr double kFullRemissionHeight = 0.85; // share of the plot height
inline constexpr double kOrdinateFullRemission = 56540.0; // graph ordinate of 100 %
inline constexpr int kGraphMaxPoints = 1024;
inline constexpr int kRemissionStepsPerPercent = 100; // value axis counts in 0.01 %

// Lumatrak and Spectrolino spectra: 36 values, 380 ... 730 nm.
inline constexpr int kRemissionPointCount = 36;

// Spectrometer remission above this ratio is drawn at kClippedRatio and flagged.
inline constexpr double kClipRatioLimit = 1.1;
inline constexpr double kClippedRatio = 1.04;
inline constexpr double kSmallestWhiteSignal = 0.001;

enum class CurveType {
    Remission = 1, // ordinates of a Lumatrak or Spectrolino sample
    WhiteSignal = 2, // spectrometer white minus dark counts
    SpectrometerRemission = 3, // (sample - dark) / (white - dark)
};

inline constexpr int kPointClipped = 2;

struct CurvePoint {
    int x = 0; // [px] window coordinates
    int y = 0; // [px] window coordinates, growing downwards
    int flag = 0; // kPointClipped when the value was limited
};

// The part of the window that holds the plot; the axes run along its left
// edge and its bottom (the baseline).
struct PlotArea {
    int left = 0; // [px]
    int top = 0; // [px]
    int width = 1; // [px]
    int height = 1; // [px]
    int right() const { return left + width; }
    int baseline() const { return top + height; }
};

// What part of the curve the plot shows: a wavelength window and a height
// window (shares of the unzoomed plot height).
struct GraphViewport {
    PlotArea plot;
    double firstWavelength = kRemissionFirstWavelength; // [nm]
    double lastWavelength = 730.0; // [nm]
    double lowHeight = 0.0;
    double highHeight = 1.0;

    double xOfWavelength(double wavelength) const;
    double yOfHeight(double height) const;
    double wavelengthOfX(double x) const;
    double heightOfY(double y) const;
};

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// A zoom rectangle counts only when it is more than this wide and high.
inline constexpr int kZoomMinimumSize = 10; // [px]

bool isZoomRectangle(const PixelRect& rectangle);

// The viewport showing the dragged rectangle (normalised and limited to the
// plot) over the whole plot area.
GraphViewport zoomInto(const GraphViewport& viewport, PixelRect rectangle);

struct AxisTick {
    double value = 0; // nm, 0.01 % steps or signal counts
    int length = 0; // [px]
    bool labelled = false;
    int label = 0; // the number written at a labelled tick
};

// Wavelength ticks within [first, last]: every 10 nm (5 px), 50 nm (10 px),
// 100 nm (15 px, labelled); zoomed every 5, 10 and 50 nm.
std::vector<AxisTick> wavelengthTicks(double firstWavelength, double lastWavelength, bool zoomed);

// Remission ticks in 0.01 % steps within [lowSteps, highSteps]: every 1 %
// (4 px), 2 % (10 px), 10 % (15 px, labelled with the per cent).
std::vector<AxisTick> remissionTicks(double lowSteps, double highSteps);

struct SignalTickRule {
    int tickEvery = 0;
    int labelEvery = 0;
};

// Tick spacing of the signal axis chosen by its full-scale value.
SignalTickRule signalTickRule(double fullScale);

// Signal ticks within [low, high] (5 px, labelled ones 15 px).
std::vector<AxisTick> signalTicks(double fullScale, double low, double high);

// Height share of a remission value in 0.01 % steps, and the inverse.
double heightOfRemissionSteps(double steps);
double remissionStepsOfHeight(double height);

// The spectrometer's counts as the graph needs them: one buffer per pixel
// window, index 0 = firstPixel, and the wavelength calibration.
struct SpectrometerCounts {
    std::span<const std::uint16_t> sample;
    std::span<const std::uint16_t> dark;
    std::span<const std::uint16_t> white;
    int firstPixel = 0;
    double slope = kDefaultSpectrometerSlope; // [nm/pixel]
    double zero = kDefaultSpectrometerZero; // [nm] at pixel 0
    int referenceIndex = 0; // index whose white-minus-dark is drawn at 85 %
};

// Curve of a Lumatrak or Spectrolino sample: one point per ordinate, 100 %
// (fullOrdinate) at 85 % of the plot height.
std::vector<CurvePoint> remissionCurve(
    std::span<const std::uint16_t> ordinates, double fullOrdinate, const GraphViewport& viewport);

// Curve of the spectrometer, one point per nm of the unzoomed wavelength
// window [firstWavelength, lastWavelength] (at most kGraphMaxPoints).
std::vector<CurvePoint> spectrometerCurve(CurveType type, const SpectrometerCounts& counts,
    double firstWavelength, double lastWavelength, const GraphViewport& viewport);

// The curve's height share at window column x (straight between its
// points), for a marker's reading; nothing outside the curve.
std::optional<double> curveHeightAtX(
    const std::vector<CurvePoint>& curve, double x, const GraphViewport& viewport);

// Signal value at the top of the plot when the white-minus-dark signal at
// the reference index is drawn at 85 % (the full scale of the signal axis).
double whiteSignalFullScale(const SpectrometerCounts& counts);

} // namespace lt
