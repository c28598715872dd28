// The array spectrometer's exports: opening with the baud probe, wavelength
// calibration, acquisition parameters, acquisition and the deferred fetch.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "instrument/include/LtClock.h"
#include "instrument/platform/HostHooks.h"
#include "instrument/platform/SerialPort.h"
#include "instrument/protocol/PortOpening.h"
#include "instrument/spectrometer/SpectrometerProcessing.h"
#include "instrument/spectrometer/SpectrometerState.h"

namespace {

using lt::clock;
using lt::SerialPort;

constexpr unsigned long kPortNotOpen = lt::kStatusPortNotOpen;
constexpr unsigned long kShortReply = lt::kStatusShortReply;

// The baud probe: the rates tried, in order, and the echo it expects.
constexpr std::uint32_t kProbeRates[] = {
    9600, 57600, 28800, 19200, 4800, 2400, 1200, 600, 300, 150, 110};
constexpr char kProbeMessage[] = "CCP\r\n";
constexpr unsigned long kProbeLength = 5;
constexpr unsigned long kProbeWriteTimeoutMs = 3000;
constexpr unsigned long kProbeReadPollMs = 50;
constexpr unsigned long kProbeReadTimeoutMs = 7000;

constexpr std::uint32_t kSettleMs = 100; // before a calibration or parameter exchange
constexpr unsigned long kCalibrationWriteTimeoutMs = 10000;
constexpr unsigned long kExchangeTimeoutMs = 7000;
constexpr unsigned long kShortPollMs = 50;
constexpr unsigned long kAcquisitionPollMs = 100;
constexpr std::uint32_t kReadoutMarginMs = 150; // after the integration, before the count arrives
constexpr std::uint32_t kDeferredMarginMs = 100; // the same for a deferred fetch
constexpr std::uint32_t kPumpIntervalMs = 30;
constexpr std::uint32_t kDeferredSettleMs = 100;
// Completion time-outs of the deferred fetch: the count, then the values.
constexpr std::uint32_t kDeferredCountTimeoutMs = 7000;
constexpr std::uint32_t kDeferredValuesTimeoutMs = 4000;

constexpr unsigned long kCountReplyLength = 2;
constexpr unsigned long kParameterAckLength = 7;

const char kTableLoadMessage[] = "Cannot load illumination parameter files: %d";
const char kTableLoadCaption[] = "NULL";

// A NUL-terminated copy of a fixed-size name field that may lack its NUL.
std::string fieldText(const char* field)
{
    return std::string(field, strnlen(field, kFileNameLength));
}

float bigEndianFloat(const std::uint8_t bytes[4])
{
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes[0]) << 24 |
        static_cast<std::uint32_t>(bytes[1]) << 16 | static_cast<std::uint32_t>(bytes[2]) << 8 |
        bytes[3];
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

unsigned valueCount(const std::uint8_t countReply[2])
{
    return static_cast<unsigned>(countReply[0]) << 8 | countReply[1];
}

// One transfer of the deferred fetch, waited for up to its own time-out.
unsigned long fetchBlock(
    SerialPort& port, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs)
{
    std::size_t received = 0;
    const auto done = port.read(buffer, length, received, clock().nowMs() + timeoutMs);
    if (done == SerialPort::Completion::Pending)
        return lt::kStatusDataIncomplete;
    if (done == SerialPort::Completion::Failed)
        return lt::kStatusReadFailed;
    return received == length ? lt::kStatusOk : kShortReply;
}

} // namespace

unsigned long CTaviSpec::specCloseOnFailure(unsigned long status)
{
    if (status != lt::kStatusOk && m_portHandle) {
        SerialPort::close(m_portHandle);
        m_portHandle = nullptr;
    }
    return status;
}

// Finds the rate at which the spectrometer echoes the probe; the line stays
// at that rate. Without an echo, or when a rate is refused, 10004 is added
// to the result of the last exchange.
unsigned long CTaviSpec::probeBaudRate(SerialPort& serial)
{
    unsigned long status = lt::kStatusOk;
    for (std::uint32_t rate : kProbeRates) {
        m_lineSettings.BaudRate = rate;
        if (!serial.setState(m_lineSettings)) {
            m_lastError = static_cast<unsigned long>(errno);
            return status + lt::kStatusSetStateFailed;
        }
        serial.purge(lt::kPurgeAll);
        unsigned long count = 0;
        status = lt::PortWrite(lt::kModeBlockWait, kProbeWriteTimeoutMs, m_portHandle,
            kProbeMessage, kProbeLength, count);
        if (status != lt::kStatusOk)
            continue;
        char echo[kProbeLength] = {};
        status = lt::PortRead(kProbeReadPollMs, lt::kModeBlockWait, kProbeReadTimeoutMs,
            m_portHandle, echo, kProbeLength, m_transferCount);
        if (status == lt::kStatusOk && m_transferCount == kProbeLength &&
            std::memcmp(echo, kProbeMessage, kProbeLength) == 0)
            return lt::kStatusOk;
    }
    return status + lt::kStatusSetStateFailed;
}

