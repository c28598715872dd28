#pragma once
// The large three-value display of the colour metrics page: what it shows
// of the newest sample for each metric, and where its boxes and texts sit
// for a given page width.
#include <array>
#include <string>

#include "core/station/MeasuredSample.h"

namespace lt {

// What the display shows ("Metric" in the settings, 1 ... 4).
enum class Metric { ProcessColor = 1, Lab = 2, Xyz = 3, SpotColor = 4 };

// Any stored number becomes a metric (below 1 reads as ProcessColor, above
// 4 as SpotColor).
Metric metricFromSetting(int value);

struct ValueDisplayContent {
    std::array<std::string, 3> labels;
    std::array<std::string, 3> values; // empty without a row
    bool valuesShown = false;
    // SpotColor: the third value (the name) sits a little lower.
    bool thirdValueLowered = false;
};

// newest is null when the list is empty. The values are the texts of the
// sample's list row; the process dot area is shown when its colour has a
// solid density, the spot dot area once the spot solid is calibrated.
ValueDisplayContent valueDisplayContent(Metric metric, const MeasuredSample* newest);

// Placement in page pixels for a page of the given width.
struct ValueDisplayGeometry {
    static constexpr int kBoxWidth = 130;
    static constexpr int kBoxHeight = 80;
    static constexpr int kBoxSpacing = 170; // from one box's left edge to the next
    static constexpr int kValueFontHeight = 40;
    static constexpr int kLabelRise = 30; // labels above the values
    static constexpr int kLoweredValueDrop = 10;
    static constexpr int kTextIndent = 10; // texts inside their box

    std::array<int, 3> boxLeft; // x of each box
    int boxBottom; // y of the boxes' bottom edge
    std::array<int, 3> textLeft; // x of label and value of each box
    int valueTop; // y of the values
    int labelTop; // y of the labels
};

ValueDisplayGeometry valueDisplayGeometry(int pageWidth);

} // namespace lt
