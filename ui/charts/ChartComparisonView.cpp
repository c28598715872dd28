#include "ui/charts/ChartComparisonView.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/charts/ChartCompareLogic.h"
#include "ui/charts/ComparisonPrinter.h"

namespace lt {

namespace {

constexpr int kReportColumns = 84; // characters the window shows without scrolling
constexpr int kReportLines = 28;

QPushButton* addButton(QHBoxLayout* row, const char* caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

} // namespace

ChartComparisonView::ChartComparisonView(ChartCompareLogic& logic, ChartPatchView& chart,
    const DifferenceLegend& legend, QWidget* parent)
    : QDialog(parent), comparison(logic), chartView(chart), legendView(legend)
{
    setObjectName("ChartComparison");
    setWindowTitle("Chart Comparison");
    setModal(false);
    report = new QPlainTextEdit(this);
    report->setObjectName("ComparisonReport");
    report->setReadOnly(true);
    report->setLineWrapMode(QPlainTextEdit::NoWrap);
    report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(report->font());
    report->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * kReportColumns,
        metrics.lineSpacing() * kReportLines);

    auto* buttons = new QHBoxLayout;
    QPushButton* save = addButton(buttons, "Save Report…", "SaveReport", this);
    QPushButton* printButton = addButton(buttons, "Print…", "PrintReport", this);
    buttons->addStretch(1);
    QPushButton* close = addButton(buttons, "Close", "Close", this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(report, 1);
    layout->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, [this] { comparison.saveReport(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

void ChartComparisonView::refresh()
{
    report->setPlainText(QString::fromStdString(comparison.report()));
}

QString ChartComparisonView::reportText() const
{
    return report->toPlainText();
}

void ChartComparisonView::print()
{
    QPrinter printer(QPrinter::HighResolution);
    const bool chosen = printDialog ? printDialog(printer) : [this, &printer] {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!chosen || !printComparison(printer, comparison.report(), chartView, legendView))
        comparison.reportNoPrinting();
}

} // namespace lt
