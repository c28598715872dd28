// The four transfer primitives of the instrument link and the last-message
// buffer that the verbose box shows.

#include <algorithm>
#include <atomic>
#include <cstring>

#include "instrument/include/LtClock.h"
#include "instrument/platform/HostHooks.h"
#include "instrument/platform/SerialPort.h"

namespace lt {

namespace {

constexpr unsigned long kLineFeed = 0x0A;
constexpr unsigned long kTimeoutBeepHz = 800;
constexpr unsigned long kTimeoutBeepMs = 30;
constexpr std::uint32_t kTimeoutBeepGapMs = 300;

std::atomic<bool> verboseFlag {false};

bool isByteMode(unsigned mode)
{
    return mode == kModeByteWait || mode == kModeBytePoll;
}

std::uint64_t deadlineAfter(bool timed, unsigned long timeoutMs)
{
    return timed ? clock().nowMs() + timeoutMs : SerialPort::kNoDeadline;
}

// Sends a message in one transfer (block modes) or byte by byte up to and
// including the first LF (byte modes). A transfer that the time-out block
// cuts short, or that the caller's time-out overtakes, fails the write: a
// message sent in part is worthless to the instrument.
unsigned long writeMessage(unsigned mode, bool timed, unsigned long timeoutMs, void* handle,
    const void* buffer, unsigned long length, unsigned long& count)
{
    count = 0;
    const auto port = SerialPort::fromHandle(handle);
    if (!port)
        return kStatusPortNotOpen;
    port->purge(kPurgeAll);
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    port->recordLastMessage(bytes, length);
    const unsigned long unit = isByteMode(mode) ? 1 : length;
    for (unsigned long position = 0; position < length; position += unit) {
        std::size_t sent = 0;
        const auto done =
            port->write(bytes + position, unit, sent, deadlineAfter(timed, timeoutMs));
        count += static_cast<unsigned long>(sent);
        if (done == SerialPort::Completion::Pending) {
            port->purge(kPurgeAll);
            return kStatusWriteTimeout;
        }
        if (done == SerialPort::Completion::Failed)
            return kStatusWriteFailed;
        if (sent < unit)
            return kStatusWriteTimeout;
        if (isByteMode(mode) && bytes[position] == kLineFeed)
            break;
    }
    return kStatusOk;
}

// Receives one block (block modes) or bytes up to the first LF (byte modes),
// never beyond length. A block that the time-out block ends early is a
// success with a smaller count.
unsigned long readMessage(unsigned mode, bool timed, unsigned long timeoutMs, void* handle,
    void* buffer, unsigned long length, unsigned long& count)
{
    count = 0;
    const auto port = SerialPort::fromHandle(handle);
    if (!port)
        return kStatusPortNotOpen;
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    const unsigned long unit = isByteMode(mode) ? 1 : length;
    for (unsigned long position = 0; position < length; position += unit) {
        std::size_t received = 0;
        const auto done =
            port->read(bytes + position, unit, received, deadlineAfter(timed, timeoutMs));
        if (done == SerialPort::Completion::Failed) {
            port->showVerboseBox();
            return kStatusReadFailed;
        }
        if (done == SerialPort::Completion::Pending) {
            beep(kTimeoutBeepHz, kTimeoutBeepMs);
            clock().sleepMs(kTimeoutBeepGapMs);
            beep(kTimeoutBeepHz, kTimeoutBeepMs);
            port->showVerboseBox();
            port->purge(kPurgeAll);
            return kStatusReadTimeout;
        }
        count += static_cast<unsigned long>(received);
        if (received < unit)
            break; // ended by the time-out block
        if (isByteMode(mode) && bytes[position] == kLineFeed)
            break;
    }
    return kStatusOk;
}

} // namespace

unsigned long PortWrite(unsigned mode, unsigned long timeoutMs, void* handle, const void* buffer,
    unsigned long length, unsigned long& count)
{
    return writeMessage(mode, true, timeoutMs, handle, buffer, length, count);
}

unsigned long PortRead(unsigned long /*pollMs*/, unsigned mode, unsigned long timeoutMs,
    void* handle, void* buffer, unsigned long length, unsigned long& count)
{
    // The read waits for readiness in poll(), so the caller's poll interval
    // adds no delay.
    return readMessage(mode, true, timeoutMs, handle, buffer, length, count);
}

unsigned long PortWriteDirect(
    unsigned mode, void* handle, const void* buffer, unsigned long length, unsigned long& count)
{
    return writeMessage(mode, false, 0, handle, buffer, length, count);
}

unsigned long PortReadDirect(
    unsigned mode, void* handle, void* buffer, unsigned long length, unsigned long& count)
{
    return readMessage(mode, false, 0, handle, buffer, length, count);
}

void setVerbose(bool on)
{
    verboseFlag.store(on);
}

bool verbose()
{
    return verboseFlag.load();
}

} // namespace lt
