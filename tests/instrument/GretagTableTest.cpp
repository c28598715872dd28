// The XY table: request and acknowledge scripts of every operation.

#include <bit>
#include <cstring>

#include "instrument/LinkFixture.h"

namespace lt::test {
namespace {

using Peer = ScriptedPeer;

const std::string kAck = line(":D18000");

ScriptedPeer::Step ack(const std::string& request)
{
    return Peer::answer(request, kAck);
}

class GretagTable : public OpenLinkFixture { };

TEST_F(GretagTable, MoveWithAndWithoutTheVariantFlag)
{
    std::uint16_t xy[2] = {500, 50};
    peer.play({ack(";D010\r\n"), ack(";D012\r\n"), ack(";D003\r\n"), ack(";D00000F4013200\r\n")});
    EXPECT_EQ(instrument.GretagXY(0, xy), 0u);
    expectSent(";D010\r\n;D012\r\n;D003\r\n;D00000F4013200\r\n");
    peer.stop();

    peer.play({ack(";D010\r\n"), ack(";D012\r\n"), ack(";D003\r\n"), ack(";D00001F4013200\r\n")});
    EXPECT_EQ(instrument.GretagXY(30, xy), 0u);
    expectSent(";D010\r\n;D012\r\n;D003\r\n;D00001F4013200\r\n");
    peer.stop();

    const std::pair<int, std::string> shortMoves[] = {
        {2, ";D00000"}, {32, ";D00001"}, {5, ";D00000"}, {35, ";D00001"}};
    for (const auto& [operation, move] : shortMoves) {
        peer.play({ack(";D003\r\n"), ack(move + "F4013200\r\n")});
        EXPECT_EQ(instrument.GretagXY(operation, xy), 0u);
        expectSent(";D003\r\n" + move + "F4013200\r\n");
        peer.stop();
    }
    peer.play({ack(";D00000F4013200\r\n")});
    EXPECT_EQ(instrument.GretagXY(21, xy), 0u);
    expectSent(";D00000F4013200\r\n");
    peer.stop();

    peer.play({ack(";D003\r\n"), ack(";D001F4013200\r\n")});
    EXPECT_EQ(instrument.GretagXY(6, xy), 0u);
    expectSent(";D003\r\n;D001F4013200\r\n");
    peer.stop();

    peer.play({});
    EXPECT_EQ(instrument.GretagXY(0, nullptr), kStatusShortReply) << "a move needs its coordinates";
    expectSent("");
}

TEST_F(GretagTable, MoveOutOfRangeIsReported)
{
    std::uint16_t xy[2] = {9000, 9000};
    peer.play(
        {ack(";D010\r\n"), ack(";D003\r\n"), Peer::answer(";D0000028232823\r\n", line(":D18017"))});
    const unsigned long result = instrument.GretagXY(1, xy);
    expectSent(";D010\r\n;D003\r\n;D0000028232823\r\n");
    EXPECT_EQ(result, 10100u);
    peer.stop();

    peer.play({ack(";D010\r\n"), ack(";D003\r\n"), ack(";D0000128232823\r\n")});
    EXPECT_EQ(instrument.GretagXY(31, xy), 0u);
}

TEST_F(GretagTable, AcknowledgeIsJudgedByItsFirstFourCharacters)
{
    peer.play({Peer::answer(";D010\r\n", line(":D18ZZZ"))});
    EXPECT_EQ(instrument.GretagXY(8, nullptr), 0u);
    peer.stop();

    peer.play({Peer::answer(";D010\r\n", line(":D28000"))});
    EXPECT_EQ(instrument.GretagXY(11, nullptr), kStatusPortNotOpen);
    expectSent(";D010\r\n");
}

TEST_F(GretagTable, HeadPosition)
{
    for (int operation : {3, 33}) {
        const std::string where = operation == 33 ? ";D00501\r\n" : ";D00500\r\n";
        peer.play({ack(";D011\r\n"), Peer::answer(where, line(":D181000000F4013200000000")),
            ack(";D010\r\n")});
        std::uint16_t xy[2] = {0, 0};
        EXPECT_EQ(instrument.GretagXY(operation, xy), 0u);
        EXPECT_EQ(xy[0], 500);
        EXPECT_EQ(xy[1], 50);
        expectSent(";D011\r\n" + where + ";D010\r\n");
        peer.stop();
    }
}

TEST_F(GretagTable, ColorReading)
{
    std::string values;
    for (std::uint32_t bits : {std::bit_cast<std::uint32_t>(50.0f),
             std::bit_cast<std::uint32_t>(-2.5f), std::bit_cast<std::uint32_t>(10.0f)}) {
        char field[9];
        std::snprintf(field, sizeof field, "%08X", __builtin_bswap32(bits));
        values += field;
    }
    const auto script = [&](char kind) {
        return std::vector<ScriptedPeer::Step> {ack(";D004\r\n"),
            Peer::answer(";20\r\n", line(":2500")),
            Peer::answer(";BA0904\r\n",
                line(std::string(":BB090") + kind + values + std::string(47 - 7 - 24, '0'))),
            ack(";D003\r\n")};
    };
    peer.play(script('4'));
    float lab[3] = {};
    EXPECT_EQ(instrument.GretagXY(7, lab), 0u);
    EXPECT_FLOAT_EQ(lab[0], 50.0f);
    EXPECT_FLOAT_EQ(lab[1], -2.5f);
    expectSent(";D004\r\n;20\r\n;BA0904\r\n;D003\r\n");
    peer.stop();

    auto refused = script('1');
    refused.pop_back();
    peer.play(refused);
    float untouched[3] = {7, 7, 7};
    EXPECT_EQ(instrument.GretagXY(7, untouched), kStatusShortReply);
    EXPECT_EQ(untouched[0], 7.0f);
    expectSent(";D004\r\n;20\r\n;BA0904\r\n");
}

TEST_F(GretagTable, StatusQueryPausesBeforeReading)
{
    peer.play({Peer::answer(";D023\r\n", line(":D1820100"))});
    std::uint32_t flag = 7;
    EXPECT_EQ(instrument.GretagXY(15, &flag), 0u);
    EXPECT_EQ(flag, 1u);
    EXPECT_EQ(fakeClock.pauses(), (std::vector<std::uint32_t> {40}));
    peer.stop();

    peer.play({Peer::answer(";D023\r\n", line(":D1820000"))});
    EXPECT_EQ(instrument.GretagXY(15, &flag), 0u);
    EXPECT_EQ(flag, 0u);
}

TEST_F(GretagTable, FixedScripts)
{
    const std::pair<int, std::vector<std::string>> cases[] = {
        {4, {";D003\r\n", ";D00600\r\n", ";D004\r\n", ";220907\r\n", ";D003\r\n"}},
        {8, {";D010\r\n"}},
        {9, {";D011\r\n"}},
        {10, {";D012\r\n"}},
        {11, {";D010\r\n", ";D003\r\n"}},
        {12, {";D010\r\n", ";D004\r\n"}},
        {13, {";D010\r\n", ";D00600\r\n"}},
        {14, {";D002\r\n"}},
        {50, {";D0B100\r\n"}},
        {51, {";D0B104\r\n"}},
        {52, {";D0B108\r\n"}},
        {53, {";D0B110\r\n"}},
        {54, {";D0B120\r\n"}},
        {55, {";D0B10C\r\n"}},
        {56, {";D0B130\r\n"}},
        {100, {";D087\r\n"}},
    };
    for (const auto& [operation, requests] : cases) {
        SCOPED_TRACE(operation);
        std::vector<ScriptedPeer::Step> script;
        std::string sent;
        for (const std::string& request : requests) {
            // The fourth request of operation 4 is answered like a trigger.
            script.push_back(
                request == ";220907\r\n" ? Peer::answer(request, line(":2500")) : ack(request));
            sent += request;
        }
        peer.play(script);
        EXPECT_EQ(instrument.GretagXY(operation, nullptr), 0u);
        expectSent(sent);
        peer.stop();
    }
}

TEST_F(GretagTable, InformationText)
{
    peer.play({Peer::answer(";D034\r\n", line(":D194XY-TABLE 2.1"))});
    char info[13] = {};
    EXPECT_EQ(instrument.GretagXY(23, info), 0u);
    EXPECT_STREQ(info, "XY-TABLE 2.1");
}

TEST_F(GretagTable, LineSpeedChange)
{
    peer.play({Peer::answer(";D02007\r\n", "")});
    std::uint16_t rate = 9600;
    EXPECT_EQ(instrument.GretagXY(22, &rate), 0u);
    expectSent(";D02007\r\n");
    EXPECT_EQ(fakeClock.pauses(), (std::vector<std::uint32_t> {200, 200, 200, 200}));
    peer.stop();
    peer.play({Peer::answer(";D0200A\r\n", "")});
    rate = 57600;
    EXPECT_EQ(instrument.GretagXY(22, &rate), 0u);
    LtLineSettings line {};
    SerialPort::fromHandle(linkState().sharedHandle)->getState(line);
    EXPECT_EQ(line.BaudRate, 57600u);
}

TEST_F(GretagTable, OperationsWithoutExchange)
{
    peer.play({});
    EXPECT_EQ(instrument.GretagXY(57, nullptr), 0u);
    EXPECT_EQ(instrument.GretagXY(61, nullptr), 0u);
    EXPECT_EQ(instrument.GretagXY(99, nullptr), kStatusUnknownOperation);
    EXPECT_EQ(instrument.GretagXY(-1, nullptr), kStatusUnknownOperation);
    expectSent("");

    EXPECT_EQ(instrument.GretagXY(20, nullptr), 1u) << "closes the shared port";
    EXPECT_EQ(linkState().sharedHandle, nullptr);
    EXPECT_EQ(instrument.GretagXY(20, nullptr), kStatusPortNotOpen);
    EXPECT_EQ(instrument.GretagXY(8, nullptr), kStatusPortNotOpen)
        << "the object's handle went with it";
}

TEST_F(GretagTable, SilenceShortReplyAndHangUp)
{
    peer.play({Peer::silence(";D010\r\n")});
    const std::uint64_t before = fakeClock.nowMs();
    EXPECT_EQ(instrument.GretagXY(8, nullptr), kStatusReadTimeout);
    EXPECT_LE(fakeClock.nowMs() - before, 7500u + 300u);
    peer.stop();

    peer.play({Peer::answer(";D010\r\n", ":D1")});
    EXPECT_EQ(instrument.GretagXY(8, nullptr), kStatusShortReply);
    peer.stop();

    peer.play({Peer::hangUp(";D010\r\n")});
    EXPECT_EQ(instrument.GretagXY(11, nullptr), kStatusReadFailed);
}

} // namespace
} // namespace lt::test
