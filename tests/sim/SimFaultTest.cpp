// Every injected fault can be seen on the wire.
#include <gtest/gtest.h>

#include <chrono>

#include "SimTestSupport.h"

using namespace simtest;
using ltsim::DeviceKind;
using ltsim::Fault;
using ltsim::FaultKind;
using ltsim::FaultScope;

namespace {

constexpr const char* kTrigger = ";20\r\n";
constexpr const char* kGoodTrigger = ":2500\r\n";

Fault fault(FaultKind kind, FaultScope scope = FaultScope::NextReply)
{
    Fault f;
    f.kind = kind;
    f.scope = scope;
    f.delayMs = 300;
    return f;
}

} // namespace

TEST(SimFault, NextReplyFaultsHitOneReplyOnly)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.simulator->injectFault(fault(FaultKind::Silence));
    EXPECT_EQ(sim.line->exchange(kTrigger, 7, 300), "");
    EXPECT_EQ(sim.line->exchange(kTrigger, 7), kGoodTrigger);

    sim.simulator->injectFault(fault(FaultKind::Garbage));
    std::string garbage = sim.line->exchange(kTrigger, 7);
    EXPECT_EQ(garbage.size(), 7u);
    EXPECT_NE(garbage, kGoodTrigger);
    EXPECT_NE(garbage[0], ':');

    sim.simulator->injectFault(fault(FaultKind::Truncation));
    EXPECT_EQ(sim.line->exchange(kTrigger, 7, 300), ":25");

    sim.simulator->injectFault(fault(FaultKind::WrongKind));
    std::string wrong = sim.line->exchange(kTrigger, 7);
    EXPECT_EQ(wrong.size(), 7u);
    EXPECT_EQ(wrong[0], ':');
    EXPECT_NE(wrong.substr(1, 2), "25");

    sim.simulator->injectFault(fault(FaultKind::Delay));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sim.line->exchange(kTrigger, 7), kGoodTrigger);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(280));

    EXPECT_EQ(sim.line->exchange(kTrigger, 7), kGoodTrigger);
}

TEST(SimFault, FromNowOnLastsUntilCleared)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.simulator->injectFault(fault(FaultKind::WrongKind, FaultScope::FromNowOn));
    EXPECT_NE(sim.line->exchange(kTrigger, 7), kGoodTrigger);
    EXPECT_NE(sim.line->exchange(";07\r\n", 9).substr(0, 3), ":12");
    sim.simulator->clearFaults();
    EXPECT_EQ(sim.line->exchange(kTrigger, 7), kGoodTrigger);
}

TEST(SimFault, RequestsWithoutReplyDoNotUseUpTheFault)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.simulator->injectFault(fault(FaultKind::Silence));
    sim.line->send(";4D27\r\n"); // speed 9600, no reply
    EXPECT_EQ(sim.line->exchange(kTrigger, 7, 300), "");
}

TEST(SimFault, HangUpDropsTheLine)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.simulator->injectFault(fault(FaultKind::HangUp));
    sim.line->send(kTrigger);
    pollfd p {sim.line->fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    for (int i = 0; i < 100 && sim.simulator->running(); ++i)
        usleep(10000);
    EXPECT_FALSE(sim.simulator->running());
    // A new start serves a new line.
    ASSERT_TRUE(sim.simulator->start());
    SimLine line(sim.simulator->devicePath());
    line.setSpeed(B9600);
    EXPECT_EQ(line.exchange(kTrigger, 7), kGoodTrigger);
}

TEST(SimFault, PacedRepliesTakeTheirTimeOnTheLine)
{
    ltsim::SimulatorOptions options = optionsFor(DeviceKind::LumatrakS);
    options.pacing = true;
    options.baudRate = 9600;
    RunningSimulator sim(options);
    auto start = std::chrono::steady_clock::now();
    std::string spectrum = sim.line->exchange(";B80900\r\n", 309, 3000);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(spectrum.size(), 309u);
    // 309 bytes of 10 bits at 9600 baud take about 320 ms.
    EXPECT_GE(elapsed, std::chrono::milliseconds(300));
}
