#include "ui/charts/ChartDialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/autorun/AutoMeasureChart.h"
#include "core/autorun/AutoRunText.h"
#include "core/charts/ChartCompareLogic.h"
#include "core/charts/ChartSession.h"
#include "core/station/DeviceTypes.h"
#include "core/station/Workstation.h"
#include "ui/charts/ChartComparisonView.h"
#include "ui/charts/ChartPatchView.h"
#include "ui/charts/DifferenceLegend.h"
#include "ui/shell/OnThreadOf.h"
#include "ui/shell/StationEvents.h"

namespace lt {

namespace {

constexpr int kGapToWindow = 8; // [px] between the main window and the dialog
constexpr int kLabelSlack = 12; // [px]
constexpr const char* kNoPatchChosenText = "Click the patch to measure next";
constexpr const char* kAligningText = "Align the chart on the table (InitAuto)...";
constexpr const char* kCancellingText = "Cancelling after this patch...";
constexpr int kRunEndPollMs = 10; // [ms] while a closing dialog waits for its run

QPushButton* addButton(QHBoxLayout* row, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(caption);
    row->addWidget(button);
    return button;
}

} // namespace

// Carries the automatic run's news to the dialog on the user-interface thread.
struct ChartDialog::RunForwarder : AutoRunObserver {
    explicit RunForwarder(ChartDialog* owner) : dialog(owner) { }

    template <class Action>
    void post(Action action)
    {
        ChartDialog* target = dialog;
        onThreadOf(target, [target, action] { action(*target); });
    }

    void patchLoopStarted() override
    {
        post([](ChartDialog& d) {
            d.cancel->setEnabled(true);
            d.cancel->show();
        });
    }
    void patchReached(const AutoRunProgress& progress) override
    {
        const QString text = QString::fromStdString(progressText(progress));
        const bool skipped = !progress.measuring;
        post([text, skipped](ChartDialog& d) {
            if (d.cancel->isEnabled())
                d.runProgress->setText(text);
            if (skipped)
                d.view->update(); // the mark passes patches measured before
        });
    }
    void runEnded(const AutoRunSummary& summary) override
    {
        const QString text = QString::fromStdString(summaryText(summary));
        post([text](ChartDialog& d) { d.endAutoRun(text); });
    }

