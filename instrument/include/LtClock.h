#pragma once
// The one clock of the instrument library. Every pause, time-out and wait for
// the port goes through it, in milliseconds. Production uses the steady
// clock and poll(); tests install a clock of their own so that the time-out
// paths run in a moment.

#include <cstdint>

#include "LtExport.h"

namespace lt {

class LTCTL_EXPORT Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual std::uint64_t nowMs() = 0;
    virtual void sleepMs(std::uint32_t ms) = 0;
    // A wait shorter than a millisecond matters on the line: a byte at 9600
    // baud takes 1.04 ms. Clocks that count whole milliseconds round up.
    virtual void sleepUs(std::uint32_t us) { sleepMs((us + 999) / 1000); }
    // Waits until fd reports one of events (POLLIN, POLLOUT) or timeoutMs has
    // passed. Returns poll()'s revents, 0 on time-out, -1 on error.
    virtual int waitFd(int fd, short events, std::uint32_t timeoutMs) = 0;
};

// The steady clock with poll() waits.
class LTCTL_EXPORT SteadyClock : public Clock {
public:
    std::uint64_t nowMs() override;
    void sleepMs(std::uint32_t ms) override;
    void sleepUs(std::uint32_t us) override;
    int waitFd(int fd, short events, std::uint32_t timeoutMs) override;
};

// The clock in use.
LTCTL_EXPORT Clock& clock();
// Installs a clock (not owned); null restores the steady clock.
LTCTL_EXPORT void setClock(Clock* replacement);

} // namespace lt
