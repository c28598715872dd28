#include "core/qc/QcPrintLayout.h"

#include <algorithm>

#include "core/common/NumberText.h"

namespace lt {

namespace {

struct TextLine {
    std::vector<std::string> cells;
    int table = 0; // lines of one table share their column positions
};

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

// The line's cells without the padding: an empty cell that directly follows
// a cell with text only pushes the next cell one tab further.
std::vector<std::string> cellsOf(std::string_view line)
{
    std::vector<std::string> cells;
    bool previousHadText = false;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        const std::string_view cell =
            line.substr(start, tab == std::string_view::npos ? tab : tab - start);
        const bool padding = cell.empty() && previousHadText;
        if (!padding)
            cells.emplace_back(cell);
        previousHadText = !cell.empty();
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    while (!cells.empty() && cells.back().empty())
        cells.pop_back();
    return cells;
}

bool isNumber(const std::string& cell)
{
    return !cell.empty() &&
        std::all_of(cell.begin(), cell.end(),
            [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'; }) &&
        parseReal(cell).has_value();
}

} // namespace

std::string qcPageFooter(int page, int pages)
{
    return "Page " + formatInteger(page) + " of " + formatInteger(pages);
}

std::vector<QcPrintPage> qcPrintLayout(std::string_view text,
    const std::vector<std::string>& closingLines, const QcPrintMetrics& metrics)
{
    std::vector<TextLine> lines;
    int table = 0;
    for (std::string_view line : splitLines(text)) {
        if (!line.empty() && line.front() == '#')
            ++table;
        lines.push_back({cellsOf(line), table});
    }
    lines.push_back({{}, ++table}); // a blank line before the closing lines
    for (const std::string& line : closingLines)
        lines.push_back({{line}, ++table});

    // Column positions of each table.
    std::vector<std::vector<int>> widths(static_cast<std::size_t>(table) + 1);
    for (const TextLine& line : lines) {
        std::vector<int>& columns = widths[static_cast<std::size_t>(line.table)];
        if (columns.size() < line.cells.size())
            columns.resize(line.cells.size(), 0);
        for (std::size_t c = 0; c < line.cells.size(); ++c)
            columns[c] = std::max(columns[c], metrics.textWidth(line.cells[c]));
    }

    const int lineHeight = std::max(1, metrics.lineHeight);
    // The last line of each page carries its number.
    const int linesPerPage = std::max(1, metrics.pageHeight / lineHeight - 2);
    const int pageCount =
        std::max(1, static_cast<int>((lines.size() + linesPerPage - 1) / linesPerPage));
    std::vector<QcPrintPage> pages(static_cast<std::size_t>(pageCount));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        QcPrintPage& page = pages[i / static_cast<std::size_t>(linesPerPage)];
        const int y = static_cast<int>(i % static_cast<std::size_t>(linesPerPage)) * lineHeight;
        const std::vector<int>& columns = widths[static_cast<std::size_t>(line.table)];
        int x = 0;
        for (std::size_t c = 0; c < line.cells.size() && x < metrics.pageWidth; ++c) {
            const std::string& cell = line.cells[c];
            const int cellX = isNumber(cell) ? x + columns[c] - metrics.textWidth(cell) : x;
            if (!cell.empty())
                page.cells.push_back({cellX, y, cell});
            x += columns[c] + metrics.columnGap;
        }
    }
    for (int p = 0; p < pageCount; ++p)
        pages[static_cast<std::size_t>(p)].cells.push_back(
            {0, metrics.pageHeight - lineHeight, qcPageFooter(p + 1, pageCount)});
    return pages;
}

} // namespace lt
