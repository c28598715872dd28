// The streaming mode's exports: start and stop of the receive thread and
// XPress, which fires table moves and measurement triggers without waiting
// for their replies.

#include <cstring>

#include "instrument/include/LtClock.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"
#include "instrument/protocol/HexCodec.h"
#include "instrument/streaming/StreamingState.h"

namespace {

using lt::SerialPort;

constexpr std::uint32_t kStopGraceMs = 500; // [ms] StopReceiveThread's pause for the instrument
constexpr std::uint64_t kXPressWriteTimeoutMs = 5000;
constexpr std::size_t kMoveCoordinateColumn = 7;
constexpr std::size_t kLongestRequest = 17;

enum XPressCommand {
    kXPressReferenceRun = 8,
    kXPressTable3 = 11,
    kXPressTable4 = 12,
    kXPressTable2 = 14,
    kXPressMove = 21,
    kXPressPurge = 25,
    kXPressTable6 = 34,
    kXPressParameter = 36,
    kXPressTrigger = 37,
};

struct Request {
    const char* text;
    std::size_t length;
};

// The fixed requests; the move request gets its coordinates filled in.
bool fixedRequest(int command, Request& request)
{
    switch (command) {
    case kXPressReferenceRun:
        request = {";D010\r\n", 7};
        return true;
    case kXPressTable3:
        request = {";D003\r\n", 7};
        return true;
    case kXPressTable4:
        request = {";D004\r\n", 7};
        return true;
    case kXPressTable2:
        request = {";D002\r\n", 7};
        return true;
    case kXPressTable6:
        request = {";D00600\r\n", 9};
        return true;
    case kXPressParameter:
        request = {";220907\r\n", 9};
        return true;
    case kXPressTrigger:
        request = {";20\r\n", 5};
        return true;
    default:
        return false;
    }
}

// One write in a single transfer, without purging the receive side (the
// receive thread's data live there) and without the last-message buffer.
unsigned long writeRequest(void* handle, const char* bytes, std::size_t length)
{
    const auto port = SerialPort::fromHandle(handle);
    if (!port)
        return lt::kStatusPortNotOpen;
    const std::uint64_t deadline = lt::linkState().directIo.load()
        ? SerialPort::kNoDeadline
        : lt::clock().nowMs() + kXPressWriteTimeoutMs;
    std::size_t sent = 0;
    const auto done =
        port->write(reinterpret_cast<const std::uint8_t*>(bytes), length, sent, deadline);
    if (done == SerialPort::Completion::Failed)
        return lt::kStatusWriteFailed;
    if (done == SerialPort::Completion::Pending || sent != length)
        return lt::kStatusWriteTimeout;
    return lt::kStatusOk;
}

void* currentSlot()
{
    lt::StreamingState& state = lt::streamingState();
    return state.slots[state.receiveIndex.load()].load();
}

} // namespace

void CTaviSpec::StartReceiveThread(int /*unused*/, void** cursor)
{
    if (const auto port = SerialPort::fromHandle(m_portHandle))
        port->purge(lt::kPurgeAll);
    if (cursor)
        *cursor = nullptr;
    lt::startReceiver(m_portHandle);
}

void CTaviSpec::StopReceiveThread()
{
    const std::uint64_t start = lt::clock().nowMs();
    lt::stopReceiver();
    const std::uint64_t spent = lt::clock().nowMs() - start;
    if (spent < kStopGraceMs)
        lt::clock().sleepMs(static_cast<std::uint32_t>(kStopGraceMs - spent));
}

unsigned long CTaviSpec::XPress(int command, void** cursor, unsigned char clearSlot)
{
    lt::StreamingState& state = lt::streamingState();
    char move[kLongestRequest + 1] = ";D00000";
    Request request {};
    if (command == kXPressPurge) {
        if (const auto port = SerialPort::fromHandle(m_portHandle))
            port->purge(lt::kPurgeAll);
        if (cursor)
            *cursor = currentSlot();
        return lt::kStatusOk;
    }
    if (command == kXPressMove) {
        // The coordinates (X then Y, 16-bit) are what *cursor points to.
        if (!cursor || !*cursor)
            return lt::kStatusUnknownXPress;
        std::uint16_t position[2];
        std::memcpy(position, *cursor, sizeof position);
        lt::HexEncode16(move, sizeof move, kMoveCoordinateColumn, 2, position);
        std::memcpy(move + kMoveCoordinateColumn + 8, "\r\n", 2);
        request = {move, kLongestRequest};
    } else if (!fixedRequest(command, request)) {
        return lt::kStatusUnknownXPress;
    }

    if (command == kXPressTable6 && clearSlot)
        state.slots[state.receiveIndex.load()].store(nullptr);
    if (command == kXPressTrigger) {
        const int index = lt::nextSlot(state.submitIndex.load());
        state.submitIndex.store(index);
        state.slots[index].store(cursor ? *cursor : nullptr);
    }
    if (cursor)
        *cursor = currentSlot();

    const unsigned long status = writeRequest(m_portHandle, request.text, request.length);
    // Back-pressure: no more than three requests may wait for their
    // acknowledge. The wait ends too when the receive thread has ended, as
    // nobody would count the acknowledges down any more.
    state.pending.fetch_add(1);
    while (state.pending.load() > lt::kMaxOutstandingRequests && state.threadAlive.load())
        lt::clock().sleepMs(lt::kBackPressurePauseMs);
    return status;
}
