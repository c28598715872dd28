#include "ui/charts/ChartDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/charts/ChartCompareLogic.h"
#include "core/charts/ChartSession.h"
#include "core/station/Workstation.h"
#include "ui/charts/ChartComparisonView.h"
#include "ui/charts/ChartPatchView.h"
#include "ui/charts/DifferenceLegend.h"

namespace lt {

namespace {

constexpr int kGapToWindow = 8; // [px] between the main window and the dialog
constexpr int kLabelSlack = 12; // [px]
constexpr const char* kNoPatchChosenText = "Click the patch to measure next";

QPushButton* addButton(QHBoxLayout* row, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(caption);
    row->addWidget(button);
    return button;
}

} // namespace

// Carries the cycle's news of a measured patch to the dialog on the
// user-interface thread; dropped when the dialog is gone by then.
struct ChartDialog::MeasurementForwarder : MeasurementObserver {
    explicit MeasurementForwarder(ChartDialog* owner) : dialog(owner) { }

    void chartPatchMeasured(int measuredPatch, int nextPatch) override
    {
        QPointer<ChartDialog> target = dialog;
        QMetaObject::invokeMethod(
            dialog,
            [target, measuredPatch, nextPatch] {
                if (target)
                    target->showPatchMeasured(measuredPatch, nextPatch);
            },
            Qt::AutoConnection);
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
    QPushButton* load = addButton(buttons, "Load", this);
    QPushButton* save = addButton(buttons, "Save", this);
    compare = addButton(buttons, "Compare…", this);
    compare->setObjectName("Compare");
    compare->setToolTip("Compare the measured patches with another chart file");
    xyAuto = addButton(buttons, "XYAuto", this);
    cancel = addButton(buttons, "Cancel", this);
    xyAuto->hide();
    cancel->hide();
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

    forwarder = std::make_unique<MeasurementForwarder>(this);
    station.addObserver(forwarder.get());
    refresh();
}

ChartDialog::~ChartDialog()
{
    station.removeObserver(forwarder.get());
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
