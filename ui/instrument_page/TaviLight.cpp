// The program's headers come before Qt's: Qt's "slots" keyword macro would
// otherwise rewrite members of that name.
#include "core/common/AppPaths.h"
#include "core/graph/SpectrumGraphPicture.h"
#include "core/station/DeviceTypes.h"
#include "core/station/Workstation.h"
#include "ui/shell/ToneGenerator.h"

#include "ui/instrument_page/TaviLight.h"

#include <algorithm>
#include <vector>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/graph/SpectrumGraphWidget.h"
#include "ui/shell/ExchangeActivity.h"
#include "ui/shell/OnThreadOf.h"
#include "ui/shell/RestingControls.h"
#include "ui/shell/StationEvents.h"

namespace {

constexpr int kControlColumnWidth = 250; // [px]

QString latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CTaviLight::CTaviLight(
    lt::Workstation& workstation, QWidget* parent, lt::InstrumentController::Beeper beeper)
    : QWidget(parent), station(workstation)
{
    if (!beeper)
        beeper = [](unsigned long frequency, unsigned long duration) {
            ToneGenerator::instance().play(frequency, duration);
        };
    buildControls();
    logic = std::make_unique<lt::InstrumentController>(station, std::move(beeper));
    // Changes made on the exchange worker are shown on this thread.
    logic->setChangeHandler([this] { onThreadOf(this, [this] { showState(); }); });
    pollTimer.setSingleShot(true);
    pollTimer.setInterval(static_cast<int>(lt::kRemotePollMs));
    connect(&pollTimer, &QTimer::timeout, this, [this] { logic->remotePoll(); });
    events = new StationEvents(station, this);
    connect(events, &StationEvents::graphChanged, this, &CTaviLight::plotRemission);
    connect(events, &StationEvents::instrumentTypeChanged, this, [this](int instrumentType) {
        showState();
        Q_EMIT deviceTypeChanged(instrumentType);
    });
    showState();
}

CTaviLight::~CTaviLight()
{
    pollTimer.stop();
}

void CTaviLight::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    title = new QLabel(this);
    layout->addWidget(title);

    auto* body = new QHBoxLayout;
    layout->addLayout(body, 1);
    // The controls keep a narrow column; the graph takes the rest.
    auto* sidePanel = new QWidget(this);
    sidePanel->setFixedWidth(kControlColumnWidth);
    auto* side = new QVBoxLayout(sidePanel);
    side->setContentsMargins(0, 0, 0, 0);
    body->addWidget(sidePanel);

    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(new QLabel(QStringLiteral("Device Type :"), this));
    deviceType = new QComboBox(this);
    for (const lt::DeviceType& type : lt::kDeviceTypes)
        deviceType->addItem(QString::fromLatin1(type.name));
    deviceRow->addWidget(deviceType);
    side->addLayout(deviceRow);

    auto* portRow = new QHBoxLayout;
    com1 = new QRadioButton(QStringLiteral("COM1"), this);
    com2 = new QRadioButton(QStringLiteral("COM2"), this);
    comGroup = new QButtonGroup(this);
    comGroup->addButton(com1, 1);
    comGroup->addButton(com2, 2);
    portRow->addWidget(com1);
    portRow->addWidget(com2);
    side->addLayout(portRow);

    initDevice = new QPushButton(QStringLiteral("Init Device"), this);
    acquire = new QPushButton(QStringLiteral("Acquire"), this);
    remote = new QPushButton(QStringLiteral("Remote Off"), this);
    side->addWidget(initDevice);
    side->addWidget(acquire);
    side->addWidget(remote);

    reflection = new QRadioButton(QStringLiteral("Reflection"), this);
    transmission = new QRadioButton(QStringLiteral("Transmission"), this);
    emission = new QRadioButton(QStringLiteral("Emission"), this);
    emission->setVisible(false);
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(reflection, lt::MeasureReflection);
    modeGroup->addButton(transmission, lt::MeasureTransmission);
    modeGroup->addButton(emission, lt::MeasureEmission);
    side->addWidget(reflection);
    side->addWidget(transmission);
    side->addWidget(emission);
    beep = new QCheckBox(QStringLiteral("Beep"), this);
    side->addWidget(beep);

