// The numbered command entry: what each command sends, how its reply is
// judged, and the firmware loader's commands with their check bytes.

#include <bit>
#include <cstring>

#include "instrument/LinkFixture.h"

namespace lt::test {
namespace {

using Peer = ScriptedPeer;

const std::string kAck = line(":1F0000");

class GretagCommand : public OpenLinkFixture {
protected:
    std::uint32_t localRate()
    {
        LtLineSettings line {};
        SerialPort::fromHandle(linkState().sharedHandle)->getState(line);
        return line.BaudRate;
    }
};

TEST_F(GretagCommand, MeasurementModeSwitches)
{
    const std::pair<int, std::string> cases[] = {{3, ";4D9B\r\n"}, {4, ";4D9C\r\n"},
        {5, ";4D9C\r\n"}}; // the emission button sends transmission
    for (const auto& [command, request] : cases) {
        peer.play({Peer::answer(request, kAck)});
        EXPECT_EQ(instrument.GretagCMD(command, nullptr), 0u);
        expectSent(request);
        peer.stop();
    }
    peer.play({Peer::answer(";4D9B\r\n", line(":1F0300"))});
    EXPECT_EQ(instrument.GretagCMD(3, nullptr), 1u) << "the instrument refused";
}

TEST_F(GretagCommand, TableDetection)
{
    peer.play({Peer::answer(";D010\r\n", line(":D180") + "00\r\n")});
    unsigned char table[4] = {0, 9, 9, 9};
    EXPECT_EQ(instrument.GretagCMD(2, table), 0u);
    EXPECT_EQ(table[0], 4) << "an XY table answered";
    EXPECT_EQ(table[1], 9);
    EXPECT_EQ(fakeClock.pauses(), (std::vector<std::uint32_t> {100, 100}));
    peer.stop();

    peer.play({Peer::answer(";D010\r\n", line(":26000"))});
    table[0] = 0;
    EXPECT_EQ(instrument.GretagCMD(2, table), 0u);
    EXPECT_EQ(table[0], 2) << "no table";
}

TEST_F(GretagCommand, BaudChangeTellsTheInstrumentAndSwitchesTheLine)
{
    const std::pair<std::uint16_t, std::string> cases[] = {{9600, ";4D27\r\n"},
        {19200, ";4D28\r\n"}, {28800, ";4D98\r\n"}, {57600, ";4D99\r\n"}, {38400, ";4D00\r\n"}};
    for (const auto& [rate, request] : cases) {
        peer.play({Peer::answer(request, "")});
        std::uint16_t payload = rate;
        EXPECT_EQ(instrument.GretagCMD(22, &payload), 0u);
        expectSent(request);
        EXPECT_EQ(localRate(), rate);
        peer.stop();
    }
    EXPECT_EQ(instrument.GretagCMD(22, nullptr), kStatusShortReply);
}

TEST_F(GretagCommand, DensitySlopesAndParameters)
{
    const float slopes[4] = {1.0f, 0.5f, 2.0f, 1.0f};
    peer.play({Peer::answer(";170000803F0000003F000000400000803F\r\n", kAck)});
    EXPECT_EQ(instrument.GretagCMD(100, const_cast<float*>(slopes)), 0u);
    expectSent(";170000803F0000003F000000400000803F\r\n");
    peer.stop();

    GretagStruct g {};
    g.ExtraOption = 1;
    // Illuminant 0 is coded "2" here, unlike the calibration's parameter message.
    const std::pair<std::uint8_t, char> illuminants[] = {
        {0, '2'}, {1, '0'}, {2, '1'}, {3, '2'}, {4, '3'}, {5, '8'}};
    for (const auto& [illuminant, code] : illuminants) {
        g.Illuminant = illuminant;
        const std::string request = std::string(";1600010") + code + "00\r\n";
        peer.play({Peer::answer(request, kAck)});
        EXPECT_EQ(instrument.GretagCMD(101, &g), 0u);
        expectSent(request);
        peer.stop();
    }
}

TEST_F(GretagCommand, ServiceQueriesDecodeTheirValue)
{
    peer.play(
        {Peer::answer(";01\r\n", line(":0C" + std::string("0100000002000000030000000400000000")))});
    std::uint32_t four[4] = {};
    EXPECT_EQ(instrument.GretagCMD(1, four), 0u);
    EXPECT_EQ(four[0], 1u);
    EXPECT_EQ(four[3], 4u);
    peer.stop();

    const std::pair<int, std::string> queries[] = {
        {200, "?C064\r\n"}, {201, "?C065\r\n"}, {202, "?C068\r\n"}};
    for (const auto& [command, request] : queries) {
        peer.play({Peer::answer(request, line("=C064D2040000000000"))});
        std::uint32_t value = 0;
        EXPECT_EQ(instrument.GretagCMD(command, &value), 0u);
        EXPECT_EQ(value, 1234u);
        expectSent(request);
        peer.stop();
    }
}

TEST_F(GretagCommand, ExtendedServiceQueries)
{
    const char* requests[] = {
        "?C064", "?C065", "?C068", "?C06C", "?C06D", "?C079", "?C07A", "?C07B"};
    for (int i = 0; i < 8; ++i) {
        peer.play({Peer::answer(std::string(requests[i]) + "\r\n", line("=C1xx0A0F0000000000"))});
        std::uint32_t value = 0;
        EXPECT_EQ(instrument.GretagCMD(500 + i, &value), 0u);
        EXPECT_EQ(value, 0x0F0Au);
        peer.stop();
    }
    peer.play({Peer::answer("?C064\r\n", line("=C2xx0A0F0000000000"))});
    std::uint32_t value = 77;
    EXPECT_EQ(instrument.GretagCMD(500, &value), 5u);
    EXPECT_EQ(value, 77u);
}

TEST_F(GretagCommand, ShortOrBrokenRepliesLeaveThePayload)
{
    const std::string first = line("=C064D2040000000000");
    peer.play({Peer::answer("?C064\r\n", first), Peer::answer("?C064\r\n", "=C0")});
    std::uint32_t value = 0;
    ASSERT_EQ(instrument.GretagCMD(200, &value), 0u);
    value = 5;
    EXPECT_EQ(instrument.GretagCMD(200, &value), kStatusShortReply);
    EXPECT_EQ(value, 5u);
    peer.stop();

    peer.play({Peer::answer("?C064\r\n", line("=C06XYZW0000000000"))});
    EXPECT_EQ(instrument.GretagCMD(200, &value), kStatusShortReply);
    EXPECT_EQ(value, 5u);
}

TEST_F(GretagCommand, EventCharacterAndSingleByte)
{
    peer.play({Peer::answer("", "\x2A")});
    unsigned char eventChar = '\n';
    EXPECT_EQ(instrument.GretagCMD(250, &eventChar), 0u);
    LtLineSettings line {};
    SerialPort::fromHandle(linkState().sharedHandle)->getState(line);
    EXPECT_EQ(line.EventChar, '\n');

    unsigned char byte = 0;
    EXPECT_EQ(instrument.GretagCMD(251, &byte), 0u);
    EXPECT_EQ(byte, 0x2A);
}

TEST_F(GretagCommand, UnknownCommandSendsNothing)
{
    peer.play({});
    EXPECT_EQ(instrument.GretagCMD(42, nullptr), 0u);
    int payload = 0;
    EXPECT_EQ(instrument.GretagCMD(42, &payload), kStatusUnknownOperation);
    expectSent("");
}

TEST_F(GretagCommand, LoaderEntryPausesForTheInstrument)
{
    peer.play({Peer::answer("?5A0203\r\n", "=5A\r\n")});
    EXPECT_EQ(instrument.GretagCMD(300, nullptr), 0u);
    expectSent("?5A0203\r\n");
    EXPECT_EQ(fakeClock.pauses(), (std::vector<std::uint32_t> {100, 100, 8000, 4000}));
}

TEST_F(GretagCommand, LoaderCommandsCarryTheirCheckByte)
{
    struct Case {
        int command;
        std::string request;
        std::string reply;
        unsigned long result;
        std::uint32_t pause;
    };
    const Case cases[] = {
        {301, "B0r", "B0r O\n", 0, 3000},
        {301, "B0r", "B0r N\n", 2, 3000},
        {302, "B1s", "B1s O\n", 0, 1000},
        {303, "E0u", "E0u O\n", 0, 4000},
        {303, "E0u", "E0u F\n", 3, 4000},
        {304, "E1v", "E1v X\n", 3, 1000},
        {305, std::string("R0\x82"), "?!\n", 0, 1000},
        {306, std::string("R1\x83"), "?!\n", 0, 1000},
        {307, std::string("W0\x87"), "?!\n", 0, 1000},
        {308, std::string("W1\x88"), "?!\n", 0, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        peer.play({Peer::answer(c.request, c.reply)});
        fakeClock.clearPauses();
        EXPECT_EQ(instrument.GretagCMD(c.command, nullptr), c.result);
        expectSent(c.request);
        EXPECT_EQ(fakeClock.pauses(), (std::vector<std::uint32_t> {c.pause}));
        peer.stop();
    }
}

TEST_F(GretagCommand, FirmwareBlock)
{
    std::uint8_t block[258];
    for (int i = 0; i < 256; ++i)
        block[i] = static_cast<std::uint8_t>(i);
    block[256] = 0x7F;
    block[257] = 0x80;
    const std::string request = "D" + std::string(reinterpret_cast<char*>(block), sizeof block);

    struct Case {
        std::string first, second;
        unsigned long result;
    };
    // The loader's second answer has two accepting letters, "O" and "E";
    // any other letter, or an answer broken off, is a block not written.
    const Case cases[] = {
        {"DO\n", "DO\n", 0},
        {"DO\n", "DE\n", 0},
        {"DN\n", "", 4},
        {"DO\n", "DX\n", 5},
        {"DO\n", "D", kStatusShortReply},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first + "/" + c.second);
        ScriptedPeer::Step step = Peer::answer(request, c.first + c.second);
        peer.play({step});
        fakeClock.clearPauses();
        EXPECT_EQ(instrument.GretagCMD(309, block), c.result);
        expectSent(request);
        if (c.result != 4) {
            const std::vector<std::uint32_t> pauses = fakeClock.pauses();
            EXPECT_TRUE(!pauses.empty() && pauses.front() == 100u)
                << "the loader is given time to program the block";
        }
        peer.stop();
    }
}

TEST_F(GretagCommand, LeavingTheLoader)
{
    peer.play({Peer::answer("D", "DO\n"), Peer::answer("END", "")});
    EXPECT_EQ(instrument.GretagCMD(310, nullptr), 0u);
    EXPECT_EQ(instrument.GretagCMD(311, nullptr), 0u);
    expectSent("DEND");
}

TEST_F(GretagCommand, SilentInstrument)
{
    peer.play({Peer::silence(";4D9B\r\n")});
    const std::uint64_t before = fakeClock.nowMs();
    EXPECT_EQ(instrument.GretagCMD(3, nullptr), kStatusReadTimeout);
    EXPECT_LE(fakeClock.nowMs() - before, 20000u + 300u);
}

} // namespace
} // namespace lt::test
