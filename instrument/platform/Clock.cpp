#include "instrument/include/LtClock.h"

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

namespace lt {

namespace {
SteadyClock steadyClock;
std::atomic<Clock*> installedClock {nullptr};
} // namespace

std::uint64_t SteadyClock::nowMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyClock::sleepMs(std::uint32_t ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SteadyClock::sleepUs(std::uint32_t us)
{
    if (us > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(us));
}

int SteadyClock::waitFd(int fd, short events, std::uint32_t timeoutMs)
{
    const std::uint64_t deadline = nowMs() + timeoutMs;
    for (;;) {
        pollfd entry {fd, events, 0};
        const std::uint64_t now = nowMs();
        const int remaining = now >= deadline
            ? 0
            : static_cast<int>(std::min<std::uint64_t>(deadline - now, INT32_MAX));
        const int ready = ::poll(&entry, 1, remaining);
        if (ready > 0)
            return entry.revents;
        if (ready == 0)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}

Clock& clock()
{
    Clock* installed = installedClock.load(std::memory_order_acquire);
    return installed ? *installed : steadyClock;
}

void setClock(Clock* replacement)
{
    installedClock.store(replacement, std::memory_order_release);
}

} // namespace lt