    parameterGroup = new QGroupBox(QStringLiteral("Parameter:"), this);
    auto* form = new QFormLayout(parameterGroup);
    integrationTime = new QComboBox(parameterGroup);
    for (int time : lt::kIntegrationTimesMs)
        integrationTime->addItem(QString::number(time));
    gain = new QComboBox(parameterGroup);
    for (int step : lt::kGainSteps)
        gain->addItem(QString::number(step));
    scans = new QLineEdit(parameterGroup);
    lowLimit = new QLineEdit(parameterGroup);
    highLimit = new QLineEdit(parameterGroup);
    illumination = new QComboBox(parameterGroup);
    for (const char* name : lt::kPageIlluminations)
        illumination->addItem(QString::fromLatin1(name));
    form->addRow(QStringLiteral("Integr. Time (ms)"), integrationTime);
    form->addRow(QStringLiteral("Gain"), gain);
    form->addRow(QStringLiteral("No of Scans"), scans);
    form->addRow(QStringLiteral("Limit Low"), lowLimit);
    form->addRow(QStringLiteral("Limit High"), highLimit);
    form->addRow(QStringLiteral("Illumination"), illumination);
    darkRef = new QPushButton(QStringLiteral("DarkRef"), parameterGroup);
    zeroRef = new QPushButton(QStringLiteral("ZeroRef"), parameterGroup);
    newParameter = new QPushButton(QStringLiteral("New Parameter"), parameterGroup);
    transmissionToggle = new QPushButton(QStringLiteral("Transmission"), parameterGroup);
    auto* referenceRow = new QGridLayout;
    referenceRow->addWidget(darkRef, 0, 0);
    referenceRow->addWidget(zeroRef, 0, 1);
    referenceRow->addWidget(newParameter, 1, 0);
    referenceRow->addWidget(transmissionToggle, 1, 1);
    form->addRow(referenceRow);
    side->addWidget(parameterGroup);
    side->addStretch(1);

    auto* plotColumn = new QVBoxLayout;
    graphView = new SpectrumGraphWidget(
        QString::fromStdString(lt::dataFile(lt::kWelcomePictureName)), this);
    plotColumn->addWidget(graphView, 1);
    auto* valueRow = new QHBoxLayout;
    valueCaption = new QLabel(QStringLiteral("Value:"), this);
    valueLine = new QLabel(this);
    valueLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    valueRow->addWidget(valueCaption);
    valueRow->addWidget(valueLine, 1);
    plotColumn->addLayout(valueRow);
    body->addLayout(plotColumn, 1);

    connect(initDevice, &QPushButton::clicked, this, [this] { logic->initDevice(); });
    connect(acquire, &QPushButton::clicked, this, [this] { logic->acquire(); });
    connect(remote, &QPushButton::clicked, this, [this] { logic->toggleRemote(); });
    connect(deviceType, &QComboBox::activated, this, [this](int index) {
        logic->selectDeviceType(index);
        Q_EMIT deviceTypeChanged(index);
    });
    connect(comGroup, &QButtonGroup::idClicked, this,
        [this](int number) { logic->selectPort(number); });
    connect(modeGroup, &QButtonGroup::idClicked, this,
        [this](int mode) { logic->selectMeasureMode(mode); });
    connect(
        transmissionToggle, &QPushButton::clicked, this, [this] { logic->toggleTransmission(); });
    connect(beep, &QCheckBox::toggled, this, [this](bool on) { logic->setBeep(on); });
    connect(integrationTime, &QComboBox::activated, this,
        [this](int index) { logic->selectIntegrationTime(index); });
    connect(gain, &QComboBox::activated, this, [this](int index) { logic->selectGain(index); });
    connect(illumination, &QComboBox::activated, this,
        [this](int index) { logic->selectIllumination(index); });
    connect(scans, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const auto replacement = logic->editScans(text.toStdString())) {
            scans->setText(QString::fromStdString(*replacement));
            logic->editScans(*replacement);
        }
    });
    connect(lowLimit, &QLineEdit::textEdited, this,
        [this](const QString& text) { logic->editLowLimit(text.toStdString()); });
    connect(highLimit, &QLineEdit::textEdited, this,
        [this](const QString& text) { logic->editHighLimit(text.toStdString()); });
    connect(newParameter, &QPushButton::clicked, this, [this] { logic->newParameter(); });
    connect(darkRef, &QPushButton::clicked, this, [this] { logic->darkReference(); });
    connect(zeroRef, &QPushButton::clicked, this, [this] { logic->zeroReference(); });
}

