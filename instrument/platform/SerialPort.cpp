#include "instrument/platform/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <unordered_map>

#include "instrument/include/LtClock.h"
#include "instrument/platform/HostHooks.h"
#include "instrument/platform/TermiosLine.h"
#include "instrument/platform/WireTrace.h"

namespace lt {

namespace {

// Every open port by its handle, so that a stale or foreign handle is
// recognised instead of being dereferenced.
std::mutex registryMutex;
std::uintptr_t lastHandle = 0x1000; // handles are counted up from here and never reused
std::atomic<std::uint64_t> totalBytesWritten {0};
std::unordered_map<void*, std::shared_ptr<SerialPort>>& openPorts()
{
    static std::unordered_map<void*, std::shared_ptr<SerialPort>> ports;
    return ports;
}

// Earliest of two deadlines, kNoDeadline meaning none.
std::uint64_t earliest(std::uint64_t a, std::uint64_t b)
{
    return std::min(a, b);
}

std::uint64_t totalDeadline(
    std::uint64_t start, std::uint32_t multiplier, std::uint32_t constant, std::size_t length)
{
    if (multiplier == 0 && constant == 0)
        return SerialPort::kNoDeadline;
    return start + static_cast<std::uint64_t>(multiplier) * length + constant;
}

constexpr std::uint64_t kNsPerSecond = 1000000000;
constexpr std::uint64_t kNsPerUs = 1000;
constexpr std::uint64_t kUsPerMs = 1000;
constexpr unsigned kStartBits = 1;
constexpr std::uint8_t kParityNone = 0;
constexpr std::uint8_t kOneAndAHalfStopBits = 1;
constexpr std::uint8_t kTwoStopBits = 2;

// [ns] one character at the line's settings; 0 for a rate of 0.
std::uint64_t characterNs(const LtLineSettings& settings)
{
    if (settings.BaudRate == 0)
        return 0;
    // Half bits in tenths: 1.5 stop bits count as 2, erring on the late side.
    const unsigned stopBits =
        settings.StopBits == kOneAndAHalfStopBits || settings.StopBits == kTwoStopBits ? 2 : 1;
    const unsigned bits =
        kStartBits + settings.ByteSize + (settings.Parity != kParityNone ? 1 : 0) + stopBits;
    return bits * kNsPerSecond / settings.BaudRate;
}

std::uint32_t waitSpan(std::uint64_t now, std::uint64_t deadline)
{
    if (deadline == SerialPort::kNoDeadline)
        return UINT32_MAX / 2; // about 12 days; the loop waits again after it
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(deadline - now, UINT32_MAX / 2));
}

} // namespace

SerialPort::SerialPort(int fd, void* handle, std::string device)
    : m_fd(fd), m_handle(handle), m_device(std::move(device))
{
    trace::note(m_device, "open");
}

SerialPort::~SerialPort()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::shared_ptr<SerialPort> SerialPort::open(const char* devicePath, int& error)
{
    error = 0;
    if (!devicePath || !*devicePath) {
        error = ENOENT;
        return nullptr;
    }
    const int fd = ::open(devicePath, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    // One program per line: two of them would take each other's replies.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        error = EBUSY;
        return nullptr;
    }
    // A device that is no terminal opens, but its line settings fail later,
    // as they would for any port that refuses them.
    termline::makeRaw(fd);
    std::lock_guard lock(registryMutex);
    lastHandle += 0x10;
    void* handle = reinterpret_cast<void*>(lastHandle);
    auto port = std::make_shared<SerialPort>(fd, handle, devicePath);
    openPorts().emplace(handle, port);
    return port;
}

std::shared_ptr<SerialPort> SerialPort::fromHandle(void* handle)
{
    std::lock_guard lock(registryMutex);
    const auto found = openPorts().find(handle);
    return found == openPorts().end() ? nullptr : found->second;
}

bool SerialPort::close(void* handle)
{
    std::shared_ptr<SerialPort> port;
    {
        std::lock_guard lock(registryMutex);
        const auto found = openPorts().find(handle);
        if (found == openPorts().end())
            return false;
        port = std::move(found->second);
        openPorts().erase(found);
    }
    port->markClosed();
    return true; // the descriptor closes with the last holder
}

void SerialPort::markClosed()
{
    // The line is free for the next open even while a transfer on another
    // thread still holds this port.
    m_closed.store(true);
    ::flock(m_fd, LOCK_UN);
    trace::note(m_device, "close");
}

void SerialPort::recordLastMessage(const void* bytes, std::size_t length)
{
    const std::size_t kept = std::min(length, kLastMessageSize - 1);
    std::lock_guard lock(m_messageMutex);
    m_lastMessage.assign(static_cast<const char*>(bytes), kept);
}

std::string SerialPort::lastMessage() const
{
    std::lock_guard lock(m_messageMutex);
    return m_lastMessage;
}

void SerialPort::showVerboseBox() const
{
    if (verbose())
        showMessage(lastMessage().c_str(), nullptr);
}

