#include "ui/metrics/TaviDens.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/charts/ChartMeasurement.h"
#include "core/metrics/ColorMetricsLogic.h"
#include "core/spreadsheet/ExcelExport.h"
#include "core/station/DeviceTypes.h"
#include "core/station/InstrumentPageLink.h"
#include "core/station/Workstation.h"
#include "ui/charts/ChartDialog.h"
#include "ui/metrics/DensityParametersDialog.h"
#include "ui/metrics/MeasurementListModel.h"
#include "ui/metrics/MeasurementListView.h"
#include "ui/metrics/ValueDisplayWidget.h"
#include "ui/shell/StationEvents.h"
#include "ui/spreadsheet/ExcelAutomationDialog.h"

namespace {

constexpr const char* kChartNames[] = {"IT8.7/3", "TQ ICC CMYK", "TQ ICC RGB"};
constexpr const char* kMetricNames[] = {"ProcessColor", "Lab", "XYZ", "SpotColor"};
constexpr const char* kExcelTip =
    "Open the spreadsheet export: every new measurement goes into cells of a workbook";

} // namespace

struct CTaviDens::Private {
    explicit Private(lt::Workstation& workstation)
        : station(workstation), logic(workstation), charts(workstation)
    {
    }

    lt::Workstation& station;
    lt::ColorMetricsLogic logic;
    lt::ChartMeasurement charts;
    lt::ChartDialog* chartDialog = nullptr;
    QPushButton* startChart = nullptr;
    lt::InstrumentPageLink* instrumentPage = nullptr;
    StationEvents* events = nullptr;
    // The spreadsheet export keeps its client while the dialog is closed.
    std::unique_ptr<lt::ExcelExport> excelExport;
    ExcelAutomationDialog* excelDialog = nullptr;

    lt::MeasurementListModel* model = nullptr;
    lt::MeasurementListView* list = nullptr;
    QLabel* status = nullptr;
    lt::ValueDisplayWidget* display = nullptr;
    QPushButton* white = nullptr;
    QPushButton* solid = nullptr;
    QPushButton* save = nullptr;
    QRadioButton* absolute = nullptr;
    QRadioButton* relative = nullptr;
    QComboBox* chartType = nullptr;
    QButtonGroup* metrics = nullptr;
};

namespace {

QPushButton* addButton(QLayout* layout, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(caption);
    layout->addWidget(button);
    return button;
}

} // namespace