void CTaviLight::setExchangeActivity(ExchangeActivity* exchangeActivity)
{
    activity = exchangeActivity;
    connect(activity, &ExchangeActivity::restingChanged, this, &CTaviLight::showState);
    connect(activity, &ExchangeActivity::exchangeFinished, this, &CTaviLight::showState);
}

QList<QWidget*> CTaviLight::exchangeControls() const
{
    return {deviceType, com1, com2, initDevice, acquire, remote, reflection, transmission, emission,
        integrationTime, gain, scans, lowLimit, highLimit, illumination, darkRef, zeroRef,
        newParameter, transmissionToggle};
}

void CTaviLight::showState()
{
    if (!logic)
        return;
    // While an exchange runs the worker alone changes the controller: the
    // page shows it again when the exchange has ended.
    if (logic->exchangeRunning()) {
        if (activity && activity->resting())
            restControls(exchangeControls(), activity->why());
        return;
    }
    showControls();
    if (activity && activity->resting())
        restControls(exchangeControls(), activity->why());
    else
        releaseControls(exchangeControls());
}

void CTaviLight::showControls()
{
    const lt::InstrumentController& c = *logic;
    const lt::PageControls& controls = c.controls();
    if (!showing) {
        // Texts that only the operator changes afterwards.
        showing = true;
        scans->setText(QString::number(c.scans()));
        lowLimit->setText(QString::number(c.lowLimit()));
        highLimit->setText(QString::number(c.highLimit()));
        beep->setChecked(c.beepOn());
    }
    title->setText(QStringLiteral("%1   %2").arg(
        QString::fromLatin1(lt::kSpectrometerTitle), latin1(c.identity())));
    {
        const QSignalBlocker blockDevice(deviceType);
        deviceType->setCurrentIndex(c.deviceType());
        const QSignalBlocker blockTime(integrationTime);
        integrationTime->setCurrentIndex(
            c.integrationTimeIndex() < integrationTime->count() ? c.integrationTimeIndex() : -1);
        const QSignalBlocker blockGain(gain);
        gain->setCurrentIndex(c.gainIndex() < gain->count() ? c.gainIndex() : -1);
        const QSignalBlocker blockLight(illumination);
        illumination->setCurrentIndex(
            c.illumination() >= 0 && c.illumination() < illumination->count() ? c.illumination()
                                                                              : -1);
    }
    // A port number the page does not offer leaves both radios clear.
    comGroup->setExclusive(false);
    com1->setChecked(c.commNumber() == 1);
    com2->setChecked(c.commNumber() == 2);
    comGroup->setExclusive(true);
    reflection->setChecked(c.measureMode() == lt::MeasureReflection);
    transmission->setChecked(c.measureMode() == lt::MeasureTransmission);
    emission->setChecked(c.measureMode() == lt::MeasureEmission);

    for (QWidget* alwaysOpen : std::initializer_list<QWidget*> {
             deviceType, com1, com2, initDevice, reflection, transmission, emission})
        alwaysOpen->setEnabled(true);
    acquire->setEnabled(controls.acquire);
    remote->setEnabled(controls.remote);
    remote->setText(controls.remoteOn ? QStringLiteral("Remote On") : QStringLiteral("Remote Off"));
    darkRef->setEnabled(controls.darkRef);
    zeroRef->setEnabled(controls.zeroRef);
    newParameter->setEnabled(controls.newParameter);
    transmissionToggle->setEnabled(controls.transmissionButton);
    // The array spectrometer's settings are shown for that device only.
    const bool spectrometer = lt::deviceType(c.deviceType()).spectrometerControls;
    parameterGroup->setVisible(spectrometer);
    for (QWidget* setting : std::initializer_list<QWidget*> {
             integrationTime, gain, scans, lowLimit, highLimit, illumination})
        setting->setEnabled(controls.spectrometerSettings);
    valueCaption->setVisible(spectrometer);
    valueLine->setVisible(spectrometer);
    valueLine->setText(latin1(c.valueLine()));

    if (c.remoteTimerRunning() && !pollTimer.isActive())
        pollTimer.start();
    else if (!c.remoteTimerRunning() && pollTimer.isActive())
        pollTimer.stop();

    if (c.acquisitions() != plottedAcquisitions) {
        plottedAcquisitions = c.acquisitions();
        plotSpectrometer();
    }
}

