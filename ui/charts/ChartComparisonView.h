#pragma once
// The report of "Compare..." beside its chart dialog: the figures of the
// comparison (mean, median, 95th percentile and maximum; paper, solids and
// greys; the ten worst patches) in a fixed-pitch font, with "Save Report...",
// "Print..." and "Close". While it is open the chart dialog paints its
// patches by their difference; closing it brings the measured colours back.
#include <functional>

#include <QDialog>

class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace lt {

class ChartCompareLogic;
class ChartPatchView;
class DifferenceLegend;

class ChartComparisonView : public QDialog {
    Q_OBJECT
public:
    ChartComparisonView(ChartCompareLogic& logic, ChartPatchView& chart,
        const DifferenceLegend& legend, QWidget* parent = nullptr);

    // Asks where to print; false when the operator cancelled. The default
    // shows Qt's print dialog (CUPS printers and printing to a PDF file).
    using PrintDialog = std::function<bool(QPrinter& printer)>;
    void setPrintDialog(PrintDialog dialog) { printDialog = std::move(dialog); }

    // Shows the logic's report anew.
    void refresh();
    QString reportText() const;

private:
    void print();

    ChartCompareLogic& comparison;
    ChartPatchView& chartView;
    const DifferenceLegend& legendView;
    PrintDialog printDialog;
    QPlainTextEdit* report = nullptr;
};

} // namespace lt
