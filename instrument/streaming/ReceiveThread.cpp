// The streaming receive thread: reads every acknowledge and every measurement
// block the instrument sends and files the blocks into the callers' records.

#include <algorithm>
#include <cstring>
#include <thread>

#include "instrument/include/LtClock.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"
#include "instrument/streaming/MeasurementBlock.h"
#include "instrument/streaming/StreamingState.h"

namespace lt {
namespace {

constexpr std::size_t kHeaderLength = 3; // ':' and the two answer characters
constexpr std::size_t kTriggerAckRest = 4; // ":25" then 4 more
constexpr std::size_t kTableAckRest = 6; // ":D1" then 6 more
constexpr std::uint64_t kReadCompletionMs = 600000; // [ms] longest wait for one read
constexpr std::size_t kDecodeBufferSize = 1024;
constexpr char kLeadCharacter = ':';
constexpr char kLineFeed = '\n';

enum class ReadEnd { Complete, Short, Stopped };

// Reads up to length bytes; the wait is cut into poll intervals so that a
// cleared run flag ends it at once. The port's time-out block (total and
// interval) ends a read early with whatever arrived.
ReadEnd receive(
    StreamingState& state, std::uint8_t* buffer, std::size_t length, std::size_t& received)
{
    received = 0;
    Clock& time = clock();
    const std::uint64_t start = time.nowMs();
    const std::uint64_t completion = start + kReadCompletionMs;
    std::uint64_t lastByte = start;
    while (received < length) {
        if (!state.run.load())
            return ReadEnd::Stopped;
        const auto port = SerialPort::fromHandle(state.threadHandle.load());
        if (!port)
            return ReadEnd::Stopped; // the port was closed under the thread
        const CommTimeouts timeouts = port->timeouts();
        std::uint64_t now = time.nowMs();
        std::uint64_t limit = std::min(completion, now + kStreamPollMs);
        std::size_t got = 0;
        const auto done = port->read(buffer + received, length - received, got, limit);
        received += got;
        now = time.nowMs();
        if (got > 0)
            lastByte = now;
        if (received == length)
            return ReadEnd::Complete;
        if (done == SerialPort::Completion::Failed) {
            port->showVerboseBox();
            time.sleepMs(kStreamPollMs); // a line that fails at once must not spin
            return ReadEnd::Short;
        }
        if (done == SerialPort::Completion::Done)
            return ReadEnd::Short; // cut short by the port's own time-out block
        const bool totalOver = (timeouts.readTotalMultiplier || timeouts.readTotalConstant) &&
            now >= start + std::uint64_t(timeouts.readTotalMultiplier) * length +
                    timeouts.readTotalConstant;
        const bool intervalOver =
            received > 0 && timeouts.readInterval && now >= lastByte + timeouts.readInterval;
        if (totalOver || intervalOver || now >= completion)
            return ReadEnd::Short;
    }
    return ReadEnd::Complete;
}

// Drops what is left of a reply the thread cannot use, up to its line end.
void skipRestOfLine(StreamingState& state, std::uint8_t* buffer)
{
    for (std::size_t dropped = 0; dropped < kDecodeBufferSize; ++dropped) {
        std::size_t got = 0;
        if (receive(state, buffer, 1, got) != ReadEnd::Complete || buffer[0] == kLineFeed)
            return;
    }
}

// Finds the start of a reply: a header that does not begin with ':' is
// shifted until it does.
bool receiveHeader(StreamingState& state, std::uint8_t* buffer)
{
    std::size_t got = 0;
    if (receive(state, buffer, kHeaderLength, got) != ReadEnd::Complete)
        return false;
    while (buffer[0] != kLeadCharacter) {
        std::memmove(buffer, buffer + 1, kHeaderLength - 1);
        if (receive(state, buffer + kHeaderLength - 1, 1, got) != ReadEnd::Complete)
            return false;
    }
    return true;
}

void handleMeasurementBlock(StreamingState& state, std::uint8_t* buffer)
{
    const unsigned mask = linkState().measurementOutputMask.load();
    const std::size_t length = measurementBlockLength(mask);
    if (length == 0) {
        skipRestOfLine(
            state, buffer + kHeaderLength); // a block of unknown size: wait for the next reply
        return;
    }
    std::size_t got = 0;
    if (receive(state, buffer + kHeaderLength, length - kHeaderLength, got) != ReadEnd::Complete)
        return;
    const int index = nextSlot(state.receiveIndex.load());
    state.receiveIndex.store(index);
    // A slot without a registered record takes the block nowhere.
    if (void* record = state.slots[index].load())
        storeMeasurementBlock(reinterpret_cast<const char*>(buffer), length, mask, record);
    state.newData.store(1);
}

void receiveLoop(StreamingState& state)
{
    std::uint8_t buffer[kDecodeBufferSize];
    while (state.run.load()) {
        // Without its port (never opened, or closed under it) the thread has
        // nothing to wait for.
        if (!SerialPort::fromHandle(state.threadHandle.load()))
            break;
        if (!receiveHeader(state, buffer))
            continue;
        std::size_t got = 0;
        switch (buffer[1]) {
        case '2':
            if (receive(state, buffer + kHeaderLength, kTriggerAckRest, got) == ReadEnd::Complete)
                state.pending.fetch_sub(1);
            break;
        case 'D':
            if (receive(state, buffer + kHeaderLength, kTableAckRest, got) == ReadEnd::Complete)
                state.pending.fetch_sub(1);
            break;
        case 'B':
            handleMeasurementBlock(state, buffer);
            break;
        default:
            skipRestOfLine(state, buffer + kHeaderLength);
            break;
        }
    }
    state.threadAlive.store(false);
}

// Owns the thread; at library unload a running thread is stopped and joined.
struct Receiver {
    std::thread thread;
    ~Receiver()
    {
        streamingState().run.store(false);
        if (thread.joinable())
            thread.join();
    }
};

Receiver& receiver()
{
    static Receiver instance;
    return instance;
}

} // namespace

StreamingState& streamingState()
{
    static StreamingState state;
    return state;
}

void stopReceiver()
{
    StreamingState& state = streamingState();
    state.run.store(false);
    Receiver& owner = receiver();
    if (owner.thread.joinable())
        owner.thread.join();
}

void startReceiver(void* handle)
{
    stopReceiver();
    StreamingState& state = streamingState();
    state.threadHandle.store(handle);
    state.pending.store(1);
    state.newData.store(0);
    state.receiveIndex.store(0);
    state.submitIndex.store(0);
    // Records of an earlier session may be gone: no slot outlives its session.
    for (auto& slot : state.slots)
        slot.store(nullptr);
    state.run.store(true);
    state.threadAlive.store(true);
    receiver().thread = std::thread(receiveLoop, std::ref(state));
}

} // namespace lt
