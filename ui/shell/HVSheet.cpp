#include "core/common/WholeFile.h"
#include "core/metrics/ColorMetricsLogic.h"
#include "core/metrics/ListJournal.h"
#include "core/station/FailureText.h"
#include "core/station/Operator.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtStatus.h"

#include "ui/shell/HVSheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/graph/SpectrumGraphWidget.h"
#include "ui/instrument_page/TaviLight.h"
#include "ui/metrics/TaviDens.h"
#include "ui/qc/QC.h"
#include "ui/service/Service.h"
#include "ui/shell/ButtonTips.h"
#include "ui/shell/ComingPage.h"
#include "ui/shell/ExchangeActivity.h"
#include "ui/shell/MainMenuBar.h"
#include "ui/shell/OnThreadOf.h"
#include "ui/shell/SimulatorControl.h"
#include "ui/shell/SimulatorMenu.h"
#include "ui/shell/SimulatorPanel.h"
#include "ui/shell/SimulatorTablePanel.h"

namespace {

constexpr QSize kFirstWindowSize {960, 680};
constexpr const char* kUnsavedRowsQuestion =
    "The measurement list holds %1 row(s) that have not been saved.\n"
    "Save the list before closing?";
constexpr const char* kRestoreQuestion = "The last session ended without closing the window.\n"
                                         "Restore its measurement list of %1 row(s)?";

} // namespace

static void loadIconResources()
{
    Q_INIT_RESOURCE(icons);
}

QIcon programIcon()
{
    loadIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/ltrakw-%1.png").arg(size), QSize(size, size));
    return icon;
}

CHVSheet::CHVSheet(lt::Workstation& workstation, SimulatorLink simulator,
    lt::InstrumentController::Beeper beeper, QWidget* parent)
    : QWidget(parent), station(workstation),
      configDir(lt::directoryOfPath(workstation.settings().applicationFile().path())),
      pages(new QTabWidget(this))
{
    setWindowTitle(QString::fromLatin1(kMainWindowTitle));
    setWindowIcon(programIcon());
    // The list a crashed run left behind is read before this run's copy
    // can replace it.
    leftBehind = lt::ListJournal::leftBehind(configDir);
    journal = std::make_unique<lt::ListJournal>(station.list(), configDir);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);

    instrument = new CTaviLight(workstation, pages, std::move(beeper));
    pages->addTab(instrument, QStringLiteral("Spectrum"));
    metrics = new CTaviDens(workstation, pages);
    metrics->setInstrumentPage(instrument);
    pages->addTab(metrics, QStringLiteral("Color Metrics"));
    quality = new QC(workstation, pages);
    pages->addTab(quality, QStringLiteral("Quality Control"));
    service = new CService(workstation, pages);
    service->setInstrumentPage(instrument);
    pages->addTab(service, QStringLiteral("Service"));
    menuBar = new MainMenuBar(*instrument, *metrics, this);
    layout->setMenuBar(menuBar);
    if (simulator.simulator) {
        // Menu and strip change the simulator through one control and both
        // show what it reports back.
        auto* control = new SimulatorControl(*simulator.simulator, simulator.port, this);
        simulation = new SimulatorMenu(*control, this);
        menuBar->insertMenu(menuBar->actions().last(), simulation);
        panel = new SimulatorPanel(*control, this);
        layout->addWidget(panel);
        tablePanel = new SimulatorTablePanel(*control, this);
        layout->addWidget(tablePanel);
        tablePanel->setVisible(control->model() == ltsim::DeviceKind::LumatrakA);
        connect(
            control, &SimulatorControl::modelChanged, tablePanel, [this](ltsim::DeviceKind model) {
                tablePanel->setVisible(model == ltsim::DeviceKind::LumatrakA);
            });
        control->followDeviceType(instrument->controller().deviceType());
        connect(instrument, &CTaviLight::deviceTypeChanged, control,
            &SimulatorControl::followDeviceType);
        panel->showPagePort(instrument->controller().commNumber());
        for (int number : {1, 2})
            connect(instrument->comRadio(number), &QRadioButton::toggled, panel,
                [this, number](bool on) {
                    if (on)
                        panel->showPagePort(number);
                });
    }
    layout->addWidget(pages, 1);

    statusLine = new QStatusBar(this);
    failure = new QLabel(statusLine);
    failure->setObjectName(QStringLiteral("failure"));
    failure->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusLine->addWidget(failure, 1);
    layout->addWidget(statusLine);

    activity = new ExchangeActivity(station.exchanges(), statusLine, this);
    connect(activity, &ExchangeActivity::restingChanged, this, &CHVSheet::showResting);
    instrument->setExchangeActivity(activity);
    connect(service, &CService::downloadRunningChanged, this, [this](bool running) {
        if (running)
            restingHome = service;
        activity->holdInstrument(
            running ? QString::fromLatin1(kMeasuringRestsDuringDownload) : QString());
    });
    connect(metrics, &CTaviDens::chartRunChanged, this, [this](bool running) {
        if (running)
            restingHome = metrics;
        activity->holdInstrument(
            running ? QString::fromLatin1(kMeasuringRestsDuringChartRun) : QString());
    });
    connect(instrument, &CTaviLight::deviceTypeChanged, metrics, &CTaviDens::followDeviceType);

    // Failures reach the status line on this thread, whichever thread measured.
    instrument->controller().setOutcomeHandler([this](const lt::ExchangeOutcome& outcome) {
        onThreadOf(this, [this, outcome] { reportOutcome(outcome); });
    });
    addButtonTips(this);
    qApp->installEventFilter(this);
    resize(kFirstWindowSize);
    restoreWindow();
}

