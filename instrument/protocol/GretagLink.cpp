#include "instrument/protocol/GretagLink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "instrument/include/LtClock.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"
#include "instrument/protocol/HexCodec.h"

namespace lt {

Message& Message::append(std::string_view text)
{
    const std::size_t kept = std::min(text.size(), kCapacity - m_length);
    std::memcpy(m_text + m_length, text.data(), kept);
    m_length += kept;
    return *this;
}

Message& Message::append(char c)
{
    return append(std::string_view(&c, 1));
}

Message& Message::appendBytes(const std::uint8_t* bytes, std::size_t length)
{
    return append(std::string_view(reinterpret_cast<const char*>(bytes), length));
}

Message& Message::appendHex16(std::uint16_t value)
{
    char field[4];
    HexEncode16(field, sizeof field, 0, 1, &value);
    return append(std::string_view(field, sizeof field));
}

Message& Message::appendHex32(std::uint32_t value)
{
    char field[8];
    HexEncode32(field, sizeof field, 0, 1, &value);
    return append(std::string_view(field, sizeof field));
}

void Reply::reset(std::size_t expected)
{
    m_expected = std::min(expected, kCapacity);
    m_received = 0;
    std::memset(m_text, 0, sizeof m_text);
}

void Reply::keepFrom(std::size_t column)
{
    const std::size_t kept = column < m_received ? m_received - column : 0;
    std::memmove(m_text, m_text + column, kept);
    std::memset(m_text + kept, 0, sizeof m_text - kept);
    m_received = kept;
}

bool ReplyKinds::accepts(const Reply& reply) const
{
    return (!first.empty() && reply.startsWith(first)) ||
        (!second.empty() && reply.startsWith(second));
}

int numeralValue(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

unsigned long decimalAt(const Reply& reply, std::size_t column, std::size_t maxDigits)
{
    unsigned long value = 0;
    for (std::size_t i = 0; i < maxDigits; ++i) {
        const int digit = numeralValue(reply.at(column + i));
        if (digit < 0)
            break;
        value = value * 10 + static_cast<unsigned long>(digit);
    }
    return value;
}

unsigned long GretagLink::send(const Message& message, unsigned mode, unsigned long timeoutMs)
{
    if (linkState().directIo)
        return PortWriteDirect(mode, m_handle, message.data(), message.size(), m_count);
    return PortWrite(mode, timeoutMs, m_handle, message.data(), message.size(), m_count);
}

unsigned long GretagLink::receive(
    Reply& reply, std::size_t length, unsigned long pollMs, unsigned mode, unsigned long timeoutMs)
{
    reply.reset(length);
    const unsigned long code = linkState().directIo
        ? PortReadDirect(mode, m_handle, reply.buffer(), reply.expected(), m_count)
        : PortRead(pollMs, mode, timeoutMs, m_handle, reply.buffer(), reply.expected(), m_count);
    reply.setReceived(std::min<std::size_t>(m_count, reply.expected()));
    return code;
}

namespace {

constexpr char kLineFeed = '\n';
// Late replies dropped while waiting for one answer, at most: a line that
// keeps talking of other things is broken.
constexpr int kMostDroppedReplies = 16;

bool isHexCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A well-formed reply header: ":" or "=" and two hex characters.
bool hasReplyHeader(const Reply& reply)
{
    return (reply.at(0) == ':' || reply.at(0) == '=') && isHexCharacter(reply.at(1)) &&
        isHexCharacter(reply.at(2));
}

} // namespace

unsigned long GretagLink::receiveAnswer(Reply& reply, std::size_t length, ReplyKinds accepted,
    unsigned long pollMs, unsigned mode, unsigned long timeoutMs)
{
    const bool direct = linkState().directIo;
    const std::uint64_t deadline = clock().nowMs() + timeoutMs;
    auto remainingMs = [&]() -> unsigned long {
        const std::uint64_t now = clock().nowMs();
        return now < deadline ? static_cast<unsigned long>(deadline - now) : 0;
    };
    unsigned long code = receive(reply, length, pollMs, mode, timeoutMs);
    for (int dropped = 0;; ++dropped) {
        if (code != kStatusOk)
            return code;
        if (!reply.complete())
            return kStatusShortReply;
        if (accepted.accepts(reply))
            return kStatusOk;
        if (!hasReplyHeader(reply) || reply.startsWith(kRefusalHeader) ||
            dropped == kMostDroppedReplies)
            return kStatusShortReply;
        // Another kind of reply, complete in itself: drop it through its
        // line end and wait for the answer in what remains of the time-out.
        const std::size_t lineEnd = reply.text().find(kLineFeed);
        if (lineEnd != std::string_view::npos) {
            reply.keepFrom(lineEnd + 1);
        } else {
            char byte = 0;
            do {
                unsigned long count = 0;
                code = direct
                    ? PortReadDirect(kModeBlockWait, m_handle, &byte, 1, count)
                    : PortRead(0, kModeBlockWait, remainingMs(), m_handle, &byte, 1, count);
                if (code == kStatusOk && count == 0)
                    code = kStatusShortReply;
            } while (code == kStatusOk && byte != kLineFeed);
            if (code != kStatusOk)
                return code;
            reply.keepFrom(reply.received());
        }
        const std::size_t kept = reply.received();
        unsigned long count = 0;
        code = direct ? PortReadDirect(mode, m_handle, reply.buffer() + kept, length - kept, count)
                      : PortRead(pollMs, mode, remainingMs(), m_handle, reply.buffer() + kept,
                            length - kept, count);
        m_count = kept + count;
        reply.setReceived(std::min<std::size_t>(m_count, reply.expected()));
    }
}

unsigned long GretagLink::exchange(const Message& request, Reply& reply, std::size_t length,
    ReplyKinds accepted, const ExchangeTiming& timing)
{
    const unsigned long written = send(request, timing.mode, timing.writeTimeoutMs);
    if (written != kStatusOk)
        return written;
    if (timing.pauseMs > 0)
        pause(timing.pauseMs);
    return receiveAnswer(reply, length, accepted, timing.pollMs, timing.mode, timing.readTimeoutMs);
}

void GretagLink::purge()
{
    if (const auto port = SerialPort::fromHandle(m_handle))
        port->purge(kPurgeAll);
}

void GretagLink::pause(unsigned long ms)
{
    clock().sleepMs(static_cast<std::uint32_t>(ms));
}

bool GretagLink::changeRate(std::uint32_t rate, const RateChangePauses& pauses,
    LtLineSettings& settings, unsigned long& lastError)
{
    pause(pauses.beforePurge);
    purge();
    pause(pauses.afterPurge);
    const auto port = SerialPort::fromHandle(m_handle);
    if (!port) {
        lastError = EBADF;
        return false;
    }
    if (!port->getState(settings)) {
        lastError = static_cast<unsigned long>(errno);
        return false;
    }
    settings.BaudRate = rate;
    pause(pauses.beforeWrite);
    const bool changed = port->setState(settings);
    if (!changed)
        lastError = static_cast<unsigned long>(errno);
    pause(pauses.afterWrite);
    return changed;
}

} // namespace lt