CTaviDens::CTaviDens(lt::Workstation& workstation, QWidget* parent)
    : QWidget(parent), d(new Private(workstation))
{
    // The value display, and beside it what it shows.
    d->display = new lt::ValueDisplayWidget([this] { return d->logic.valueDisplay(); }, this);
    auto* metricGroup = new QGroupBox("Metric", this);
    auto* metricLayout = new QVBoxLayout(metricGroup);
    d->metrics = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(kMetricNames[i], metricGroup);
        radio->setObjectName(kMetricNames[i]);
        metricLayout->addWidget(radio);
        d->metrics->addButton(radio, i + 1);
    }
    d->metrics->button(static_cast<int>(d->logic.metric()))->setChecked(true);
    connect(d->metrics, &QButtonGroup::idClicked, this, [this](int id) {
        d->logic.setMetric(lt::metricFromSetting(id));
        d->display->update();
    });
    auto* top = new QHBoxLayout;
    top->addWidget(d->display, 1);
    top->addWidget(metricGroup, 0, Qt::AlignTop);

    // Calibration and density mode.
    auto* modeGroup = new QGroupBox("Density", this);
    auto* modeLayout = new QHBoxLayout(modeGroup);
    d->absolute = new QRadioButton("Absolute", modeGroup);
    d->absolute->setObjectName("Absolute");
    d->relative = new QRadioButton("Relative", modeGroup);
    d->relative->setObjectName("Relative");
    modeLayout->addWidget(d->absolute);
    modeLayout->addWidget(d->relative);
    d->white = addButton(modeLayout, "White", modeGroup);
    d->solid = addButton(modeLayout, "Solid", modeGroup);
    connect(d->absolute, &QRadioButton::clicked, this, [this] { setDensityMode(true); });
    connect(d->relative, &QRadioButton::clicked, this, [this] { setDensityMode(false); });
    connect(d->white, &QPushButton::clicked, this, [this] { d->logic.calibrateWhite(); });
    connect(d->solid, &QPushButton::clicked, this, [this] { d->logic.calibrateSolid(); });

    auto* tools = new QHBoxLayout;
    tools->addWidget(modeGroup);
    QPushButton* deltaE = addButton(tools, "dE", this);
    auto* formula = new QComboBox(this);
    formula->setObjectName("DeltaEFormula");
    formula->setToolTip("The formula of the colour difference \"dE\" shows");
    for (int i = 0; i < lt::kDeltaEFormulaCount; ++i)
        formula->addItem(QString::fromStdString(
            std::string(lt::deltaEFormulaName(lt::deltaEFormulaFromIndex(i)))));
    formula->setCurrentIndex(static_cast<int>(d->logic.deltaEFormula()));
    tools->addWidget(formula);
    connect(formula, &QComboBox::activated, this,
        [this](int index) { d->logic.setDeltaEFormula(lt::deltaEFormulaFromIndex(index)); });
    QPushButton* spot = addButton(tools, "InitSpotClr", this);
    QPushButton* parameter = addButton(tools, "Parameter", this);
    tools->addStretch(1);
    connect(deltaE, &QPushButton::clicked, this, [this] { compareSelectedRows(); });
    connect(spot, &QPushButton::clicked, this, [this] { d->logic.requestSpotColor(); });
    connect(parameter, &QPushButton::clicked, this, [this] { editDensityParameters(); });

    // Charts and spreadsheet.
    auto* chartGroup = new QGroupBox("Chart", this);
    auto* chartLayout = new QHBoxLayout(chartGroup);
    d->chartType = new QComboBox(chartGroup);
    d->chartType->setObjectName("ChartType");
    for (const char* name : kChartNames)
        d->chartType->addItem(name);
    d->chartType->setCurrentIndex(std::clamp(d->logic.chartType(), 0, 2));
    chartLayout->addWidget(d->chartType);
    connect(d->chartType, &QComboBox::activated, this,
        [this](int index) { d->logic.setChartType(index); });
    d->startChart = addButton(chartLayout, lt::kStartChartCaption, chartGroup);
    d->startChart->setToolTip("Open the chosen chart and measure it patch by patch");
    connect(d->startChart, &QPushButton::clicked, this, [this] { toggleChart(); });
    QPushButton* excel = addButton(chartLayout, "Excel", chartGroup);
    excel->setToolTip(kExcelTip);
    connect(excel, &QPushButton::clicked, this, [this] { openSpreadsheetExport(); });

    d->status = new QLabel(this);
    d->status->setObjectName("status");
    d->status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    d->status->setMinimumHeight(d->status->fontMetrics().height() + 6);

    d->model = new lt::MeasurementListModel(workstation.list(), this);
    d->list = new lt::MeasurementListView(d->model, this);
    d->list->setObjectName("List23");

    auto* bottom = new QHBoxLayout;
    QPushButton* clear = addButton(bottom, "ClearList", this);
    d->save = addButton(bottom, "SaveList", this);
    bottom->addStretch(1);
    bottom->addWidget(chartGroup);
    connect(clear, &QPushButton::clicked, this, [this] { d->logic.clearList(); });
    connect(d->save, &QPushButton::clicked, this, [this] { d->logic.saveList(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(tools);
    layout->addWidget(d->status);
    layout->addWidget(d->list, 1);
    layout->addLayout(bottom);

    setDensityMode(true);
    d->status->setText(QString::fromLatin1(d->logic.statusText().c_str()));
    d->events = new StationEvents(workstation, this);
    connect(d->events, &StationEvents::statusTextChanged, d->status, &QLabel::setText);
    connect(d->events, &StationEvents::sampleMeasured, d->display, qOverload<>(&QWidget::update));
    connect(d->events, &StationEvents::valueAreaChanged, d->display, qOverload<>(&QWidget::update));
    // A new row is on top: show it there. The large display follows the
    // newest row, and shows only its labels once the list is cleared.
    connect(d->model, &QAbstractItemModel::rowsInserted, this, [this] { d->list->scrollToTop(); });
    connect(d->model, &QAbstractItemModel::modelReset, d->display, qOverload<>(&QWidget::update));
    connect(d->model, &QAbstractItemModel::rowsRemoved, d->display, qOverload<>(&QWidget::update));
}

CTaviDens::~CTaviDens()
{
    // The dialog's transfer refers to the export: it goes first.
    delete d->excelDialog;
    delete d->chartDialog;
    d->charts.stop();
    delete d;
}

void CTaviDens::openSpreadsheetExport()
{
    if (!d->excelExport)
        d->excelExport = std::make_unique<lt::ExcelExport>(d->station.settings(), d->station.op());
    if (!d->excelDialog)
        d->excelDialog = new ExcelAutomationDialog(d->station, *d->excelExport, this);
    d->excelDialog->show();
    d->excelDialog->raise();
    d->excelDialog->activateWindow();
}

void CTaviDens::setInstrumentPage(lt::InstrumentPageLink* instrumentPage)
{
    d->instrumentPage = instrumentPage;
}

QPushButton* CTaviDens::chartButton() const
{
    return d->startChart;
}

void CTaviDens::followDeviceType(int deviceType)
{
    if (d->chartDialog)
        d->chartDialog->showTableControls(lt::deviceType(deviceType).onXyTable);
}

lt::ColorMetricsLogic& CTaviDens::logic()
{
    return d->logic;
}

bool CTaviDens::saveList()
{
    return d->logic.saveList();
}

void CTaviDens::undoClearList()
{
    d->logic.undoClearList();
}

QPushButton* CTaviDens::whiteButton() const
{
    return d->white;
}

QPushButton* CTaviDens::solidButton() const
{
    return d->solid;
}

QPushButton* CTaviDens::saveListButton() const
{
    return d->save;
}

void CTaviDens::setDensityMode(bool absolute)
{
    d->absolute->setChecked(absolute);
    d->relative->setChecked(!absolute);
    d->white->setEnabled(!absolute);
    d->solid->setEnabled(!absolute);
    d->logic.setDensityMode(absolute ? lt::DensityMode::Absolute : lt::DensityMode::Relative);
}

void CTaviDens::compareSelectedRows()
{
    std::vector<int> rows;
    for (const QModelIndex& index : d->list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    d->logic.compareRows(rows);
}

void CTaviDens::editDensityParameters()
{
    d->logic.editDensityParameters(d->instrumentPage, [this] {
        lt::DensityParametersDialog dialog(d->station, this);
        dialog.exec();
    });
}

void CTaviDens::toggleChart()
{
    if (d->chartDialog) {
        d->chartType->setEnabled(true);
        d->startChart->setText(lt::kRestartChartCaption);
        delete d->chartDialog;
        d->chartDialog = nullptr;
        d->charts.stop();
        return;
    }
    lt::ChartSession* session = d->charts.start(d->instrumentPage);
    if (!session)
        return;
    d->chartType->setEnabled(false);
    d->chartDialog = new lt::ChartDialog(d->station, *session, this);
    // The run's worker alone talks to the instrument: remote mode ends, and
    // the chart cannot be closed under it.
    connect(d->chartDialog, &lt::ChartDialog::autoRunChanged, this, [this](bool running) {
        if (running && d->instrumentPage)
            d->instrumentPage->endLiveReading();
        d->startChart->setEnabled(!running);
        Q_EMIT chartRunChanged(running);
    });
    d->chartDialog->placeBeside(window());
    d->chartDialog->show();
    d->startChart->setText(lt::kStopChartCaption);
}

lt::ChartDialog* CTaviDens::chartDialog() const
{
    return d->chartDialog;
}
