#include "core/qc/QcPageGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lt {

namespace {

// Room around the frames for the letters, the tolerance marks and the scales.
constexpr int kMarginTop = 36; // [px] "b" stands 25 px above the plane
constexpr int kMarginBottom = 22;
constexpr int kMarginLeft = kQcToleranceMark + 4;
constexpr int kBarWidth = 14;
constexpr int kScaleWidth = 34; // ticks and labels right of a bar
constexpr int kPlaneLeftRoom = 16; // "-" left of the plane
constexpr int kPlaneRightRoom = 22; // "a" and "+" right of the plane
constexpr int kBarInset = 12; // bars are shorter than the plane by this at each end
constexpr int kCapHeight = 4;
constexpr int kCapGap = 1;
// The plane's frame keeps the proportions of the page template (207 x 212).
constexpr double kPlaneAspect = 207.0 / 212.0;

constexpr int kLetterOffsetX = 5; // "b" right of the centre
constexpr int kLetterOffsetY = 25; // "b" above the top
constexpr int kSignOffset = 12;
constexpr int kLetterHeight = 14;

constexpr int kTickLongB = 8; // at b* +-100
constexpr int kTickMiddle = 6; // at +-50
constexpr int kTickShort = 3;
constexpr int kScaleTickLong = 6;
constexpr int kScaleTickShort = 3;
constexpr int kScaleLabelGap = 9;
constexpr int kMarkerSize = 5;

int rounded(double value)
{
    return static_cast<int>(std::lround(value));
}

void outline(QcDrawing& drawing, const QcFrame& frame)
{
    const int l = frame.left, t = frame.top, r = frame.right, b = frame.bottom;
    drawing.lines.push_back({l, t, r, t});
    drawing.lines.push_back({r, t, r, b});
    drawing.lines.push_back({r, b, l, b});
    drawing.lines.push_back({l, b, l, t});
}

void caps(QcDrawing& drawing, const QcFrame& bar)
{
    const int width = bar.width() + 1;
    drawing.fills.push_back(
        {bar.left, bar.top - kCapGap - kCapHeight, width, kCapHeight, kQcWhite});
    drawing.fills.push_back({bar.left, bar.bottom + kCapGap + 1, width, kCapHeight, kQcBlack});
}

// A filled band between two heights of a bar, whichever is higher.
void band(QcDrawing& drawing, const QcFrame& bar, int y1, int y2, QcRgb color)
{
    const int top = std::min(y1, y2);
    const int height = std::abs(y2 - y1);
    if (height > 0)
        drawing.fills.push_back({bar.left, top, bar.width() + 1, height, color});
}

int tickLengthB(int value)
{
    if (value == 0)
        return 0;
    if (std::abs(value) == 100)
        return kTickLongB;
    return std::abs(value) == 50 ? kTickMiddle : kTickShort;
}

int tickLengthA(int value)
{
    if (value == 0)
        return 0;
    return std::abs(value) == 50 ? kTickMiddle : kTickShort;
}

} // namespace

int QcFrame::centreX() const
{
    return rounded((left + right) / 2.0);
}

int QcFrame::centreY() const
{
    return rounded((top + bottom) / 2.0);
}

void QcDrawing::append(const QcDrawing& other)
{
    fills.insert(fills.end(), other.fills.begin(), other.fills.end());
    lines.insert(lines.end(), other.lines.begin(), other.lines.end());
    labels.insert(labels.end(), other.labels.begin(), other.labels.end());
}

QcGraphicsLayout qcGraphicsLayout(int width, int height)
{
    QcGraphicsLayout layout;
    const int planeLeft = kMarginLeft + 2 * (kBarWidth + kScaleWidth) + kPlaneLeftRoom;
    const int roomWidth = std::max(1, width - planeLeft - kPlaneRightRoom);
    const int roomHeight = std::max(1, height - kMarginTop - kMarginBottom);
    int planeWidth = roomWidth;
    int planeHeight = rounded(planeWidth / kPlaneAspect);
    if (planeHeight > roomHeight) {
        planeHeight = roomHeight;
        planeWidth = std::max(1, rounded(planeHeight * kPlaneAspect));
    }
    layout.plane = {planeLeft, kMarginTop, planeLeft + planeWidth, kMarginTop + planeHeight};
    const int barTop = layout.plane.top + kBarInset;
    const int barBottom = std::max(barTop + 1, layout.plane.bottom - kBarInset);
    layout.deltaLBar = {kMarginLeft, barTop, kMarginLeft + kBarWidth, barBottom};
    const int lightnessLeft = layout.deltaLBar.right + kScaleWidth;
    layout.lightnessBar = {lightnessLeft, barTop, lightnessLeft + kBarWidth, barBottom};
    return layout;
}

