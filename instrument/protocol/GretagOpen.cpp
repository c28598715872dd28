// Opening and identifying a spectrophotometer: the baud probe and the
// handshake that follows it, and the gloss head query.

#include <cerrno>
#include <cstring>

#include "instrument/include/TaviSpec.h"
#include "instrument/platform/LinkState.h"
#include "instrument/protocol/GretagLink.h"
#include "instrument/protocol/PortOpening.h"

namespace lt {
namespace {

constexpr unsigned long kSettleMs = 100;
constexpr unsigned long kHandshakeWriteTimeoutMs = 5000;
constexpr unsigned long kHandshakePollMs = 100;

// Device types with an open sequence of their own.
constexpr std::uint8_t kDeviceTable = 4;
constexpr std::uint8_t kDeviceBare = 7;

// Handshake states. 0..10 probe the baud rate; the probe table gives the
// rate of each further attempt.
constexpr int kStateProbeFirst = 0;
constexpr int kStateProbeLast = 10;
constexpr int kStateLineMode = 15;
constexpr int kStateIdentity = 20;
constexpr int kStateConfirm = 40;
constexpr int kStateTable = 100;
constexpr int kStateBare = 200;
constexpr std::uint32_t kProbeRates[] = {
    9600, 19200, 57600, 28800, 4800, 2400, 9600, 600, 300, 150, 110, 9600};

constexpr std::size_t kIdentityColumn = 65;
constexpr std::size_t kIdentityLength = 24;

struct FirstExchange {
    const char* request;
    std::size_t replyLength;
    unsigned long readTimeoutMs;
    int state;
};

FirstExchange firstExchange(std::uint8_t deviceType)
{
    if (deviceType == kDeviceTable)
        return {";D06700\r\n", 11, 30000, kStateTable};
    if (deviceType == kDeviceBare)
        return {";D0\r\n", 9, 7000, kStateBare};
    return {";00\r\n", 15, 7000, kStateProbeFirst};
}

// The line-mode request carries the handshake selector.
const char* lineModeRequest(std::uint8_t handshake)
{
    switch (handshake) {
    case 0:
        return ";4D1E\r\n";
    case 2:
        return ";4DFF\r\n";
    default:
        return ";4D1F\r\n";
    }
}

} // namespace
} // namespace lt

void* CTaviSpec::GretagPortOpenAndInit(ComPort* port, FileNames* identity)
{
    using namespace lt;
    if (!port)
        return nullptr;
    setVerbose(port->Status == 1);
    LinkState& link = linkState();
    link.directIo = port->DirectIo != 0;

    // An earlier port, handed back by the host or still held by the library,
    // is closed first: two descriptors on one line would steal each other's
    // bytes.
    if (port->Handle)
        SerialPort::close(port->Handle);
    if (link.sharedHandle && link.sharedHandle != port->Handle)
        SerialPort::close(link.sharedHandle);
    link.sharedHandle = nullptr;
    port->Handle = nullptr;
    m_portHandle = nullptr;

    unsigned long status = kStatusOk;
    void* handle = openPort(*port, kGretagOpen, status);
    if (!handle) {
        port->Status = kStatusPortNotOpen;
        return reinterpret_cast<void*>(~std::uintptr_t {0});
    }
    if (status != kStatusOk) {
        SerialPort::close(handle);
        port->Status = kStatusPortState;
        return nullptr;
    }
    m_portHandle = handle;
    link.sharedHandle = handle;
    port->Handle = handle;

    auto closeAll = [&] {
        SerialPort::close(handle);
        m_portHandle = nullptr;
        link.sharedHandle = nullptr;
        port->Handle = nullptr;
    };

    GretagLink wire(handle, m_transferCount);
    const FirstExchange first = firstExchange(port->DeviceType);
    Message request(first.request);
    std::size_t replyLength = first.replyLength;
    int state = first.state;
    Reply reply;
    for (;;) {
        wire.purge();
        wire.pause(kSettleMs);
        const unsigned long written = wire.send(request, kModeBlockPoll, kHandshakeWriteTimeoutMs);
        if (written != kStatusOk) {
            status = written;
            break;
        }
        wire.pause(kSettleMs);
        const unsigned long read =
            wire.receive(reply, replyLength, kHandshakePollMs, kModeBlockPoll, first.readTimeoutMs);
        if (read > kLinkFailureThreshold) {
            closeAll();
            port->Status = state < kStateProbeLast ? kStatusProbeReadFailed : kStatusRefused;
            return nullptr;
        }

        if (state <= kStateProbeLast) {
            if (reply.startsWith(":0B")) {
                state = kStateLineMode;
                request = Message(lineModeRequest(port->Handshake));
                replyLength = 9;
                continue;
            }
            // No answer at this rate: try the next one with the same request.
            ++state;
            m_lineSettings.BaudRate = kProbeRates[state];
            m_lastPortResult = SerialPort::fromHandle(handle)->setState(m_lineSettings);
            if (!m_lastPortResult) {
                m_lastError = static_cast<unsigned long>(errno);
                closeAll();
                port->Status = kStatusPortState;
                return nullptr;
            }
            continue;
        }

        if (read != kStatusOk) {
            status = read;
            break;
        }
        const bool complete = reply.complete();
        if (state == kStateLineMode) {
            if (!complete) {
                status = kStatusShortReply;
                break;
            }
            if (!reply.startsWith(":1F")) {
                status = kStatusWrongReply;
                break;
            }
            state = kStateIdentity;
            request = Message(";B5\r\n");
            replyLength = 123;
        } else if (state == kStateIdentity) {
            if (!complete) {
                status = kStatusShortReply;
                break;
            }
            if (!reply.startsWith(":B6")) {
                status = kStatusWrongReply;
                break;
            }
            if (identity)
                std::memcpy(identity, reply.buffer() + kIdentityColumn, kIdentityLength);
            state = kStateConfirm;
            request = Message(";5A010405\r\n");
            replyLength = 9;
        } else if (state == kStateConfirm) {
            if (!complete)
                status = kStatusShortReply;
            else if (!reply.startsWith(":1F"))
                status = kStatusFinalReplyWrong;
            else if (reply.hasAt(3, "00"))
                status = kStatusOk;
            else
                status = kStatusHandshakeErrorBase + static_cast<unsigned char>(reply.at(3));
            break;
        } else if (state == kStateTable) {
            if (!complete)
                status = kStatusShortReply;
            else if (!reply.startsWith(":D1"))
                status = kStatusTableNoReply;
            else if (!reply.hasAt(3, "A0"))
                status = kStatusTableNotReady;
            else if (!reply.hasAt(7, "00"))
                status = kStatusTableError;
            else
                status = kStatusOk;
            break;
        } else if (state == kStateBare) {
            status = read; // this device's reply is not examined
            break;
        } else {
            status = kStatusNoHandshakeState; // the probe ran out of rates
            break;
        }
    }
    port->Status = static_cast<std::uint32_t>(status);
    return handle;
}

unsigned long CTaviSpec::InitGloss(ComPort* port)
{
    using namespace lt;
    if (port)
        linkState().directIo = port->DirectIo != 0;
    GretagLink wire(m_portHandle, m_transferCount);
    if (wire.send(Message("?D0A7\r\n"), kModeBlockWait, 3000) != kStatusOk)
        return kStatusRefused;
    Reply reply;
    const unsigned long read = wire.receive(reply, 9, 10, kModeBlockWait, 20000);
    if (reply.complete() && reply.hasAt(4, "000"))
        return read;
    return kStatusRefused;
}
