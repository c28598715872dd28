#pragma once
// The printed set laid out on pages, free of any drawing: the set's text
// line by line with its tab-separated cells placed at fixed x positions so
// that columns line up whatever the font, continued on further pages when it
// does not fit one, followed by extra lines (the log summary), each page
// with its page number at the foot. Text that runs past the printable width
// is clipped by the painter.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lt {

struct QcPrintCell {
    int x = 0; // [device units] left end of the text
    int y = 0; // [device units] top of the line
    std::string text;
};

struct QcPrintPage {
    std::vector<QcPrintCell> cells;
};

struct QcPrintMetrics {
    int pageWidth = 1; // printable area [device units]
    int pageHeight = 1;
    int lineHeight = 1;
    int columnGap = 1; // between the widest cell of a column and the next column
    std::function<int(std::string_view)> textWidth; // [device units]
};

// text: lines ending in CR LF (or LF), cells separated by tabs; the empty
// cell that pads a short cell before the next column is dropped. Each
// section line ("#...") starts a new table whose columns are as wide as
// their widest cell; numbers are right-aligned in their column.
std::vector<QcPrintPage> qcPrintLayout(std::string_view text,
    const std::vector<std::string>& closingLines, const QcPrintMetrics& metrics);

// "Page 2 of 3".
std::string qcPageFooter(int page, int pages);

} // namespace lt
