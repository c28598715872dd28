#pragma once
// The chart dialog: modeless beside the main window while a chart is being
// measured. It shows the chart's patches (ChartPatchView), names the patch
// the next measurement fills, and offers Load and Save of the chart file,
// and "Compare...": the open chart against another chart file, its report
// in a window of its own and the patches coloured by their difference
// with the legend under them until that window is closed.
// Every measurement the cycle stores in the chart repaints the measured
// patch and moves the mark, whichever thread measured. With the Lumatrak A
// (the instrument on the XY table) XYAuto measures the whole chart
// automatically: Load, Save and XYAuto hide while the run lasts, a line
// under the chart tells the patch, its name and the time left, Cancel stops
// the run before its next patch, and the line keeps the run's summary
// afterwards. The dialog has no close button: "Stop Chart" on the colour
// metrics page closes it.
#include <memory>

#include <QDialog>

class QLabel;
class QPushButton;
class StationEvents;

namespace lt {

class AutoMeasureChart;
class ChartCompareLogic;
class ChartComparisonView;
class ChartPatchView;
class ChartSession;
class DifferenceLegend;
class Workstation;

class ChartDialog : public QDialog {
    Q_OBJECT
public:
    ChartDialog(Workstation& workstation, ChartSession& session, QWidget* parent = nullptr);
    ~ChartDialog() override;

    ChartPatchView* patchView() const { return view; }
    QPushButton* xyAutoButton() const { return xyAuto; }
    QPushButton* cancelButton() const { return cancel; }
    QPushButton* compareButton() const { return compare; }
    QLabel* runLine() const { return runProgress; }
    AutoMeasureChart& autoRun() { return *run; }
    // XYAuto is offered only for the instrument on the XY table.
    void showTableControls(bool tableInstrument);
    // While a comparison is shown: its report window; null otherwise.
    ChartComparisonView* comparisonView() const { return comparisonWindow; }
    DifferenceLegend* differenceLegend() const { return legend; }
    ChartCompareLogic& comparison() { return *compareLogic; }

    // Places the dialog beside window (right of it when the screen has room).
    void placeBeside(const QWidget* window);

Q_SIGNALS:
    // An automatic run begins (true: remote mode and every other path to the
    // instrument must rest now, before the worker starts) or has ended.
    void autoRunChanged(bool running);

private:
    void showPatchMeasured(int measuredPatch, int nextPatch);
    void compareWithFile();
    void endComparison();
    void refresh();
    void updateNextPatchText();
    void startAutoRun();
    void cancelAutoRun();
    void endAutoRun(const QString& summary);

    struct RunForwarder;

    Workstation& station;
    ChartSession& chart;
    ChartPatchView* view = nullptr;
    QLabel* nextPatch = nullptr;
    QPushButton* xyAuto = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* compare = nullptr;
    QPushButton* load = nullptr;
    QPushButton* save = nullptr;
    QLabel* runProgress = nullptr;
    bool tableControls = false;
    DifferenceLegend* legend = nullptr;
    std::unique_ptr<ChartCompareLogic> compareLogic;
    ChartComparisonView* comparisonWindow = nullptr;
    StationEvents* events = nullptr; // the workstation's events, on this thread
    std::unique_ptr<RunForwarder> runForwarder;
    std::unique_ptr<AutoMeasureChart> run;
};

} // namespace lt
