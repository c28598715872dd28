#include "core/station/InterruptibleClock.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

namespace lt {

namespace {
constexpr std::uint32_t kMicrosecondsPerMillisecond = 1000;
// While interrupted, every reading of the clock is this much later than
// the one before, so that every deadline of the cancelled exchange passes
// at once, also those it sets after the interruption.
constexpr std::uint64_t kSkipWhileInterruptedMs = 60000; // [ms]
} // namespace

InterruptibleClock::InterruptibleClock() : wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

InterruptibleClock::~InterruptibleClock()
{
    if (wakeFd >= 0)
        ::close(wakeFd);
}

std::uint64_t InterruptibleClock::nowMs()
{
    std::lock_guard lock(mutex);
    if (cut)
        skippedMs += kSkipWhileInterruptedMs;
    return steady.nowMs() + skippedMs;
}

void InterruptibleClock::sleepMs(std::uint32_t ms)
{
    std::unique_lock lock(mutex);
    wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return cut; });
}

void InterruptibleClock::sleepUs(std::uint32_t us)
{
    if (us >= kMicrosecondsPerMillisecond) {
        sleepMs((us + kMicrosecondsPerMillisecond - 1) / kMicrosecondsPerMillisecond);
        return;
    }
    // A byte's time on the line: too short to be worth cutting.
    if (!interrupted())
        steady.sleepUs(us);
}

int InterruptibleClock::waitFd(int fd, short events, std::uint32_t timeoutMs)
{
    const std::uint64_t deadline = steady.nowMs() + timeoutMs;
    for (;;) {
        if (interrupted())
            return 0;
        pollfd entries[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        const std::uint64_t now = steady.nowMs();
        const int remaining = now >= deadline
            ? 0
            : static_cast<int>(std::min<std::uint64_t>(deadline - now, INT_MAX));
        const int ready = ::poll(entries, wakeFd >= 0 ? 2 : 1, remaining);
        if (ready == 0)
            return 0;
        if (ready > 0) {
            if (entries[1].revents != 0)
                return 0; // interrupted meanwhile
            return entries[0].revents;
        }
        if (errno != EINTR)
            return -1;
    }
}

void InterruptibleClock::interruptWaits()
{
    {
        std::lock_guard lock(mutex);
        cut = true;
    }
    wake.notify_all();
    if (wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeFd, &one, sizeof one);
    }
}

void InterruptibleClock::resumeWaits()
{
    std::lock_guard lock(mutex);
    cut = false;
    if (wakeFd >= 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t drained = ::read(wakeFd, &count, sizeof count);
    }
}

bool InterruptibleClock::interrupted() const
{
    std::lock_guard lock(mutex);
    return cut;
}

} // namespace lt
