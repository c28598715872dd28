#pragma once
// The steady clock, adding up every pause the instrument library and the
// program's logic prescribe (every sleep goes through the clock seam).
#include <atomic>
#include <cstdint>

#include "instrument/include/LtClock.h"

namespace lt::bench {

class PauseCountingClock : public lt::SteadyClock {
public:
    void sleepMs(std::uint32_t ms) override
    {
        paused += ms;
        SteadyClock::sleepMs(ms);
    }
    std::atomic<std::uint64_t> paused {0}; // [ms]
};

} // namespace lt::bench
