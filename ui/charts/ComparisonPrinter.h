#pragma once
// The printed chart comparison: the report in a fixed-pitch font so that its
// columns line up, then the chart with each patch in the colour of its
// difference and the legend under it, scaled to the page width (on a page
// of its own when the report leaves too little room).
#include <string>

class QPrinter;

namespace lt {

class ChartPatchView;
class DifferenceLegend;

// False when the printer could not be started.
bool printComparison(QPrinter& printer, const std::string& report, ChartPatchView& chart,
    const DifferenceLegend& legend);

} // namespace lt
