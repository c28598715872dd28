// The instrument object: construction, opening and closing of its port.

#include "instrument/include/TaviSpec.h"

#include <cerrno>
#include <cstring>

#include "instrument/include/LtClock.h"
#include "instrument/platform/HostHooks.h"
#include "instrument/platform/LinkState.h"
#include "instrument/protocol/PortOpening.h"

namespace {

constexpr std::uint32_t kSettleMs = 100;
void* const kInvalidHandle = reinterpret_cast<void*>(~std::uintptr_t {0});

} // namespace

CTaviSpec::CTaviSpec()
    : m_portHandle(nullptr), m_timeouts {}, m_lineSettings {}, m_lastError(0), m_lastPortResult(0),
      m_transferCount(0), m_spectrum {}
{
}

// The host closes the port itself; the object leaves it as it is.
CTaviSpec::~CTaviSpec() = default;

void* CTaviSpec::openPort(
    const ComPort& port, const lt::PortOpenRecipe& recipe, unsigned long& status)
{
    std::shared_ptr<lt::SerialPort> serial =
        recipe.reuseOpenPort ? lt::SerialPort::fromHandle(m_portHandle) : nullptr;
    if (!serial) {
        int portNumber = port.PortNumber;
        if (portNumber < 1 || portNumber > lt::kComPortCount) {
            lt::showMessage(recipe.invalidPortMessage, nullptr);
            portNumber = 1;
        }
        int error = 0;
        serial = lt::SerialPort::open(lt::portDevicePath(portNumber).c_str(), error);
        if (!serial) {
            m_lastError = static_cast<unsigned long>(error);
            status = lt::kStatusPortNotOpen;
            return nullptr;
        }
    }
    m_lastPortResult = serial->purge(lt::kPurgeAll);
    if (recipe.settleAfterPurge)
        lt::clock().sleepMs(kSettleMs);

    lt::CommTimeouts timeouts = recipe.defaultTimeouts;
    if (port.Timeouts)
        std::memcpy(&timeouts, port.Timeouts, sizeof timeouts);
    std::memcpy(m_timeouts, &timeouts, sizeof m_timeouts);
    serial->setTimeouts(timeouts);

    if (!serial->getState(m_lineSettings)) {
        m_lastError = static_cast<unsigned long>(errno);
        status = lt::kStatusGetStateFailed;
        return serial->handle();
    }
    m_lineSettings.BaudRate = port.BaudRate;
    m_lineSettings.ByteSize = port.ByteSize;
    m_lineSettings.Parity = port.Parity;
    m_lineSettings.StopBits = port.StopBits;
    m_lineSettings.OutX = recipe.xonXoffByHandshake && port.Handshake == 0;
    m_lineSettings.InX = 0;
    m_lastPortResult = serial->setState(m_lineSettings);
    if (!m_lastPortResult) {
        m_lastError = static_cast<unsigned long>(errno);
        status = lt::kStatusSetStateFailed;
        return serial->handle();
    }
    status = lt::kStatusOk;
    return serial->handle();
}

unsigned long CTaviSpec::SpecPortClose()
{
    if (!m_portHandle)
        return lt::kStatusNoHandle;
    lt::SerialPort::close(m_portHandle);
    m_portHandle = nullptr;
    return lt::kStatusOk;
}

unsigned long CTaviSpec::GretagPortClose(void* handle)
{
    if (!handle)
        return lt::kStatusNoHandle;
    lt::SerialPort::close(handle);
    return lt::kStatusOk;
}

unsigned long CTaviSpec::OpenLT(ComPort* port)
{
    if (!port)
        return reinterpret_cast<unsigned long>(kInvalidHandle);
    lt::LinkState& link = lt::linkState();
    if (link.sharedHandle) {
        lt::SerialPort::close(link.sharedHandle);
        link.sharedHandle = nullptr;
    }
    unsigned long status = 0;
    void* handle = openPort(*port, lt::kServiceOpen, status);
    if (!handle) {
        m_portHandle = nullptr;
        port->Handle = nullptr;
        return reinterpret_cast<unsigned long>(kInvalidHandle);
    }
    // Line-setting failures show only in the saved last error.
    m_portHandle = handle;
    link.sharedHandle = handle;
    port->Handle = handle;
    return reinterpret_cast<unsigned long>(handle);
}