std::array<int, 2> qcPlanePixel(const QcFrame& plane, double a, double b)
{
    const int cx = plane.centreX();
    const int cy = plane.centreY();
    return {rounded(cx + (plane.right - cx) * a / kQcPlaneHalfA),
        rounded(cy - (plane.bottom - cy) * b / kQcPlaneHalfB)};
}

QcDrawing qcPlaneDrawing(const QcFrame& plane, const QcGraphicsState& state)
{
    QcDrawing drawing;
    const int l = plane.left, t = plane.top, r = plane.right, bo = plane.bottom;
    const int cx = plane.centreX(), cy = plane.centreY();
    outline(drawing, plane);

    drawing.labels.push_back({cx + kLetterOffsetX, t - kLetterOffsetY, "b"});
    drawing.labels.push_back({r + kLetterOffsetX, cy - kLetterHeight / 2, "a"});
    drawing.labels.push_back({cx - kSignOffset, t - kSignOffset, "+", QcAnchor::Centre});
    drawing.labels.push_back(
        {r + kSignOffset, cy - kSignOffset - kLetterHeight / 2, "+", QcAnchor::Centre});
    drawing.labels.push_back({cx - kSignOffset, bo + kSignOffset, "-", QcAnchor::Centre});
    drawing.labels.push_back({l - kSignOffset / 2, cy + kSignOffset, "-", QcAnchor::Right});

    drawing.lines.push_back({cx, t, cx, cy - kQcAxisGap});
    drawing.lines.push_back({cx, cy + kQcAxisGap, cx, bo});
    drawing.lines.push_back({l, cy, cx - kQcAxisGap, cy});
    drawing.lines.push_back({cx + kQcAxisGap, cy, r, cy});

    for (int i = 0; i <= kQcPlaneDivisionsB; ++i) {
        const int value = rounded(kQcPlaneHalfB) - 10 * i;
        const int length = tickLengthB(value);
        const int y = rounded(t + i * plane.height() / static_cast<double>(kQcPlaneDivisionsB));
        if (length > 0)
            drawing.lines.push_back({cx - length, y, cx, y});
    }
    for (int i = 0; i <= kQcPlaneDivisionsA; ++i) {
        const int value = -rounded(kQcPlaneHalfA) + 10 * i;
        const int length = tickLengthA(value);
        const int x = rounded(l + i * plane.width() / static_cast<double>(kQcPlaneDivisionsA));
        if (length > 0)
            drawing.lines.push_back({x, cy, x, cy + length});
    }

    // The sample stays visible at the frame's edge when it lies beyond it.
    std::array<int, 2> point = qcPlanePixel(plane, state.pointA, state.pointB);
    point[0] = std::clamp(point[0], l, r);
    point[1] = std::clamp(point[1], t, bo);
    drawing.lines.push_back({point[0] - kQcCrossArm, point[1], point[0] + kQcCrossArm, point[1]});
    drawing.lines.push_back({point[0], point[1] - kQcCrossArm, point[0], point[1] + kQcCrossArm});

    if (state.matched) {
        const std::array<int, 2> centre =
            qcPlanePixel(plane, (*state.matched)[0], (*state.matched)[1]);
        const int half = kQcMatchSquare / 2;
        QcFrame square {std::max(centre[0] - half, l), std::max(centre[1] - half, t),
            std::min(centre[0] + half, r), std::min(centre[1] + half, bo)};
        if (square.left <= square.right && square.top <= square.bottom)
            outline(drawing, square);
    }
    return drawing;
}

