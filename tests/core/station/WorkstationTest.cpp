// The workstation's observers: a notification running on a worker while the
// user-interface thread removes and destroys an observer (a page closing
// during a chart run), and observers that remove themselves.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "common/ScriptedOperator.h"
#include "common/TempDirectory.h"
#include "core/station/Workstation.h"

namespace lt {
namespace {

using testing::ScriptedOperator;
using testing::TempDirectory;

// Slow enough that a removal lands in the middle of a call.
struct SlowObserver : MeasurementObserver {
    void valueAreaChanged() override
    {
        entered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ++calls; // would touch freed memory if removal did not wait
    }
    std::atomic<bool> entered {false};
    int calls = 0;
};

TEST(Workstation, RemovedObserverIsNeverCalledAgainAndMayBeDestroyedAtOnce)
{
    TempDirectory config;
    ScriptedOperator op;
    Workstation station(op, config.path());
    std::atomic<bool> stop {false};
    std::thread worker([&] {
        while (!stop)
            station.notify([](MeasurementObserver& observer) { observer.valueAreaChanged(); });
    });
    for (int round = 0; round < 20; ++round) {
        auto observer = std::make_unique<SlowObserver>();
        station.addObserver(observer.get());
        while (!observer->entered)
            std::this_thread::yield();
        station.removeObserver(observer.get());
        const int callsAtRemoval = observer->calls;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(observer->calls, callsAtRemoval) << "called after its removal returned";
        observer.reset();
    }
    stop = true;
    worker.join();
}

struct SelfRemovingObserver : MeasurementObserver {
    SelfRemovingObserver(Workstation& workstation, MeasurementObserver* alsoRemove)
        : station(workstation), other(alsoRemove)
    {
    }
    void valueAreaChanged() override
    {
        ++calls;
        station.removeObserver(this);
        if (other)
            station.removeObserver(other);
    }
    Workstation& station;
    MeasurementObserver* other;
    int calls = 0;
};

TEST(Workstation, AnObserverMayRemoveItselfAndOthersDuringANotification)
{
    TempDirectory config;
    ScriptedOperator op;
    Workstation station(op, config.path());
    SlowObserver later;
    SelfRemovingObserver first(station, &later);
    station.addObserver(&first);
    station.addObserver(&later);
    station.notify([](MeasurementObserver& observer) { observer.valueAreaChanged(); });
    station.notify([](MeasurementObserver& observer) { observer.valueAreaChanged(); });
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(later.calls, 0) << "removed before its turn in the same notification";
}

} // namespace
} // namespace lt
