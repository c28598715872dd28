#include "LinePacing.h"

#include <cerrno>
#include <ctime>

namespace ltsim {

std::chrono::nanoseconds lineTime(std::size_t bytes, unsigned baud)
{
    if (baud == 0)
        return std::chrono::nanoseconds::zero();
    constexpr long long kNanosecondsPerSecond = 1'000'000'000LL;
    return std::chrono::nanoseconds(static_cast<long long>(bytes) * kBitsPerByte *
        kNanosecondsPerSecond / static_cast<long long>(baud));
}

void sleepUntil(std::chrono::steady_clock::time_point deadline)
{
    // The steady clock counts CLOCK_MONOTONIC on Linux.
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    timespec wakeAt {};
    wakeAt.tv_sec = static_cast<time_t>(seconds.count());
    wakeAt.tv_nsec = static_cast<long>((sinceEpoch - seconds).count());
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wakeAt, nullptr) == EINTR) { }
}

} // namespace ltsim
