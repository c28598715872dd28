#include "core/instrument_page/SpectrophotometerSession.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "core/colour/ColorArithmetic.h"
#include "core/common/NumberText.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtClock.h"
#include "instrument/include/LtStatus.h"

namespace lt {

namespace {

constexpr std::size_t kIdentityDigits = 24;
constexpr std::size_t kIdentityCharacters = 11;
const char* const kTryingBaudStep = "Trying ";
const char* const kBaudUnit = " baud";

} // namespace

std::string decodeIdentity(const char* hexDigits, std::size_t length)
{
    std::string text = "V";
    length = std::min(length, kIdentityDigits);
    for (std::size_t i = 0; i + 1 < length && text.size() <= kIdentityCharacters; i += 2) {
        const int high = hexDigitValue(hexDigits[i]);
        const int low = hexDigitValue(hexDigits[i + 1]);
        if (high <= 0 || low < 0)
            break; // a pair starting with "0" is a NUL and ends the text
        const int character = high * 16 + low;
        text.push_back(character >= 0x20 && character < 0x7F ? static_cast<char>(character) : '?');
    }
    return text;
}

unsigned long SpectrophotometerSession::openWithBaudRetry(const DeviceType& type)
{
    InstrumentAccess::Exchange exchange = page.station.instrumentAccess().tryBegin();
    if (!exchange)
        return kStatusInstrumentBusy;
    CTaviSpec& instrument = exchange.instrument();
    comPort = ComPort {};
    comPort.DeviceType = static_cast<std::uint8_t>(page.type);
    comPort.PortNumber = static_cast<std::uint16_t>(page.port);
    comPort.ByteSize = 8;
    comPort.Handshake = type.handshake;
    page.identityText.clear();

    constexpr int rateCount = static_cast<int>(std::size(kBaudRetryRates));
    unsigned long status = kStatusPortNotOpen;
    for (int i = 0; i < rateCount; ++i) {
        if (page.cancelled())
            break;
        page.report(kTryingBaudStep + formatInteger(kBaudRetryRates[i]) + kBaudUnit, i, rateCount);
        FileNames identity {};
        comPort.BaudRate = kBaudRetryRates[i];
        comPort.Status = 0;
        comPort.Handle = nullptr;
        void* handle = instrument.GretagPortOpenAndInit(&comPort, &identity);
        if (handle != nullptr && handle != reinterpret_cast<void*>(~std::uintptr_t {0})) {
            page.identityText = decodeIdentity(identity.XYZFile, kIdentityDigits);
            return kStatusOk;
        }
        // An open that failed without naming a reason is still a failure.
        status = comPort.Status != 0 ? comPort.Status : kStatusPortNotOpen;
        if (comPort.Status != kStatusProbeReadFailed || i + 1 >= rateCount || page.cancelled())
            break;
        const std::string question = "Trouble with COM" + formatInteger(page.port) +
            ",\r\n Try next Baud rate: " + formatInteger(kBaudRetryRates[i + 1]) + " ?";
        if (page.station.op().showMessage(question, "COMPort Problem !", MessageButtons::YesNo,
                MessageIcon::Question) != MessageAnswer::Yes)
            break;
    }
    return status;
}

unsigned long SpectrophotometerSession::whiteReference()
{
    const unsigned long status = page.station.cycle().InitRemission();
    // A Lumatrak A without its table now runs as a Lumatrak S.
    page.type = page.station.record().instrumentType;
    return status;
}

bool SpectrophotometerSession::endedByFailure(
    unsigned long status, const std::function<void()>& showFailure)
{
    if (status == kStatusOk)
        return false;
    if (page.cancelled()) {
        page.finished(kInitDeviceAction, status, false, kCancelledProblem);
    } else {
        showFailure();
        page.finished(kInitDeviceAction, status);
    }
    page.changed();
    return true;
}

void SpectrophotometerSession::initDevice(const DeviceType& type)
{
    PageControls& state = page.state;
    if (state.remoteOn || page.timerRunning) {
        page.stopRemote(true);
        state.remote = false;
    }
    page.result = openWithBaudRetry(type);
    page.servicePortOpen = page.result == kStatusOk && type.portSharedWithService;
    if (endedByFailure(page.result, [this] { page.reportCommTrouble(); }))
        return;
    state.darkRef = state.zeroRef = state.newParameter = false;
    state.transmissionButton = state.remote = state.acquire = false;
    page.changed();
    const MessageAnswer answer = page.station.op().showMessage(type.whitePrompt,
        type.whitePromptCaption, type.whitePromptButtons, MessageIcon::Exclamation);
    if (answer == MessageAnswer::Cancel) {
        page.changed();
        return;
    }
    page.result = whiteReference();
    if (endedByFailure(page.result, [&] {
            page.station.op().showMessage(kWhiteReferenceFailed, type.whiteFailureCaption,
                MessageButtons::Ok, MessageIcon::Stop);
        }))
        return;
    state.transmissionButton = state.remote = state.acquire = true;
    page.ready = true;
    if (type.remoteAfterInit)
        page.startRemote();
    page.finished(kInitDeviceAction, kStatusOk);
    page.changed();
}

void SpectrophotometerSession::acquire(const DeviceType&)
{
    const unsigned long status =
        page.station.cycle().MeasureSample(MeasurementCycle::kKindWithGraph, kGraphScale, 0);
    page.result = status;
    if (status == kStatusInstrumentBusy)
        return; // refused: another exchange runs
    if (isLinkFailure(status) && page.cancelled()) {
        page.finished(kAcquireAction, status, true, kCancelledProblem);
        page.changed();
        return;
    }
    isLinkFailure(status) ? page.beepFailure() : page.beepSuccess();
    page.finished(kAcquireAction, status, true);
    page.changed();
}

void SpectrophotometerSession::remotePoll()
{
    page.state.acquire = false;
    unsigned long status;
    {
        InstrumentAccess::Exchange exchange = page.station.instrumentAccess().tryBegin();
        if (!exchange) {
            page.timerRunning = !page.remotePaused; // another exchange runs: ask again next time
            page.changed();
            return;
        }
        status = exchange.instrument().GretagQueryLocal(0);
    }
    if (isInstrumentAnswer(status)) {
        // The operator pressed the instrument's key; it has measured already.
        const unsigned long fetched =
            page.station.cycle().MeasureSample(MeasurementCycle::kKindWithGraph, kGraphScale, 1);
        if (fetched != kStatusInstrumentBusy) {
            page.result = fetched;
            isLinkFailure(fetched) ? page.beepFailure() : page.beepSuccess();
            page.finished(kRemoteMeasurementAction, fetched, true);
        }
    }
    if (!isLinkFailure(status)) {
        page.timerRunning = !page.remotePaused;
    } else if (page.cancelled()) {
        page.result = status;
        page.stopRemote(true);
        page.finished(kRemoteAction, status, false, kCancelledProblem);
    } else {
        page.result = status;
        page.stopRemote(true);
        page.finished(kRemoteAction, status);
        page.changed();
        if (page.beep) {
            page.beep(kBeepHz, kLinkLostBeepMs);
            lt::clock().sleepMs(kLinkLostPauseMs);
            page.beep(kBeepHz, kLinkLostBeepMs);
        }
    }
    page.changed();
}

void SpectrophotometerSession::newParameter(const DeviceType& type)
{
    if (type.newParameterTakesWhite) {
        page.result = whiteReference();
        if (page.result != kStatusOk)
            page.station.op().showMessage(kWhiteReferenceFailed, type.whiteFailureCaption,
                MessageButtons::Ok, MessageIcon::Stop);
        page.finished(kNewParameterAction, page.result);
    }
    page.changed();
}

// The references belong to the spectrometer; their buttons rest for a spectrophotometer.
void SpectrophotometerSession::darkReference()
{
    page.changed();
}

void SpectrophotometerSession::zeroReference()
{
    page.changed();
}

void SpectrophotometerSession::sendMeasureMode(int mode)
{
    InstrumentAccess::Exchange exchange = page.station.instrumentAccess().tryBegin();
    if (exchange) {
        std::uint8_t reply[16] {};
        page.result = exchange.instrument().GretagCMD(kCmdReflectionMode + mode, reply);
    }
    page.changed();
}

} // namespace lt
