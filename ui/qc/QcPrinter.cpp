#include "ui/qc/QcPrinter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "core/qc/QcPrintLayout.h"

namespace {

constexpr const char* kDocumentName = "QControl";
constexpr int kFontPoints = 9;
constexpr int kColumnGapCharacters = 2; // blanks' width between columns

} // namespace

bool printQcSet(
    QPrinter& printer, const std::string& text, const std::vector<std::string>& closingLines)
{
    printer.setDocName(QString::fromLatin1(kDocumentName));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QFont font(QStringLiteral("DejaVu Sans"), kFontPoints);
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());

    lt::QcPrintMetrics layoutMetrics;
    layoutMetrics.pageWidth = area.width();
    layoutMetrics.pageHeight = area.height();
    layoutMetrics.lineHeight = metrics.lineSpacing();
    layoutMetrics.columnGap = kColumnGapCharacters * metrics.horizontalAdvance(QLatin1Char(' '));
    layoutMetrics.textWidth = [&metrics](std::string_view cell) {
        return metrics.horizontalAdvance(
            QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size())));
    };
    const std::vector<lt::QcPrintPage> pages = lt::qcPrintLayout(text, closingLines, layoutMetrics);

    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0)
            printer.newPage();
        painter.setClipRect(0, 0, area.width(), area.height());
        for (const lt::QcPrintCell& cell : pages[p].cells)
            painter.drawText(
                cell.x, cell.y + metrics.ascent(), QString::fromLatin1(cell.text.c_str()));
    }
    return painter.end();
}
