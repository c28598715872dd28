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

// Placement in page pixels for a page of the given width. Up to
// kReferenceWidth the boxes keep their classic size (130 x 80, values 40 px
// high); a wider page scales the whole display, boxes, fonts and gaps
// alike, up to kLargestScale, so that every text stays inside its box and
// the display's height grows with it.
struct ValueDisplayGeometry {
    static constexpr int kReferenceWidth = 840; // [px] widest page at scale 1
    static constexpr double kLargestScale = 2.5;

    double scale; // 1 up to the reference width
    std::array<int, 3> boxLeft; // x of each box
    int boxTop;
    int boxBottom; // y of the boxes' bottom edge
    int boxWidth;
    int boxHeight;
    std::array<int, 3> textLeft; // x of label and value of each box
    int textRoom; // width a value may take inside its box
    int valueTop; // y of the values
    int labelTop; // y of the labels
    int valueFontHeight; // [px]
    int loweredValueDrop; // the spot colour's name sits this much lower
    int height; // whole display, boxes and bottom margin
};

ValueDisplayGeometry valueDisplayGeometry(int pageWidth);

} // namespace lt