    ChartDialog* dialog;
};

ChartDialog::ChartDialog(Workstation& workstation, ChartSession& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      station(workstation), chart(session)
{
    setObjectName("ChartDialog");
    setModal(false);
    view = new ChartPatchView(session, this);
    nextPatch = new QLabel(this);
    nextPatch->setObjectName("NextPatch");
    // Wide enough for every text it shows, so that a new text never resizes
    // the dialog (which would repaint the whole chart).
    nextPatch->setMinimumWidth(
        nextPatch->fontMetrics().horizontalAdvance(kNoPatchChosenText) + kLabelSlack);

    auto* buttons = new QHBoxLayout;
    load = addButton(buttons, "Load", this);
    save = addButton(buttons, "Save", this);
    compare = addButton(buttons, "Compare…", this);
    compare->setObjectName("Compare");
    compare->setToolTip("Compare the measured patches with another chart file");
    xyAuto = addButton(buttons, "XYAuto", this);
    cancel = addButton(buttons, "Cancel", this);
    xyAuto->setToolTip("Measure the whole chart on the XY table: align it, then every patch");
    cancel->setToolTip("Stop the automatic run before its next patch");
    xyAuto->hide();
    cancel->hide();
    runProgress = new QLabel(this);
    runProgress->setObjectName("RunProgress");
    // As wide as the chart whatever it says: a new text never resizes the dialog.
    runProgress->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    runProgress->hide();
    buttons->addStretch(1);
    buttons->addWidget(nextPatch);
    for (QPushButton* button : {load, save, compare, xyAuto, cancel})
        button->setAutoDefault(false);
    legend = new DifferenceLegend(this);
    legend->hide();
    compareLogic = std::make_unique<ChartCompareLogic>(station, chart);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(legend, 0, Qt::AlignLeft);
    layout->addLayout(buttons);
    layout->addWidget(runProgress);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(load, &QPushButton::clicked, this, [this] {
        if (chart.load())
            refresh();
    });
    connect(save, &QPushButton::clicked, this, [this] {
        if (chart.save())
            setWindowTitle(QString::fromStdString(chart.title()));
    });
    connect(view, &ChartPatchView::patchChosen, this, [this] { updateNextPatchText(); });
    connect(compare, &QPushButton::clicked, this, [this] { compareWithFile(); });
    connect(xyAuto, &QPushButton::clicked, this, [this] { startAutoRun(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelAutoRun(); });

    // The cycle's news of a measured patch, on this thread whichever thread measured.
    events = new StationEvents(station, this);
    connect(events, &StationEvents::chartPatchMeasured, this, &ChartDialog::showPatchMeasured);
    connect(events, &StationEvents::instrumentTypeChanged, this,
        [this](int instrumentType) { showTableControls(deviceType(instrumentType).onXyTable); });
    runForwarder = std::make_unique<RunForwarder>(this);
    run = std::make_unique<AutoMeasureChart>(station, chart, *runForwarder);
    showTableControls(deviceType(station.record().instrumentType).onXyTable);
    refresh();
}

ChartDialog::~ChartDialog()
{
    // A run still going stops before its next patch; its questions to the
    // operator are answered meanwhile, so the worker can end.
    if (run->running()) {
        run->cancel();
        while (run->running())
            QApplication::processEvents(QEventLoop::AllEvents, kRunEndPollMs);
    }
    run.reset();
    delete events;
    // The report window refers to the comparison and the view.
    delete comparisonWindow;
}

void ChartDialog::placeBeside(const QWidget* window)
{
    if (!window)
        return;
    adjustSize();
    const QRect frame = window->frameGeometry();
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    QPoint at(frame.right() + kGapToWindow, frame.top());
    if (available.isValid() && at.x() + width() > available.right())
        at.setX(std::max(available.left(), available.right() - width()));
    if (available.isValid() && at.y() + height() > available.bottom())
        at.setY(std::max(available.top(), available.bottom() - height()));
    move(at);
}

void ChartDialog::refresh()
{
    setWindowTitle(QString::fromStdString(chart.title()));
    updateNextPatchText();
    view->update();
}

void ChartDialog::showPatchMeasured(int measuredPatch, int nextPatch)
{
    view->repaintPatch(measuredPatch);
    view->repaintPatch(nextPatch);
    updateNextPatchText();
    // A comparison on screen takes in the new patch.
    if (compareLogic->recompare()) {
        view->update();
        if (comparisonWindow)
            comparisonWindow->refresh();
    }
}

void ChartDialog::compareWithFile()
{
    if (!compareLogic->compare())
        return;
    const QString formula =
        QString::fromLatin1(deltaEFormulaName(compareLogic->comparison().formula));
    const QString reference =
        QString::fromStdString(compareLogic->referencePath()).section('/', -1);
    legend->setCaption(formula + " of each patch against " + reference);
    legend->show();
    view->showDifferences(compareLogic.get());
    if (!comparisonWindow) {
        comparisonWindow = new ChartComparisonView(*compareLogic, *view, *legend, this);
        connect(comparisonWindow, &QDialog::finished, this, [this] { endComparison(); });
    }
    comparisonWindow->refresh();
    comparisonWindow->show();
    comparisonWindow->raise();
}

void ChartDialog::endComparison()
{
    compareLogic->close();
    view->showDifferences(nullptr);
    legend->hide();
    if (comparisonWindow) {
        comparisonWindow->deleteLater();
        comparisonWindow = nullptr;
    }
}

void ChartDialog::showTableControls(bool tableInstrument)
{
    tableControls = tableInstrument;
    xyAuto->setVisible(tableControls && !run->running());
}

void ChartDialog::startAutoRun()
{
    if (run->running())
        return;
    // Remote mode ends and the other paths to the instrument rest before the
    // worker sends its first command.
    Q_EMIT autoRunChanged(true);
    for (QPushButton* button : {xyAuto, load, save})
        button->hide();
    view->setEnabled(false); // a click must not move the mark under the run
    runProgress->setText(kAligningText);
    runProgress->show();
    run->start(); // on failure the run has ended already (endAutoRun)
}

void ChartDialog::cancelAutoRun()
{
    run->cancel();
    cancel->setEnabled(false);
    runProgress->setText(kCancellingText);
}

void ChartDialog::endAutoRun(const QString& summary)
{
    run->join();
    cancel->hide();
    for (QPushButton* button : {load, save})
        button->show();
    xyAuto->setVisible(tableControls);
    view->setEnabled(true);
    runProgress->setText(summary);
    runProgress->setVisible(!summary.isEmpty());
    refresh();
    Q_EMIT autoRunChanged(false);
}

void ChartDialog::updateNextPatchText()
{
    const int current = chart.currentPatch();
    QString text;
    if (current < 0)
        text = kNoPatchChosenText;
    else if (current >= chart.patchCount())
        text = "Every patch is measured";
    else
        text = "Next patch: " + QString::fromStdString(chart.names().name(current));
    nextPatch->setText(text);
}

} // namespace lt
