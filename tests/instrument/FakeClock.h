#pragma once
// A clock for the instrument tests: pauses cost no real time, and a wait for
// the port that the scripted peer will never answer jumps straight to its
// time-out. Every pause is recorded so tests can check the prescribed ones.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "instrument/include/LtClock.h"

namespace lt::test {

class FakeClock : public Clock {
public:
    // quiet() tells whether the other end has nothing more to say until it
    // hears from us; without it a wait gives up after a short real delay.
    explicit FakeClock(std::function<bool()> quiet = {});
    ~FakeClock() override;

    std::uint64_t nowMs() override { return m_now.load(); }
    void sleepMs(std::uint32_t ms) override;
    // A wait for bytes on their way, not a pause of the exchange: it takes
    // its real time and is recorded apart from the pauses.
    void sleepUs(std::uint32_t us) override;
    int waitFd(int fd, short events, std::uint32_t timeoutMs) override;

    std::vector<std::uint32_t> pauses() const;
    void clearPauses();
    std::vector<std::uint32_t> byteWaitsUs() const;
    // Fake milliseconds spent in waits that ran into their time-out.
    std::uint64_t timedOutMs() const { return m_timedOut.load(); }

private:
    std::function<bool()> m_quiet;
    Clock* m_previous;
    std::atomic<std::uint64_t> m_now {1000000};
    std::atomic<std::uint64_t> m_timedOut {0};
    mutable std::mutex m_mutex;
    std::vector<std::uint32_t> m_pauses;
    std::vector<std::uint32_t> m_byteWaitsUs;
};

} // namespace lt::test