CHVSheet::~CHVSheet()
{
    qApp->removeEventFilter(this);
}

void CHVSheet::showResting(bool resting)
{
    // An exchange keeps the tab it was started from; the download its own.
    if (resting && !restingHome)
        restingHome = pages->currentWidget();
    const int homeTab = pages->indexOf(restingHome);
    for (int tab = 0; tab < pages->count(); ++tab) {
        if (tab == homeTab && resting)
            continue;
        pages->setTabEnabled(tab, !resting);
        pages->setTabToolTip(tab, resting ? activity->why() : QString());
    }
    if (!resting)
        restingHome = nullptr;
}

bool CHVSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && instrument && instrument->graph()->isZoomed())
        instrument->graph()->endZoom();
    return QWidget::eventFilter(watched, event);
}

void CHVSheet::showFailure(const QString& text)
{
    failure->setText(text);
    failure->setStyleSheet(QStringLiteral("color: #b00000;"));
}

void CHVSheet::clearFailure()
{
    failure->clear();
}

QString CHVSheet::failureText() const
{
    return failure->text();
}

void CHVSheet::reportOutcome(const lt::ExchangeOutcome& outcome)
{
    if (outcome.measurement)
        instrument->graph()->setStale(outcome.failed);
    if (!outcome.failed) {
        clearFailure();
        return;
    }
    const std::string words = outcome.problem.empty()
        ? lt::failureText(outcome.status, outcome.port, outcome.measurement)
        : outcome.problem;
    showFailure(QString::fromLatin1(outcome.action) + QStringLiteral(": ") +
        QString::fromLatin1(words.c_str()));
}

void CHVSheet::offerLeftBehindList()
{
    std::vector<lt::MeasurementRow> rows;
    rows.swap(leftBehind);
    if (rows.empty())
        return;
    const QString question = QString::fromLatin1(kRestoreQuestion).arg(rows.size());
    if (station.op().showMessage(question.toStdString(), "", lt::MessageButtons::YesNo,
            lt::MessageIcon::Question) == lt::MessageAnswer::Yes)
        lt::restoreListRows(station.record(), rows);
}

bool CHVSheet::unsavedRowsMayGo()
{
    if (!metrics->logic().hasUnsavedRows())
        return true;
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kMainWindowTitle),
        QString::fromLatin1(kUnsavedRowsQuestion).arg(station.list().rowCount()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return metrics->saveList();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void CHVSheet::closeEvent(QCloseEvent* event)
{
    // An exchange still running is cancelled; the window closes once it ended.
    if (station.exchanges().running())
        activity->finishRunningExchange();
    // A download cut off by the end of the program can leave the instrument
    // without a working program: the operator is asked first.
    if (service->controller().downloadRunning() &&
        QMessageBox::warning(this, QString::fromLatin1(kMainWindowTitle),
            QString::fromLatin1(kCloseDuringDownload), QMessageBox::Ok | QMessageBox::Cancel,
            QMessageBox::Cancel) != QMessageBox::Ok) {
        event->ignore();
        return;
    }
    if (!unsavedRowsMayGo()) {
        event->ignore();
        return;
    }
    rememberWindow();
    // An orderly end: nothing is left to restore at the next start.
    journal->discard();
    event->accept();
}

void CHVSheet::restoreWindow()
{
    lt::Settings& settings = station.settings();
    const std::string geometry = settings.load(lt::keys::kWindowGeometry);
    if (!geometry.empty())
        restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(geometry)));
    pages->setCurrentIndex(settings.load(lt::keys::kLastTab));
}

void CHVSheet::rememberWindow()
{
    lt::Settings& settings = station.settings();
    settings.store(lt::keys::kWindowGeometry, saveGeometry().toBase64().toStdString());
    settings.store(lt::keys::kLastTab, pages->currentIndex());
}
