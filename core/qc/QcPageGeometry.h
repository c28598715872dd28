#pragma once
// Geometry of the quality-control page's graphics, free of any drawing: the
// a*b* plane with its axes, ticks, sample cross and matched-entry square,
// the dL bar against the lightness tolerances and the L bar, each with its
// scale. Every function returns the primitives to paint (fills, lines,
// texts) in widget pixels, so the view only paints them and tests check
// them without a window.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/qc/QcSet.h"

namespace lt {

// The plane spans a* -100..+100 over its width and b* -110..+110 over its height.
inline constexpr double kQcPlaneHalfA = 100.0;
inline constexpr double kQcPlaneHalfB = 110.0;
inline constexpr int kQcPlaneDivisionsB = 22; // 10 units of b* each
inline constexpr int kQcPlaneDivisionsA = 20; // 10 units of a* each
inline constexpr int kQcAxisGap = 2; // [px] left free around the centre
inline constexpr int kQcCrossArm = 4; // [px]
inline constexpr int kQcMatchSquare = 5; // [px]
// The dL bar covers -10..+10, the L bar 0..100.
inline constexpr double kQcDeltaLRange = 10.0;
inline constexpr int kQcDeltaLUnits = 20;
inline constexpr double kQcLightnessRange = 100.0;
inline constexpr int kQcLightnessDivisions = 10;
inline constexpr int kQcToleranceMark = 7; // [px] left of the dL bar

inline constexpr QcRgb kQcBlack {0, 0, 0};
inline constexpr QcRgb kQcDeltaLBarGrey {191, 191, 191};
inline constexpr QcRgb kQcLightnessBarGrey {127, 127, 127};
inline constexpr QcRgb kQcMarkerGrey {223, 223, 223};

struct QcFrame {
    int left = 0, top = 0, right = 0, bottom = 0; // [px]; right and bottom are the last pixels
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    int centreX() const;
    int centreY() const;
};

struct QcFill {
    int left = 0, top = 0, width = 0, height = 0;
    QcRgb color;
};

struct QcLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    QcRgb color = kQcBlack;
};

enum class QcAnchor { Left, Right, Centre }; // which point of the text stands at x

struct QcLabel {
    int x = 0, y = 0; // [px] y is the vertical middle of the text
    std::string text;
    QcAnchor anchor = QcAnchor::Left;
};

// Painted in this order: fills, lines, labels.
struct QcDrawing {
    std::vector<QcFill> fills;
    std::vector<QcLine> lines;
    std::vector<QcLabel> labels;
    void append(const QcDrawing& other);
};

// What the graphics show, read from the page's fields and judgement.
struct QcGraphicsState {
    double pointA = 0, pointB = 0; // the plotted sample
    std::optional<std::array<double, 2>> matched; // a*, b* of the matched entry
    double deltaL = 0; // "dL:"
    double deltaLLight = 0; // "dLLight:"
    double deltaLDark = 0; // "dLDark:"
    double lightness = 0; // "L:"
};

// Where the two bars and the plane stand in a widget of the given size.
struct QcGraphicsLayout {
    QcFrame deltaLBar, lightnessBar, plane;
};
QcGraphicsLayout qcGraphicsLayout(int width, int height);

// The pixel of a*, b* in the plane (not limited to the frame).
std::array<int, 2> qcPlanePixel(const QcFrame& plane, double a, double b);

// Axes, ticks, letters, the sample cross and the matched entry's square
// (clipped to the frame). The picture, when there is one, goes under it.
QcDrawing qcPlaneDrawing(const QcFrame& plane, const QcGraphicsState& state);
QcDrawing qcDeltaLBarDrawing(
    const QcFrame& bar, double deltaL, double deltaLLight, double deltaLDark);
QcDrawing qcLightnessBarDrawing(const QcFrame& bar, double lightness);

// Widths of the list's columns "No", "Comment", "L", "a", "b" in a list
// listWidth pixels wide: with c = (int)(0.2 * listWidth) - 1, "No" is
// c/2 + 4, "Comment" c/2 + c - 2 and each of L, a, b is c.
std::array<int, 5> qcListColumnWidths(int listWidth);

// Both bars and the plane.
QcDrawing qcGraphicsDrawing(const QcGraphicsLayout& layout, const QcGraphicsState& state);

} // namespace lt
