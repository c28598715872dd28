#include "core/metrics/ValueDisplay.h"

#include <algorithm>

#include "core/common/NumberText.h"

namespace lt {

namespace {

// Each value is the text of its list column, at most this long.
constexpr std::size_t kValueTextLength = 15;
// The spot colour's name is shortened to fit its box.
constexpr std::size_t kSpotNameShown = 9;
constexpr const char* kNoValue = "--";
constexpr int kDotAreaDecimals = 1;
constexpr int kDotAreaWidth = 3;
// The display at scale 1 [px].
constexpr int kLowestBoxBottom = 110;
constexpr int kBoxBottomLift = 30;
constexpr int kBoxWidth = 130;
constexpr int kBoxHeight = 80;
constexpr int kBoxSpacing = 170; // from one box's left edge to the next
constexpr int kValueFontHeight = 40;
constexpr int kLabelRise = 30; // labels above the values
constexpr int kLoweredValueDrop = 10;
constexpr int kTextIndent = 10; // texts inside their box
constexpr int kBottomMargin = 8;
constexpr int kGroupWidth = 2 * kBoxSpacing + kBoxWidth;

std::string columnText(const MeasurementRow& row, int column)
{
    return row[static_cast<std::size_t>(column)].substr(0, kValueTextLength);
}

} // namespace

Metric metricFromSetting(int value)
{
    return static_cast<Metric>(std::clamp(
        value, static_cast<int>(Metric::ProcessColor), static_cast<int>(Metric::SpotColor)));
}

ValueDisplayContent valueDisplayContent(Metric metric, const MeasuredSample* newest)
{
    ValueDisplayContent content;
    switch (metric) {
    case Metric::ProcessColor:
        content.labels = {"Proc.Density", "%", "Proc.Color"};
        break;
    case Metric::Lab:
        content.labels = {"L", "a", "b"};
        break;
    case Metric::Xyz:
        content.labels = {"X", "Y", "Z"};
        break;
    case Metric::SpotColor:
        content.labels = {"SpotDensity", "%", "SpotColor"};
        content.thirdValueLowered = true;
        break;
    }
    if (!newest)
        return content;
    const MeasurementRow& row = newest->row;
    content.valuesShown = true;
    switch (metric) {
    case Metric::ProcessColor: {
        const int color = std::clamp(static_cast<int>(newest->processColor), static_cast<int>(Cyan),
            static_cast<int>(Black));
        content.values = {columnText(row, column::kCyan + color),
            newest->solidKnown ? formatFixed(newest->dotArea, kDotAreaDecimals, kDotAreaWidth)
                                     .substr(0, kValueTextLength)
                               : kNoValue,
            std::string(1, kProcessLetters[color])};
        break;
    }
    case Metric::Lab:
        content.values = {
            columnText(row, column::kL), columnText(row, column::kA), columnText(row, column::kB)};
        break;
    case Metric::Xyz:
        content.values = {
            columnText(row, column::kX), columnText(row, column::kY), columnText(row, column::kZ)};
        break;
    case Metric::SpotColor:
        content.values = {columnText(row, column::kSpotDensity),
            newest->spotSolidKnown ? columnText(row, column::kSpotDotArea) : kNoValue,
            columnText(row, column::kSpotName).substr(0, kSpotNameShown)};
        break;
    }
    return content;
}

ValueDisplayGeometry valueDisplayGeometry(int pageWidth)
{
    ValueDisplayGeometry geometry {};
    const double scale =
        std::clamp(static_cast<double>(pageWidth) / ValueDisplayGeometry::kReferenceWidth, 1.0,
            ValueDisplayGeometry::kLargestScale);
    auto scaled = [scale](int length) { return static_cast<int>(length * scale); };
    geometry.scale = scale;
    geometry.boxWidth = scaled(kBoxWidth);
    geometry.boxHeight = scaled(kBoxHeight);
    geometry.valueFontHeight = scaled(kValueFontHeight);
    geometry.loweredValueDrop = scaled(kLoweredValueDrop);
    geometry.textRoom = geometry.boxWidth - 2 * scaled(kTextIndent);
    // Up to the reference width the bottom edge sits at w / 6 - 30, but not
    // above 110; beyond it the scaled height of that lowest position.
    geometry.boxBottom = scale > 1.0 ? scaled(kLowestBoxBottom)
                                     : std::max(pageWidth / 6 - kBoxBottomLift, kLowestBoxBottom);
    geometry.boxTop = geometry.boxBottom - geometry.boxHeight;
    // The boxes start at a seventh of the width; once they stop growing
    // they stay centred.
    const int left = std::max(pageWidth / 7, (pageWidth - scaled(kGroupWidth)) / 2);
    for (int i = 0; i < 3; ++i) {
        geometry.boxLeft[i] = left + i * scaled(kBoxSpacing);
        geometry.textLeft[i] = geometry.boxLeft[i] + scaled(kTextIndent);
    }
    geometry.valueTop = geometry.boxBottom - geometry.valueFontHeight;
    geometry.labelTop = geometry.valueTop - scaled(kLabelRise);
    geometry.height = geometry.boxBottom + scaled(kBottomMargin);
    return geometry;
}

} // namespace lt
