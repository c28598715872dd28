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

// The moment the program sees the line drop, the simulator no longer runs,
// so a start right then serves a new line (again and again).
TEST(SimFault, HangUpDropsTheLine)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    for (int round = 0; round < 30; ++round) {
        SimLine line(sim.simulator->devicePath());
        line.setSpeed(B9600);
        ASSERT_EQ(line.exchange(kTrigger, 7), kGoodTrigger) << round;
        sim.simulator->injectFault(fault(FaultKind::HangUp));
        line.send(kTrigger);
        pollfd p {line.fd(), POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 2000), 1);
        EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
        ASSERT_FALSE(sim.simulator->running()) << round;
        ASSERT_TRUE(sim.simulator->start());
        ASSERT_TRUE(sim.simulator->running());
    }
}

// Paced, a reply takes its ten bit times per byte and reaches the program
// in UART-sized bursts (not byte by byte): the 309-byte spectrum arrives in
// at most 20 reads of 16 bytes, the first of them not before 16 bytes' time.
TEST(SimFault, PacedRepliesTakeTheirTimeOnTheLineAndComeInBursts)
{
    ltsim::SimulatorOptions options = optionsFor(DeviceKind::LumatrakS);
    options.pacing = true;
    options.baudRate = 9600;
    RunningSimulator sim(options);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    sim.line->send(";B80900\r\n");
    std::string spectrum;
    int reads = 0;
    Clock::duration firstBurst {};
    while (spectrum.size() < 309u) {
        pollfd p {sim.line->fd(), POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 3000), 1);
        char buffer[512];
        const ssize_t n = ::read(sim.line->fd(), buffer, sizeof buffer);
        ASSERT_GT(n, 0);
        if (reads++ == 0)
            firstBurst = Clock::now() - start;
        spectrum.append(buffer, static_cast<std::size_t>(n));
    }
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(spectrum.size(), 309u);
    // 309 bytes of 10 bits at 9600 baud take 321.9 ms; 16 bytes 16.7 ms.
    EXPECT_GE(elapsed, std::chrono::microseconds(321875));
    EXPECT_GE(firstBurst, std::chrono::microseconds(16666));
    EXPECT_LE(reads, 20);
}

// The tally that timed tools hold a run against: bytes each way as they
// crossed the line (a truncated reply counts its half, a swallowed one
// nothing) and the instrument's working time, which only a paced instrument
// spends. Clearing the request log clears it.
TEST(SimFault, TallyCountsWhatCrossedTheLineAndThePacedWorkingTime)
{
    for (const bool paced : {false, true}) {
        ltsim::SimulatorOptions options = optionsFor(DeviceKind::LumatrakS);
        options.pacing = paced;
        options.baudRate = 9600;
        RunningSimulator sim(options);
        EXPECT_EQ(sim.line->exchange(";20\r\n", 7).size(), 7u);
        sim.simulator->injectFault({ltsim::FaultKind::Truncation});
        EXPECT_EQ(sim.line->exchange(";B80900\r\n", 309, 600).size(), 154u);
        sim.simulator->injectFault({ltsim::FaultKind::Silence});
        EXPECT_TRUE(sim.line->exchange(";07\r\n", 9, 200).empty());

        const ltsim::LineTally tally = sim.simulator->tally();
        EXPECT_EQ(tally.requestBytes, 5u + 9u + 5u) << paced;
        EXPECT_EQ(tally.replyBytes, 7u + 154u) << paced;
        EXPECT_EQ(tally.workMs, paced ? 250u : 0u) << paced;
        sim.simulator->clearRequests();
        EXPECT_EQ(sim.simulator->tally().requestBytes + sim.simulator->tally().replyBytes, 0u);
    }
}
