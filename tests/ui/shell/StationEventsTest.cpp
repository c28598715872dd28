// The bridge from the core's events to the windows: an event raised on a
// worker arrives on the user-interface thread with its data, one raised on
// the user-interface thread arrives at once, and a bridge destroyed with
// events still queued drops them.
#include "ui/instrument_page/PageFixture.h"

#include <thread>

#include "common/ScriptedOperator.h"
#include "common/TempDirectory.h"
#include "ui/shell/StationEvents.h"

namespace {

struct Received {
    std::vector<int> numbers;
    std::vector<bool> onUiThread;
    std::vector<QString> statuses;
};

void listen(StationEvents& events, Received& received)
{
    QObject::connect(&events, &StationEvents::sampleMeasured, &events,
        [&received](const lt::MeasuredSample& sample) {
            received.numbers.push_back(sample.number);
            received.onUiThread.push_back(
                QThread::currentThread() == lt::testing::testApplication().thread());
        });
    QObject::connect(&events, &StationEvents::statusTextChanged, &events,
        [&received](const QString& text) { received.statuses.push_back(text); });
}

void raiseSample(lt::Workstation& station, int number)
{
    lt::MeasuredSample sample;
    sample.number = number;
    sample.row[lt::column::kNumber] = "  " + std::to_string(number);
    station.notify([&](lt::MeasurementObserver& observer) { observer.sampleMeasured(sample); });
}

TEST(StationEvents, EveryEventReachesTheUserInterfaceThreadInOrder)
{
    lt::testing::testApplication();
    lt::testing::TempDirectory config;
    lt::testing::ScriptedOperator op;
    lt::Workstation station(op, config.path());
    StationEvents events(station);
    Received received;
    listen(events, received);

    raiseSample(station, 1);
    EXPECT_EQ(received.numbers, std::vector<int> {1}) << "same thread: at once";

    std::thread worker([&] {
        for (int n = 2; n <= 4; ++n)
            raiseSample(station, n);
        station.notify(
            [](lt::MeasurementObserver& observer) { observer.statusTextChanged("Solid \xB5"); });
    });
    worker.join();
    EXPECT_EQ(received.numbers.size(), 1u) << "a worker's events wait for the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(received.numbers, (std::vector<int> {1, 2, 3, 4}));
    EXPECT_EQ(received.onUiThread, (std::vector<bool> {true, true, true, true}));
    ASSERT_EQ(received.statuses.size(), 1u);
    EXPECT_EQ(received.statuses[0], QString::fromUtf8("Solid \xC2\xB5")) << "Latin-1 text";
}

TEST(StationEvents, ABridgeGoneBeforeItsQueuedEventsDropsThem)
{
    lt::testing::testApplication();
    lt::testing::TempDirectory config;
    lt::testing::ScriptedOperator op;
    lt::Workstation station(op, config.path());
    Received received;
    {
        StationEvents events(station);
        listen(events, received);
        std::thread worker([&] { raiseSample(station, 7); });
        worker.join();
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.numbers.empty());
    raiseSample(station, 8); // nobody listens any more
    EXPECT_TRUE(received.numbers.empty());
}

} // namespace