bool SerialPort::purge(unsigned flags)
{
    return termline::flush(m_fd, (flags & (kPurgeRxAbort | kPurgeRxClear)) != 0,
        (flags & (kPurgeTxAbort | kPurgeTxClear)) != 0);
}

bool SerialPort::getState(LtLineSettings& settings)
{
    if (!termline::readSettings(m_fd, settings))
        return false;
    settings.EventChar = m_eventChar;
    return true;
}

bool SerialPort::setState(const LtLineSettings& settings)
{
    if (!termline::applySettings(m_fd, settings))
        return false;
    m_eventChar = settings.EventChar;
    m_characterNs = characterNs(settings);
    return true;
}

std::uint64_t SerialPort::bytesWritten()
{
    return totalBytesWritten.load();
}

SerialPort::Completion SerialPort::read(
    std::uint8_t* buffer, std::size_t length, std::size_t& received, std::uint64_t deadlineMs)
{
    received = 0;
    Clock& time = clock();
    const std::uint64_t start = time.nowMs();
    const std::uint64_t total =
        totalDeadline(start, m_timeouts.readTotalMultiplier, m_timeouts.readTotalConstant, length);
    std::uint64_t lastByte = start;
    while (received < length) {
        if (closed())
            return Completion::Failed;
        const ssize_t got = ::read(m_fd, buffer + received, length - received);
        if (got > 0) {
            received += static_cast<std::size_t>(got);
            trace::bytes(
                m_device, trace::kReceived, buffer + received - got, static_cast<std::size_t>(got));
            lastByte = time.nowMs();
            // The rest of a reply of known length is on its way at the line's
            // rate: sleep until all but its last byte should be in, not a wake
            // per byte. The last byte is awaited in poll(), which wakes as it
            // arrives; a sleep for it would end up to a whole character late
            // whenever the sender lags.
            const std::size_t missing = length - received;
            if (missing > 1 && m_characterNs > 0) {
                const std::uint64_t restUs = (missing - 1) * m_characterNs / kNsPerUs;
                std::uint64_t limit = earliest(total, deadlineMs);
                if (m_timeouts.readInterval != 0)
                    limit = earliest(limit, lastByte + m_timeouts.readInterval);
                const std::uint64_t limitUs = limit == kNoDeadline ? restUs
                    : limit > lastByte                             ? (limit - lastByte) * kUsPerMs
                                                                   : 0;
                time.sleepUs(static_cast<std::uint32_t>(
                    std::min({restUs, limitUs, std::uint64_t {UINT32_MAX}})));
            }
            continue;
        }
        if (got == 0)
            return Completion::Failed; // end of file: the other end is gone
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return Completion::Failed;

        // The interval time-out runs only once the first byte has arrived.
        std::uint64_t driverLimit = total;
        if (received > 0 && m_timeouts.readInterval != 0)
            driverLimit = earliest(driverLimit, lastByte + m_timeouts.readInterval);
        const std::uint64_t now = time.nowMs();
        if (driverLimit != kNoDeadline && now >= driverLimit)
            return Completion::Done;
        if (deadlineMs != kNoDeadline && now >= deadlineMs)
            return Completion::Pending;
        const int events =
            time.waitFd(m_fd, POLLIN, waitSpan(now, earliest(driverLimit, deadlineMs)));
        if (events < 0 || (events & (POLLERR | POLLNVAL)))
            return Completion::Failed;
        if ((events & POLLHUP) && !(events & POLLIN))
            return Completion::Failed;
    }
    return Completion::Done;
}

SerialPort::Completion SerialPort::write(
    const std::uint8_t* buffer, std::size_t length, std::size_t& sent, std::uint64_t deadlineMs)
{
    sent = 0;
    Clock& time = clock();
    const std::uint64_t total = totalDeadline(
        time.nowMs(), m_timeouts.writeTotalMultiplier, m_timeouts.writeTotalConstant, length);
    while (sent < length) {
        if (closed())
            return Completion::Failed;
        const ssize_t put = ::write(m_fd, buffer + sent, length - sent);
        if (put > 0) {
            sent += static_cast<std::size_t>(put);
            trace::bytes(
                m_device, trace::kSent, buffer + sent - put, static_cast<std::size_t>(put));
            totalBytesWritten += static_cast<std::uint64_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put == 0 || errno != EAGAIN)
            return Completion::Failed;
        const std::uint64_t now = time.nowMs();
        if (total != kNoDeadline && now >= total)
            return Completion::Done;
        if (deadlineMs != kNoDeadline && now >= deadlineMs)
            return Completion::Pending;
        const int events = time.waitFd(m_fd, POLLOUT, waitSpan(now, earliest(total, deadlineMs)));
        if (events < 0 || (events & (POLLERR | POLLNVAL | POLLHUP)))
            return Completion::Failed;
    }
    return Completion::Done;
}

} // namespace lt
