#pragma once
// A real clock that runs faster: every millisecond the library waits lasts
// 1/scale of a real millisecond. Time-outs of many seconds then pass in a
// fraction of a second while the virtual instrument, which answers in real
// time, keeps its order of events against them: a reply delayed by more
// real time than a time-out's share still comes after that time-out.

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "instrument/include/LtClock.h"

namespace lt::test {

class ScaledClock : public Clock {
public:
    explicit ScaledClock(std::uint32_t scale) : m_scale(scale), m_previous(&clock())
    {
        setClock(this);
    }
    ~ScaledClock() override { setClock(m_previous); }
    ScaledClock(const ScaledClock&) = delete;
    ScaledClock& operator=(const ScaledClock&) = delete;

    std::uint64_t nowMs() override
    {
        const auto real = std::chrono::steady_clock::now() - m_start;
        return static_cast<std::uint64_t>(
                   std::chrono::duration_cast<std::chrono::microseconds>(real).count()) *
            m_scale / 1000;
    }
    void sleepMs(std::uint32_t ms) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(std::uint64_t(ms) * 1000 / m_scale));
    }
    int waitFd(int fd, short events, std::uint32_t timeoutMs) override
    {
        pollfd entry {fd, events, 0};
        const int realMs = static_cast<int>((std::uint64_t(timeoutMs) + m_scale - 1) / m_scale);
        const int ready = ::poll(&entry, 1, realMs);
        return ready < 0 ? -1 : (ready == 0 ? 0 : entry.revents);
    }
    // Real milliseconds that pass while the library waits this long.
    std::uint32_t realMs(std::uint32_t libraryMs) const { return libraryMs / m_scale; }

private:
    std::uint32_t m_scale;
    Clock* m_previous;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

} // namespace lt::test