unsigned long CTaviSpec::SpecPortOpen(ComPort* port, FileNames* files)
{
    if (!port)
        return kPortNotOpen;
    unsigned long status = lt::kStatusOk;
    void* handle = openPort(*port, lt::kSpectrometerOpen, status);
    if (!handle) {
        m_portHandle = nullptr;
        port->Handle = nullptr;
        port->Status = kPortNotOpen;
        return kPortNotOpen;
    }
    m_portHandle = handle;
    if (status == lt::kStatusOk && port->ProbeBaud == 1)
        status = probeBaudRate(*SerialPort::fromHandle(handle));
    specCloseOnFailure(status);
    port->Handle = m_portHandle;
    port->Status = static_cast<std::uint32_t>(status);

    // The tables are loaded even when the line could not be set up: a later
    // open then finds them in place.
    const std::string observer = files ? fieldText(files->XYZFile) : std::string();
    const std::string illuminant = files ? fieldText(files->ILLUMFile) : std::string();
    const int loaded =
        lt::loadCieTables(observer.c_str(), illuminant.c_str(), m_spectrometer->tables);
    if (loaded != lt::kTablesLoaded) {
        char text[64];
        std::snprintf(text, sizeof text, kTableLoadMessage, loaded);
        lt::showMessage(text, kTableLoadCaption);
    }
    return status;
}

unsigned long CTaviSpec::SpecInitParams(InitParams* p)
{
    if (!SerialPort::fromHandle(m_portHandle))
        return kPortNotOpen;
    lt::SpectrometerData& state = *m_spectrometer;
    lt::clock().sleepMs(kSettleMs);
    SerialPort::fromHandle(m_portHandle)->purge(lt::kPurgeAll);
    const std::uint8_t request = lt::kCalibrationCommand;
    unsigned long count = 0;
    unsigned long status = lt::PortWrite(
        lt::kModeBlockWait, kCalibrationWriteTimeoutMs, m_portHandle, &request, 1, count);
    if (status != lt::kStatusOk)
        return specCloseOnFailure(status);
    InitParams received {};
    status = lt::PortRead(kShortPollMs, lt::kModeBlockWait, kExchangeTimeoutMs, m_portHandle,
        &received, sizeof received, m_transferCount);
    // A calibration cut short would give nonsense wavelengths: only the
    // whole record is taken.
    if (status != lt::kStatusOk || m_transferCount != sizeof received)
        return specCloseOnFailure(kShortReply);
    if (p)
        *p = received;
    state.initParams = received;
    state.calibration.slope = bigEndianFloat(received.Slope);
    state.calibration.zero = bigEndianFloat(received.Zero);
    return lt::kStatusOk;
}

unsigned long CTaviSpec::SpecNewParams(NewParams* p)
{
    lt::SpectrometerData& state = *m_spectrometer;
    if (p)
        state.parameters = *p;
    if (!SerialPort::fromHandle(m_portHandle))
        return kPortNotOpen;
    lt::clock().sleepMs(kSettleMs);
    SerialPort::fromHandle(m_portHandle)->purge(lt::kPurgeAll);
    std::uint8_t message[lt::kParameterMessageLength] = {lt::kParameterCommand};
    std::memcpy(message + 1, &state.parameters, sizeof state.parameters);
    unsigned long count = 0;
    unsigned long status = lt::PortWrite(
        lt::kModeBlockWait, kExchangeTimeoutMs, m_portHandle, message, sizeof message, count);
    if (status != lt::kStatusOk)
        return specCloseOnFailure(status);
    std::uint8_t acknowledge[kParameterAckLength];
    status = lt::PortRead(kShortPollMs, lt::kModeBlockWait, kExchangeTimeoutMs, m_portHandle,
        acknowledge, sizeof acknowledge, m_transferCount);
    if (status != lt::kStatusOk || m_transferCount == 0)
        return specCloseOnFailure(kShortReply);
    return lt::kStatusOk;
}

