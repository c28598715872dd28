// The instrument page's logic with its exchanges on the worker thread, as
// the program runs it: a click returns at once, what other pages ask of it
// may be read meanwhile, a second click while one exchange runs is refused
// and never carried out later, and the end comes with its outcome. Run
// under the tsan preset, this is the check that the page's thread rules
// hold.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/ScriptedOperator.h"
#include "common/TempDirectory.h"
#include "core/instrument_page/InstrumentController.h"
#include "core/station/Workstation.h"
#include "ltsim/Simulator.h"

namespace lt {
namespace {

using testing::ScriptedOperator;
using testing::TempDirectory;

TEST(ControllerOnWorker, ClicksReturnAtOnceASecondIsRefusedAndNothingIsReplayed)
{
    ltsim::Simulator sim;
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    ASSERT_EQ(CTaviSpec::SetPortDevice(1, sim.devicePath().c_str()), 0ul);
    TempDirectory config;
    ScriptedOperator op;
    Workstation station(op, config.path(), ExchangeWorker::Threading::OwnThread);

    std::mutex mutex;
    std::vector<std::string> outcomes;
    std::atomic<int> beeps {0};
    InstrumentController controller(station, [&](unsigned long, unsigned long) { ++beeps; });
    controller.setOutcomeHandler([&](const ExchangeOutcome& outcome) {
        std::lock_guard lock(mutex);
        outcomes.push_back(std::string(outcome.action) + (outcome.failed ? " failed" : " ok"));
    });

    controller.initDevice();
    int readsMeanwhile = 0;
    while (station.exchanges().running()) {
        // What the other pages and the remote poll's timer ask meanwhile.
        readsMeanwhile += controller.deviceReady() + controller.commNumber() +
            controller.portOpenForService() + controller.remoteTimerRunning();
        controller.selectPort(2); // refused while the exchange runs
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    (void)readsMeanwhile;
    ASSERT_TRUE(controller.deviceReady());
    EXPECT_EQ(controller.commNumber(), 1);

    sim.setSample("paper");
    EXPECT_EQ(controller.acquire(), kStatusOk) << "started on the worker";
    EXPECT_EQ(controller.acquire(), kStatusInstrumentBusy) << "refused, not queued";
    controller.darkReference(); // refused as well
    station.exchanges().waitUntilIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(station.exchanges().running()) << "nothing replayed";
    EXPECT_EQ(station.list().rowCount(), 1);
    EXPECT_EQ(beeps, 1);
    std::lock_guard lock(mutex);
    EXPECT_EQ(outcomes, (std::vector<std::string> {"Init Device ok", "Acquire ok"}));
}

} // namespace
} // namespace lt
