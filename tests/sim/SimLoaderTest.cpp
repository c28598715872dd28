// The firmware loader: entry, blank check, erase, checked blocks, exit.
#include <gtest/gtest.h>

#include <vector>

#include "SimTestSupport.h"

using namespace simtest;
using ltsim::DeviceKind;

namespace {

std::string command(char a, char b)
{
    return std::string {a, b, static_cast<char>(static_cast<unsigned char>(a + b))};
}

std::string block(const std::vector<std::uint8_t>& data, int sumOffset = 0)
{
    unsigned sum = sumOffset;
    for (std::uint8_t b : data)
        sum += b;
    std::string message = "D";
    message.append(data.begin(), data.end());
    message.push_back(static_cast<char>((sum >> 8) & 0xFF));
    message.push_back(static_cast<char>(sum & 0xFF));
    return message;
}

std::vector<std::uint8_t> pattern(int seed)
{
    std::vector<std::uint8_t> data(256);
    for (int i = 0; i < 256; ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return data;
}

} // namespace

TEST(SimLoader, DownloadWritesTheFlashAndRejectsAWrongSum)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    ASSERT_EQ(sim.line->exchange("?5A0203\r\n", 5).size(), 5u);
    EXPECT_TRUE(sim.simulator->inLoader());

    std::string blankCheck = sim.line->exchange(command('B', '0'), 6);
    ASSERT_EQ(blankCheck.size(), 6u);
    EXPECT_NE(blankCheck[4], 'O'); // factory program in the flash
    EXPECT_EQ(sim.line->exchange(command('E', '0'), 6)[4], 'O');
    EXPECT_EQ(sim.line->exchange(command('B', '0'), 6)[4], 'O');
    EXPECT_TRUE(sim.simulator->flashBlank());
    EXPECT_EQ(sim.line->exchange(command('W', '0'), 3).size(), 3u);

    std::string accepted = sim.line->exchange(block(pattern(1)), 6);
    ASSERT_EQ(accepted.size(), 6u);
    EXPECT_EQ(accepted[1], 'O');
    EXPECT_EQ(accepted[4], 'O');
    std::string wrongSum = sim.line->exchange(block(pattern(2), 1), 6);
    EXPECT_EQ(wrongSum[1], 'E'); // refused on arrival, before anything is programmed
    EXPECT_EQ(sim.line->exchange(block(pattern(3)), 6)[4], 'O');

    sim.line->send("END");
    EXPECT_EQ(sim.line->drain(200), "");
    EXPECT_FALSE(sim.simulator->inLoader());

    std::vector<std::uint8_t> expected = pattern(1);
    expected.insert(expected.end(), 256, 0xFF); // the rejected block stays erased
    std::vector<std::uint8_t> third = pattern(3);
    expected.insert(expected.end(), third.begin(), third.end());
    EXPECT_EQ(sim.simulator->flashImage(), expected);
    EXPECT_EQ(sim.simulator->rejectedBlocks(), 1);
    // Back in the measurement protocol.
    EXPECT_EQ(sim.line->exchange(";07\r\n", 9), ":120000\r\n");
}

TEST(SimLoader, BlocksOverUnerasedFlashOrBeforeTheWriteCommandFail)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.line->exchange("?5A0203\r\n", 5);
    std::string early = sim.line->exchange(block(pattern(1)), 6);
    EXPECT_NE(early[1], 'O');
    sim.line->exchange(command('W', '0'), 3);
    EXPECT_EQ(sim.line->exchange(block(pattern(1)), 6)[1], 'E'); // not erased
    // A command with a wrong check byte is refused.
    EXPECT_NE(sim.line->exchange("E0x", 6)[4], 'O');
    EXPECT_FALSE(sim.simulator->flashBlank());
    // A lone "D" after a pause is a command of its own.
    EXPECT_EQ(sim.line->exchange("D", 3, 1000).size(), 3u);
}

TEST(SimLoader, AWornCellRefusesOnlyTheBlockOverIt)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.simulator->wearFlashCell(256 + 10);
    sim.line->exchange("?5A0203\r\n", 5);
    sim.line->exchange(command('E', '0'), 6);
    EXPECT_EQ(sim.line->exchange(command('B', '0'), 6)[4], 'O'); // worn cells read erased
    sim.line->exchange(command('W', '0'), 3);
    EXPECT_EQ(sim.line->exchange(block(pattern(1)), 6)[1], 'O');
    EXPECT_EQ(sim.line->exchange(block(pattern(2)), 6)[1], 'E');
    EXPECT_EQ(sim.line->exchange(block(pattern(3)), 6)[1], 'O');
    EXPECT_EQ(sim.simulator->rejectedBlocks(), 1);
}