void CTaviLight::plotRemission(const lt::GraphSample& sample)
{
    const std::size_t count = std::min<std::size_t>(sample.pointCount, sample.ordinates.size());
    if (count == 0)
        return;
    const double full =
        sample.referenceOrdinate > 0 ? sample.referenceOrdinate : lt::kOrdinateFullRemission;
    graphView->showRemission(std::span(sample.ordinates.data(), count), full);
}

void CTaviLight::plotSpectrometer()
{
    const lt::InstrumentController& c = *logic;
    const unsigned char command = c.lastAcquisition();
    if (command != lt::kCommandZero && command != lt::kCommandReflectance7 &&
        command != lt::kCommandDensity)
        return;
    auto countsOf = [](const Aquire& record) {
        return std::span<const std::uint16_t>(
            record.Counts, std::min<std::size_t>(record.Count, kAquireMaxCounts));
    };
    lt::SpectrometerCounts counts;
    counts.sample = countsOf(c.sampleRecord());
    counts.dark = countsOf(c.darkRecord());
    counts.white = countsOf(c.whiteRecord());
    counts.firstPixel = c.firstPixel();
    counts.slope = c.slope();
    counts.zero = c.zero();
    // The white signal is scaled by its strongest pixel inside the window.
    int best = 0;
    const std::size_t span = std::min(counts.white.size(), counts.dark.size());
    for (std::size_t i = 0; i < span; ++i) {
        if (int(counts.white[i]) - int(counts.dark[i]) >
            int(counts.white[best]) - int(counts.dark[best]))
            best = static_cast<int>(i);
    }
    counts.referenceIndex = best;
    const lt::CurveType type = command == lt::kCommandZero ? lt::CurveType::WhiteSignal
                                                           : lt::CurveType::SpectrometerRemission;
    graphView->showSpectrometer(type, counts, c.firstWavelength(), c.lastWavelength());
}

bool CTaviLight::instrumentInitialised() const
{
    return logic->deviceReady();
}

bool CTaviLight::pauseLiveReading()
{
    return logic->pauseRemote();
}

void CTaviLight::resumeLiveReading()
{
    logic->resumeRemote();
}

void CTaviLight::selectIlluminant(int illuminationType)
{
    logic->followIlluminant(illuminationType);
}

int CTaviLight::portNumber() const
{
    return logic->commNumber();
}

bool CTaviLight::portOpenForService() const
{
    return logic->portOpenForService();
}

void CTaviLight::endLiveReading()
{
    logic->endRemoteForService();
}
