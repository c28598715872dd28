#include "instrument/FakeClock.h"

#include <poll.h>

#include <chrono>
#include <thread>

namespace lt::test {

namespace {

constexpr int kRealPollMs = 5;
// The peer must look quiet this many times in a row: a reply written to a
// pseudo-terminal reaches the other side a moment later.
constexpr int kQuietChecks = 6;
// Without a peer to ask, or if it never quiets down, give up after this.
constexpr int kPauseQuietChecks = 3;
constexpr auto kRealPatience = std::chrono::milliseconds(150);
// Without a peer to ask, a wait gives up after this much real time: long
// enough for a virtual instrument on a busy machine under the sanitizers.
constexpr auto kRealPatienceWithoutPeer = std::chrono::milliseconds(1500);
constexpr auto kRealSafety = std::chrono::seconds(10);

} // namespace

FakeClock::FakeClock(std::function<bool()> quiet) : m_quiet(std::move(quiet)), m_previous(&clock())
{
    setClock(this);
}

FakeClock::~FakeClock()
{
    setClock(m_previous);
}

void FakeClock::sleepMs(std::uint32_t ms)
{
    {
        std::lock_guard lock(m_mutex);
        m_pauses.push_back(ms);
    }
    // While the library pauses, the instrument takes what was sent: a purge
    // after the pause must not find the request still on the line.
    if (m_quiet) {
        const auto start = std::chrono::steady_clock::now();
        int quietChecks = 0;
        while (quietChecks < kPauseQuietChecks &&
            std::chrono::steady_clock::now() - start < kRealPatience) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            quietChecks = m_quiet() ? quietChecks + 1 : 0;
        }
    }
    m_now += ms;
}

void FakeClock::sleepUs(std::uint32_t us)
{
    {
        std::lock_guard lock(m_mutex);
        m_byteWaitsUs.push_back(us);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(us));
    m_now += (us + 999) / 1000;
}

int FakeClock::waitFd(int fd, short events, std::uint32_t timeoutMs)
{
    const auto start = std::chrono::steady_clock::now();
    int quietChecks = 0;
    for (;;) {
        pollfd entry {fd, events, 0};
        const int ready = ::poll(&entry, 1, kRealPollMs);
        if (ready != 0)
            return ready < 0 ? -1 : entry.revents;
        const auto waited = std::chrono::steady_clock::now() - start;
        if (m_quiet) {
            quietChecks = m_quiet() ? quietChecks + 1 : 0;
            if (quietChecks >= kQuietChecks || waited > kRealSafety)
                break;
        } else if (waited > kRealPatienceWithoutPeer) {
            break;
        }
    }
    m_now += timeoutMs;
    m_timedOut += timeoutMs;
    return 0;
}

std::vector<std::uint32_t> FakeClock::pauses() const
{
    std::lock_guard lock(m_mutex);
    return m_pauses;
}

void FakeClock::clearPauses()
{
    std::lock_guard lock(m_mutex);
    m_pauses.clear();
}

std::vector<std::uint32_t> FakeClock::byteWaitsUs() const
{
    std::lock_guard lock(m_mutex);
    return m_byteWaitsUs;
}

} // namespace lt::test
