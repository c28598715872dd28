#include "core/instrument_page/InstrumentController.h"

#include <algorithm>

#include "core/common/NumberText.h"
#include "core/settings/DensitySettings.h"
#include "core/station/Workstation.h"

namespace lt {

InstrumentController::InstrumentController(Workstation& workstation, Beeper beeper)
    : page(workstation, std::move(beeper))
{
    Settings& settings = workstation.settings();
    SharedRecord& record = workstation.record();

    page.port = settings.load(keys::kCommNumber);
    page.integrationTime = settings.load(keys::kIntegrationTime);
    brand = settings.load(keys::kBrand);
    page.gain = settings.load(keys::kGain);
    page.scanCount = settings.load(keys::kNumberOfScans);
    page.minWavelength = settings.load(keys::kMinWavelength);
    page.maxWavelength = settings.loadMaxWavelength(page.minWavelength);
    spectrometer.loadTableFiles();
    const bool remoteAtStart = settings.load(keys::kRemote) != 0;
    spectrometer.loadCalibration();
    loadDensityParameters(settings, record.densityParameters);
    page.illuminant = record.densityParameters.integer(slot::kIllumType);

    page.type = clampDeviceType(brand);
    record.instrumentType = page.type;
    record.beepOption = 1;
    page.axis = kFixedAxis;

    page.state.acquire = true;
    page.state.spectrometerSettings = page.device().spectrometerControls;
    if (remoteAtStart)
        page.startRemote();
    if (page.port != 1 && page.port != 2)
        workstation.op().showMessage(
            kCommNotSupported, "", MessageButtons::Ok, MessageIcon::Exclamation);
}

InstrumentController::~InstrumentController()
{
    page.station.exchanges().cancel();
    page.station.exchanges().waitUntilIdle();
    spectrometer.closePort();
}

InstrumentSession& InstrumentController::session()
{
    if (page.device().family == InstrumentFamily::Spectrometer)
        return spectrometer;
    return spectrophotometer;
}

bool InstrumentController::exchangeRunning() const
{
    return page.station.exchanges().running();
}

bool InstrumentController::runExchange(
    const char* action, bool cancellable, std::function<void()> work)
{
    return page.station.exchanges().start(
        action, cancellable, [this, work = std::move(work)](ExchangeControl& control) {
            page.runningExchange = &control;
            work();
            page.runningExchange = nullptr;
        });
}

void InstrumentController::initDevice()
{
    runExchange(kInitDeviceAction, true, [this] { session().initDevice(page.device()); });
}

unsigned long InstrumentController::acquire()
{
    if (!runExchange(kAcquireAction, true, [this] { session().acquire(page.device()); }))
        return kStatusInstrumentBusy;
    // Run on the calling thread, the measurement has ended: its status.
    return page.station.exchanges().ownThread() ? kStatusOk : page.result;
}

void InstrumentController::toggleRemote()
{
    if (exchangeRunning())
        return;
    if (page.state.remoteOn) {
        page.stopRemote(true);
        page.state.acquire = true;
    } else {
        page.startRemote();
    }
    page.changed();
}

void InstrumentController::remotePoll()
{
    page.timerRunning = false;
    // While another exchange runs the key is asked for at the next tick.
    if (!runExchange(kRemoteAction, true, [this] { session().remotePoll(); })) {
        page.timerRunning = true;
        page.changed();
    }
}

void InstrumentController::selectDeviceType(int newType)
{
    if (exchangeRunning())
        return;
    brand = newType;
    page.station.settings().store(keys::kBrand, brand);
    page.type = clampDeviceType(newType);
    page.station.record().instrumentType = page.type;
    page.servicePortOpen = false;
    page.stopRemote(true);
    PageControls& state = page.state;
    if (page.device().spectrometerControls) {
        state.spectrometerSettings = true;
        spectrometer.useOwnAxis();
    } else {
        state.spectrometerSettings = false;
        state.darkRef = state.zeroRef = state.newParameter = false;
        page.axis = kFixedAxis;
    }
    page.changed();
}

void InstrumentController::selectPort(int portNumber)
{
    if (exchangeRunning())
        return;
    if (portNumber != page.port) {
        page.state.remote = false;
        page.state.acquire = false;
        page.servicePortOpen = false;
    }
    page.port = portNumber;
    page.station.settings().store(keys::kCommNumber, portNumber);
    page.changed();
}

void InstrumentController::sendMeasureMode(int mode)
{
    runExchange(kMeasureModeAction, false, [this, mode] { session().sendMeasureMode(mode); });
}

void InstrumentController::selectMeasureMode(int mode)
{
    if (exchangeRunning())
        return;
    page.station.record().measureMode = mode;
    if (page.ready && session().tellsMeasureMode())
        sendMeasureMode(mode);
    page.changed();
}

void InstrumentController::toggleTransmission()
{
    if (exchangeRunning())
        return;
    const int mode =
        page.measureMode() == MeasureTransmission ? MeasureReflection : MeasureTransmission;
    page.station.record().measureMode = mode;
    if (session().tellsMeasureMode())
        sendMeasureMode(mode);
    page.changed();
}

void InstrumentController::setBeep(bool on)
{
    page.station.record().beepOption = on ? 1 : 0;
}

void InstrumentController::selectIntegrationTime(int index)
{
    page.integrationTime = index;
    page.station.settings().store(keys::kIntegrationTime, index);
}

void InstrumentController::selectGain(int index)
{
    page.gain = index;
    page.station.settings().store(keys::kGain, index);
}

void InstrumentController::selectIllumination(int index)
{
    page.illuminant = index;
    page.station.record().changeDensityParameters(
        [index](DensityParameterBlock& block) { block.setInteger(slot::kIllumType, index); });
    page.station.settings().store(keys::kLight, index);
}

bool InstrumentController::pauseRemote()
{
    // A poll running now does not start the timer again when it ends.
    page.remotePaused = true;
    const bool wasRunning = page.timerRunning.exchange(false) ||
        (exchangeRunning() && page.station.exchanges().progress().action == kRemoteAction);
    page.changed();
    return wasRunning;
}

void InstrumentController::resumeRemote()
{
    page.remotePaused = false;
    if (page.state.remoteOn)
        page.timerRunning = true;
    page.changed();
}

void InstrumentController::endRemoteForService()
{
    page.stopRemote(false);
    page.changed();
}

void InstrumentController::followIlluminant(int index)
{
    page.illuminant = index;
    page.changed();
}

std::optional<std::string> InstrumentController::editScans(const std::string& text)
{
    if (text.empty() || exchangeRunning())
        return std::nullopt; // the operator is still typing
    const int number = std::clamp(parseInteger(text).value_or(0), 1, 255);
    const std::string normalised = formatInteger(number);
    if (normalised != text)
        return normalised;
    page.scanCount = number;
    page.station.settings().store(keys::kNumberOfScans, number);
    return std::nullopt;
}

void InstrumentController::editLowLimit(const std::string& text)
{
    if (exchangeRunning())
        return;
    if (const auto nm = parseInteger(text)) {
        page.minWavelength = *nm;
        page.station.settings().store(keys::kMinWavelength, *nm);
    }
}

void InstrumentController::editHighLimit(const std::string& text)
{
    if (exchangeRunning())
        return;
    if (const auto nm = parseInteger(text)) {
        page.maxWavelength = *nm;
        page.station.settings().store(keys::kMaxWavelength, *nm);
    }
}

void InstrumentController::newParameter()
{
    runExchange(kNewParameterAction, false, [this] { session().newParameter(page.device()); });
}

void InstrumentController::darkReference()
{
    runExchange(kDarkRefAction, true, [this] { session().darkReference(); });
}

void InstrumentController::zeroReference()
{
    runExchange(kZeroRefAction, true, [this] { session().zeroReference(); });
}

} // namespace lt
