#include "ui/shell/HVSheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/graph/SpectrumGraphWidget.h"
#include "ui/instrument_page/TaviLight.h"
#include "ui/metrics/TaviDens.h"
#include "ui/service/Service.h"
#include "ui/shell/ComingPage.h"
#include "ui/shell/SimulatorControl.h"
#include "ui/shell/SimulatorMenu.h"
#include "ui/shell/SimulatorPanel.h"

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

CHVSheet::CHVSheet(lt::Workstation& workstation, ltsim::Simulator* simulator,
    lt::InstrumentController::Beeper beeper, QWidget* parent)
    : QWidget(parent), pages(new QTabWidget(this))
{
    setWindowTitle(QString::fromLatin1(kMainWindowTitle));
    setWindowIcon(programIcon());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    instrument = new CTaviLight(workstation, pages, std::move(beeper));
    pages->addTab(instrument, QStringLiteral("Spectrum"));
    auto* metrics = new CTaviDens(workstation, pages);
    metrics->setInstrumentPage(instrument);
    pages->addTab(metrics, QStringLiteral("Color Metrics"));
    pages->addTab(
        new ComingPage(
            QStringLiteral("Quality control of samples against reference sets with tolerances."),
            pages),
        QStringLiteral("Quality Control"));
    service = new CService(workstation, pages);
    service->setInstrumentPage(instrument);
    pages->addTab(service, QStringLiteral("Service"));
    connect(service, &CService::downloadRunningChanged, this, &CHVSheet::downloadRunning);

    if (simulator) {
        // Menu and strip change the simulator through one control and both
        // show what it reports back.
        auto* control = new SimulatorControl(*simulator, this);
        auto* bar = new QMenuBar(this);
        simulation = new SimulatorMenu(*control, this);
        bar->addMenu(simulation);
        layout->setMenuBar(bar);
        panel = new SimulatorPanel(*control, this);
        layout->addWidget(panel);
        control->followDeviceType(instrument->controller().deviceType());
        connect(instrument, &CTaviLight::deviceTypeChanged, control,
            &SimulatorControl::followDeviceType);
    }
    layout->addWidget(pages);
    qApp->installEventFilter(this);
    resize(960, 680);
}

CHVSheet::~CHVSheet()
{
    qApp->removeEventFilter(this);
}

void CHVSheet::downloadRunning(bool running)
{
    const int serviceTab = pages->indexOf(service);
    for (int tab = 0; tab < pages->count(); ++tab) {
        if (tab == serviceTab)
            continue;
        pages->setTabEnabled(tab, !running);
        pages->setTabToolTip(
            tab, running ? QString::fromLatin1(kMeasuringRestsDuringDownload) : QString());
    }
}

void CHVSheet::closeEvent(QCloseEvent* event)
{
    if (service->controller().downloadRunning() &&
        QMessageBox::warning(this, QString::fromLatin1(kMainWindowTitle),
            QString::fromLatin1(kCloseDuringDownload), QMessageBox::Ok | QMessageBox::Cancel,
            QMessageBox::Cancel) != QMessageBox::Ok) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool CHVSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && instrument && instrument->graph()->isZoomed())
        instrument->graph()->endZoom();
    return QWidget::eventFilter(watched, event);
}
