#include "ui/charts/ComparisonPrinter.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "ui/charts/ChartPatchView.h"
#include "ui/charts/DifferenceLegend.h"

namespace lt {

namespace {

constexpr const char* kDocumentName = "ChartComparison";
constexpr int kReportPoints = 9;
constexpr int kLegendPoints = 8;
// The chart goes on a page of its own when less than this share of the
// page's height is left under the report.
constexpr double kSmallestChartShare = 0.3;

} // namespace

bool printComparison(QPrinter& printer, const std::string& report, ChartPatchView& chart,
    const DifferenceLegend& legend)
{
    printer.setDocName(QString::fromLatin1(kDocumentName));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect page(0, 0, area.width(), area.height());

    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(kReportPoints);
    painter.setFont(fixed);
    const QFontMetrics metrics(fixed, &printer);
    int y = 0;
    const QStringList lines = QString::fromStdString(report).split('\n');
    for (const QString& line : lines) {
        if (y + metrics.lineSpacing() > page.bottom()) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(0, y + metrics.ascent(), line);
        y += metrics.lineSpacing();
    }
    y += metrics.lineSpacing();

    QFont small = painter.font();
    small.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    small.setPointSize(kLegendPoints);
    const QFontMetrics legendMetrics(small, &printer);
    const int legendHeight = 3 * legendMetrics.lineSpacing();
    if (page.height() - y < kSmallestChartShare * page.height()) {
        printer.newPage();
        y = 0;
    }
    const QSize chartSize = chart.size().isEmpty() ? chart.sizeHint() : chart.size();
    const double scale = std::min(static_cast<double>(page.width()) / chartSize.width(),
        static_cast<double>(page.height() - y - legendHeight) / chartSize.height());
    painter.save();
    painter.translate(0, y);
    painter.scale(scale, scale);
    chart.setMarkShown(false);
    chart.render(&painter, QPoint(), QRegion(QRect(QPoint(), chartSize)), QWidget::DrawChildren);
    chart.setMarkShown(true);
    painter.restore();
    y += static_cast<int>(chartSize.height() * scale) + legendMetrics.lineSpacing() / 2;

    painter.setFont(small);
    legend.paintInto(painter, QRect(0, y, page.width(), legendHeight));
    return painter.end();
}

} // namespace lt
