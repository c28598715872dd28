// The exchange worker: one exchange at a time on its own thread (a second
// start is refused, not queued), progress and the end told to its
// listener in order, a cancellation seen by the job and cutting the
// library's waits short through the interruptible clock.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/station/ExchangeWorker.h"
#include "core/station/InterruptibleClock.h"

namespace lt {
namespace {

using namespace std::chrono_literals;

struct RecordingListener : ExchangeListener {
    void exchangeStarted(const ExchangeProgress& progress) override
    {
        add("started " + progress.action);
    }
    void exchangeProgressed(const ExchangeProgress& progress) override
    {
        add(progress.step + " " + std::to_string(progress.done) + "/" +
            std::to_string(progress.total));
    }
    void exchangeEnded(const ExchangeProgress& progress, bool cancelled) override
    {
        add("ended " + progress.action + (cancelled ? " cancelled" : ""));
    }
    void add(const std::string& event)
    {
        std::lock_guard lock(mutex);
        events.push_back(event);
    }
    std::size_t eventCount()
    {
        std::lock_guard lock(mutex);
        return events.size();
    }
    std::mutex mutex;
    std::vector<std::string> events;
};

TEST(ExchangeWorker, OneExchangeAtATimeToldInOrderAndCancelledAtItsSafePoint)
{
    InterruptibleClock clock;
    RecordingListener listener;
    ExchangeWorker worker(ExchangeWorker::Threading::OwnThread);
    worker.setListener(&listener);
    worker.setWaitInterrupter(&clock);

    std::atomic<bool> refused {false};
    std::atomic<int> stepsDone {0};
    ASSERT_TRUE(worker.start("DarkRef", true, [&](ExchangeControl& control) {
        for (int step = 0; step < 3 && !control.cancelRequested(); ++step) {
            control.report("Scans", step, 3);
            clock.sleepMs(60000); // the instrument integrating
            ++stepsDone;
        }
    }));
    EXPECT_TRUE(worker.running());
    refused = !worker.start("Acquire", false, [](ExchangeControl&) { FAIL() << "replayed"; });
    EXPECT_TRUE(refused);

    // Cancelled while the instrument integrates.
    while (listener.eventCount() < 2)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(20ms);
    const auto cancelled = std::chrono::steady_clock::now();
    worker.cancel();
    worker.waitUntilIdle();
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 2s) << "the sleep was cut short";
    EXPECT_EQ(stepsDone, 1) << "the job stopped at its next safe point";
    EXPECT_FALSE(clock.interrupted()) << "the next exchange waits in full again";

    // The end is told after the worker turned idle.
    for (int waited = 0; listener.eventCount() < 3 && waited < 2000; ++waited)
        std::this_thread::sleep_for(1ms);
    worker.setListener(nullptr);
    EXPECT_EQ(listener.events,
        (std::vector<std::string> {"started DarkRef", "Scans 0/3", "ended DarkRef cancelled"}));

    // Not cancellable: a cancel is ignored and the job runs to its end.
    std::atomic<bool> sawCancel {true};
    ASSERT_TRUE(worker.start("New Parameter", false, [&](ExchangeControl& control) {
        std::this_thread::sleep_for(20ms);
        sawCancel = control.cancelRequested();
    }));
    worker.cancel();
    worker.waitUntilIdle();
    EXPECT_FALSE(sawCancel);
}

TEST(ExchangeWorker, OnTheCallersThreadAJobHasEndedWhenStartReturns)
{
    ExchangeWorker worker(ExchangeWorker::Threading::CallerThread);
    std::thread::id ranOn;
    ASSERT_TRUE(worker.start("Acquire", false, [&](ExchangeControl&) {
        ranOn = std::this_thread::get_id();
        EXPECT_FALSE(worker.start("Acquire", false, [](ExchangeControl&) {}));
    }));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_FALSE(worker.running());
}

// An interrupted clock lets a wait for a silent line and every deadline
// computed from the clock pass at once; resumed, it waits in full again.
TEST(InterruptibleClock, InterruptedWaitsEndAtOnceAndTheClockNeverRunsBack)
{
    InterruptibleClock clock;
    int line[2];
    ASSERT_EQ(::pipe(line), 0);
    const std::uint64_t before = clock.nowMs();
    std::thread canceller([&] {
        std::this_thread::sleep_for(50ms);
        clock.interruptWaits();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(clock.waitFd(line[0], POLLIN, 60000), 0);
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    const std::uint64_t deadline = clock.nowMs() + 7000;
    EXPECT_GE(clock.nowMs(), deadline) << "a deadline set while interrupted passes too";

    clock.resumeWaits();
    const std::uint64_t resumed = clock.nowMs();
    EXPECT_GE(resumed, before);
    EXPECT_EQ(clock.waitFd(line[0], POLLIN, 30), 0);
    EXPECT_GE(clock.nowMs(), resumed + 25) << "waits in full again";
    EXPECT_LT(clock.nowMs(), resumed + 1000);
    ::close(line[0]);
    ::close(line[1]);
}

} // namespace
} // namespace lt
