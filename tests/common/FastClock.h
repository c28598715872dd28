#pragma once
#include <algorithm>
#include <atomic>
#include <cstdint>

#include "instrument/include/LtClock.h"

namespace lt::testing {

// Real waits for the port, but pauses and time-outs pass at once: a
// truncated reply times out in a moment instead of eight seconds.
class FastClock : public Clock {
public:
    std::uint64_t nowMs() override { return steady.nowMs() + skipped; }
    void sleepMs(std::uint32_t ms) override { skipped += ms; }
    int waitFd(int fd, short events, std::uint32_t timeoutMs) override
    {
        constexpr std::uint32_t kLongestRealWait = 200; // [ms]
        int result = steady.waitFd(fd, events, std::min(timeoutMs, kLongestRealWait));
        if (result == 0 && timeoutMs > kLongestRealWait)
            skipped += timeoutMs - kLongestRealWait;
        return result;
    }

private:
    SteadyClock steady;
    std::atomic<std::uint64_t> skipped {0};
};

} // namespace lt::testing
