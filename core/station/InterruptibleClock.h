#pragma once
// The steady clock of the instrument library with waits that a cancellation
// cuts short: while interrupted, every pause returns at once, every wait
// for the port reports a time-out and the clock runs ahead (never back), so
// that every deadline passes; an exchange that the operator cancelled ends
// now instead of after the instrument's integration time or the line's
// time-out. Installed with lt::setClock by the program; the
// exchange worker interrupts it on Cancel and resumes it when the exchange
// has ended.
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "core/station/ExchangeWorker.h"
#include "instrument/include/LtClock.h"

namespace lt {

class InterruptibleClock : public Clock, public WaitInterrupter {
public:
    InterruptibleClock();
    ~InterruptibleClock() override;
    InterruptibleClock(const InterruptibleClock&) = delete;
    InterruptibleClock& operator=(const InterruptibleClock&) = delete;

    std::uint64_t nowMs() override;
    void sleepMs(std::uint32_t ms) override;
    void sleepUs(std::uint32_t us) override;
    int waitFd(int fd, short events, std::uint32_t timeoutMs) override;

    void interruptWaits() override;
    void resumeWaits() override;
    bool interrupted() const;

private:
    SteadyClock steady;
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool cut = false;
    std::uint64_t skippedMs = 0; // [ms] the clock ran ahead of the steady clock
    int wakeFd = -1; // readable while interrupted
};

} // namespace lt