QcDrawing qcDeltaLBarDrawing(
    const QcFrame& bar, double deltaL, double deltaLLight, double deltaLDark)
{
    QcDrawing drawing;
    const double scale = bar.height() / static_cast<double>(kQcDeltaLUnits); // [px per unit]
    const int middle = bar.centreY();
    drawing.fills.push_back(
        {bar.left, bar.top, bar.width() + 1, bar.height() + 1, kQcDeltaLBarGrey});
    caps(drawing, bar);

    const double shown = std::clamp(deltaL, -kQcDeltaLRange, kQcDeltaLRange);
    const int end = rounded(middle - shown * scale);
    band(drawing, bar, middle, end, shown >= 0 ? kQcWhite : kQcBlack);
    drawing.lines.push_back({bar.left, middle, bar.right, middle});

    const auto mark = [&](double tolerance, int direction) {
        if (tolerance == 0.0)
            return;
        const double limited = std::clamp(tolerance, -kQcDeltaLRange, kQcDeltaLRange);
        const int y = rounded(middle + direction * limited * scale);
        drawing.lines.push_back({bar.left - kQcToleranceMark, y, bar.left - 1, y});
    };
    mark(deltaLLight, -1);
    mark(deltaLDark, +1);
    outline(drawing, bar);

    const int x = bar.right + 1;
    for (int unit = 0; unit < kQcDeltaLUnits; ++unit) {
        const int y = rounded(bar.top + unit * scale);
        const int length = unit % 5 == 0 ? kScaleTickLong : kScaleTickShort;
        drawing.lines.push_back({x, y, x + length, y});
    }
    const int labelX = x + kScaleLabelGap;
    drawing.labels.push_back({labelX, middle, "0"});
    drawing.labels.push_back({labelX, bar.top, "10"});
    drawing.labels.push_back({labelX, bar.bottom, "-10"});
    drawing.fills.push_back({x + 1, bar.top - kLetterHeight - kMarkerSize / 2 - kCapHeight,
        kMarkerSize, kMarkerSize, kQcMarkerGrey});
    drawing.labels.push_back({labelX, bar.top - kLetterHeight - kCapHeight, "dL"});
    return drawing;
}

QcDrawing qcLightnessBarDrawing(const QcFrame& bar, double lightness)
{
    QcDrawing drawing;
    drawing.fills.push_back(
        {bar.left, bar.top, bar.width() + 1, bar.height() + 1, kQcLightnessBarGrey});
    caps(drawing, bar);
    const double shown = std::clamp(lightness, 0.0, kQcLightnessRange);
    band(drawing, bar, bar.bottom + 1,
        rounded(bar.bottom + 1 - shown * (bar.height() + 1) / kQcLightnessRange), kQcWhite);
    outline(drawing, bar);

    const int x = bar.right + 1;
    for (int division = 0; division <= kQcLightnessDivisions; ++division) {
        const int y = rounded(
            bar.bottom - division * bar.height() / static_cast<double>(kQcLightnessDivisions));
        const int length = division % 5 == 0 ? kScaleTickLong : kScaleTickShort;
        drawing.lines.push_back({x, y, x + length, y});
    }
    const int labelX = x + kScaleLabelGap;
    drawing.labels.push_back({labelX, bar.bottom, "0"});
    drawing.labels.push_back({labelX, bar.top, "100"});
    drawing.labels.push_back({labelX, bar.top - kLetterHeight - kCapHeight, "L"});
    return drawing;
}

std::array<int, 5> qcListColumnWidths(int listWidth)
{
    constexpr double kValueColumnShare = 0.2;
    const int c = static_cast<int>(kValueColumnShare * listWidth) - 1;
    return {c / 2 + 4, c / 2 + c - 2, c, c, c};
}

QcDrawing qcGraphicsDrawing(const QcGraphicsLayout& layout, const QcGraphicsState& state)
{
    QcDrawing drawing =
        qcDeltaLBarDrawing(layout.deltaLBar, state.deltaL, state.deltaLLight, state.deltaLDark);
    drawing.append(qcLightnessBarDrawing(layout.lightnessBar, state.lightness));
    drawing.append(qcPlaneDrawing(layout.plane, state));
    return drawing;
}

} // namespace lt