unsigned long CTaviSpec::SpecAquire(Aquire* a, unsigned char command, unsigned char noWait)
{
    lt::SpectrometerData& state = *m_spectrometer;
    state.acquisitionByte = lt::acquisitionByteFor(command);
    if (!SerialPort::fromHandle(m_portHandle))
        return kPortNotOpen;
    if (!a)
        return kShortReply; // nowhere to put the acquisition: nothing is started

    unsigned long count = 0;
    unsigned long status = lt::PortWrite(
        lt::kModeBlockWait, kExchangeTimeoutMs, m_portHandle, &state.acquisitionByte, 1, count);
    if (status != lt::kStatusOk)
        return specCloseOnFailure(status);
    state.acquisitionStartMs = lt::clock().nowMs();
    if (noWait)
        return lt::kStatusOk;

    const std::uint32_t integrationMs = lt::pauseIntegrationMs(state.parameters.IntegrationTime);
    if (integrationMs > 0)
        lt::clock().sleepMs(integrationMs * state.parameters.Scans + kReadoutMarginMs);

    // The pause covers only part of a long integration: the count's read
    // waits for the rest.
    const std::uint64_t countTimeoutMs = kExchangeTimeoutMs +
        lt::integrationBeyondMs(state.parameters.IntegrationTime, state.parameters.Scans,
            lt::pauseIntegrationMs(state.parameters.IntegrationTime));
    std::uint8_t countReply[kCountReplyLength];
    status = lt::PortRead(kAcquisitionPollMs, lt::kModeBlockWait,
        static_cast<unsigned long>(countTimeoutMs), m_portHandle, countReply, sizeof countReply,
        m_transferCount);
    if (status != lt::kStatusOk)
        return specCloseOnFailure(status);
    // A count cut short cannot be read as a number of values.
    if (m_transferCount != kCountReplyLength)
        return specCloseOnFailure(kShortReply);
    const unsigned n = valueCount(countReply);
    // More values than the record holds would overrun it: the reply is
    // refused. A failed acquisition leaves the record as it was.
    if (n > static_cast<unsigned>(kAquireMaxCounts))
        return specCloseOnFailure(kShortReply);

    if (n > 0) {
        status = lt::PortRead(kAcquisitionPollMs, lt::kModeBlockWait, kExchangeTimeoutMs,
            m_portHandle, state.receiveBuffer, 2 * n, m_transferCount);
        if (status != lt::kStatusOk)
            return specCloseOnFailure(status);
        if (m_transferCount != 2 * n)
            return kShortReply; // the port stays open for another try
    }
    a->Count = static_cast<std::uint16_t>(n);
    lt::processAcquisition(state, *a, command, state.receiveBuffer, static_cast<int>(n));
    return lt::kStatusOk;
}

unsigned long CTaviSpec::SpecDataReady(Aquire* a, unsigned long waitMs)
{
    lt::SpectrometerData& state = *m_spectrometer;
    const std::uint32_t integrationMs = lt::nominalIntegrationMs(state.parameters.IntegrationTime);
    const std::uint64_t wait = integrationMs > 0
        ? static_cast<std::uint64_t>(integrationMs) * state.parameters.Scans + kDeferredMarginMs
        : waitMs;
    if (!SerialPort::fromHandle(m_portHandle))
        return kPortNotOpen;
    if (!a)
        return kShortReply;
    const std::uint64_t ready = state.acquisitionStartMs + wait;
    while (lt::clock().nowMs() < ready) {
        lt::pumpMessages();
        lt::clock().sleepMs(kPumpIntervalMs);
    }

    // The host's pump may have closed the port meanwhile.
    const auto serial = SerialPort::fromHandle(m_portHandle);
    if (!serial)
        return kPortNotOpen;
    m_lastError = 0;
    lt::clock().sleepMs(kDeferredSettleMs);
    std::uint8_t countReply[kCountReplyLength];
    const std::uint64_t countTimeoutMs = kDeferredCountTimeoutMs +
        lt::integrationBeyondMs(state.parameters.IntegrationTime, state.parameters.Scans,
            lt::nominalIntegrationMs(state.parameters.IntegrationTime));
    unsigned long status = fetchBlock(
        *serial, countReply, sizeof countReply, static_cast<std::uint32_t>(countTimeoutMs));
    if (status != lt::kStatusOk)
        return m_lastError = status;
    const unsigned n = valueCount(countReply);
    if (n > static_cast<unsigned>(kAquireMaxCounts))
        return m_lastError = kShortReply;
    status = n > 0 ? fetchBlock(*serial, state.receiveBuffer, 2 * n, kDeferredValuesTimeoutMs)
                   : lt::kStatusOk;
    if (status != lt::kStatusOk)
        return m_lastError = status;
    a->Count = static_cast<std::uint16_t>(n);
    for (unsigned i = 0; i < n; ++i)
        a->Counts[i] = static_cast<std::uint16_t>(
            state.receiveBuffer[2 * i] << 8 | state.receiveBuffer[2 * i + 1]);
    return lt::kStatusOk;
}
