// The ASCII-hex instruments on the wire: what the program sends, what comes
// back, byte for byte where the program compares and by length everywhere.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "SimTestSupport.h"

using namespace simtest;
using ltsim::DeviceKind;

namespace {

struct ExpectedReply {
    std::string request; // without CR LF
    std::size_t length;
    std::string start; // compared characters from column 0
};

// Every request the program sends to a Lumatrak A, with the reply it reads.
const ExpectedReply kLumatrakAReplies[] = {
    {";00", 15, ":0B"},
    {";4D1F", 9, ":1F00"},
    {";B5", 123, ":B6"},
    {";5A010405", 9, ":1F00"},
    {";D06700", 11, ":D1A0"},
    {";D0", 9, ":D1"},
    {";4D9B", 9, ":1F00"},
    {";4D9C", 9, ":1F00"},
    {";1603010300", 9, ":1F00"},
    {";22090", 0, ""},
    {";220901", 7, ":2513"},
    {";220907", 7, ":2500"},
    {";20", 7, ":2500"},
    {";B80900", 309, ":B9"},
    {";B80901", 309, ":B9"},
    {";BA0900", 49, ":BB0900"},
    {";BA0901", 49, ":BB0901"},
    {";BA0904", 49, ":BB0904"},
    {";BC09", 55, ":BD09"},
    {";D047", 35, ":D1A1"},
    {";07", 9, ":1200"},
    {";01", 37, ":0C"},
    {";B10212", 9, ":1F0000"},
    {"?D0A7", 9, "=D0A000"},
    {"?C064", 19, "=C1"},
    {"?C07B", 19, "=C1"},
    {";D010", 9, ":D18000"},
    {";D011", 9, ":D18"},
    {";D012", 9, ":D18000"},
    {";D002", 9, ":D18"},
    {";D003", 9, ":D18"},
    {";D004", 9, ":D18"},
    {";D00600", 9, ":D18000"},
    {";D00500", 23, ":D181"},
    {";D00501", 23, ":D181"},
    {";D023", 11, ":D1820"},
    {";D034", 19, ":D194"},
    {";D087", 9, ":D18"},
    {";D0B10C", 9, ":D18"},
    {";D00000F4013200", 9, ":D18000"},
    {";D00001F4013200", 9, ":D18000"},
    {";D0010A000A00", 9, ":D18000"},
};

} // namespace

TEST(SimWire, EveryRequestGetsItsExactReplyLengthAndComparedCharacters)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakA));
    for (const ExpectedReply& expected : kLumatrakAReplies) {
        if (expected.length == 0)
            continue;
        std::string reply = sim.line->exchange(expected.request + kCrLf, expected.length);
        ASSERT_EQ(reply.size(), expected.length) << expected.request << " -> " << reply;
        EXPECT_EQ(reply.substr(0, expected.start.size()), expected.start) << expected.request;
        EXPECT_EQ(reply.substr(reply.size() - 2), kCrLf) << expected.request;
    }
    EXPECT_EQ(sim.line->drain(200), ""); // nothing more than asked for
}

TEST(SimWire, HandshakeCarriesTheIdentityFromColumn65)
{
    ltsim::SimulatorOptions options = optionsFor(DeviceKind::LumatrakS);
    options.identity = "0a0b0c0d0e0f101112131415";
    RunningSimulator sim(options);
    EXPECT_EQ(sim.line->exchange(";00\r\n", 15), ":0B0104330000\r\n");
    std::string identity = sim.line->exchange(";B5\r\n", 123);
    ASSERT_EQ(identity.size(), 123u);
    EXPECT_EQ(identity.substr(65, 24), "0A0B0C0D0E0F101112131415");
    EXPECT_EQ(sim.simulator->identity(), "0A0B0C0D0E0F101112131415");
}

TEST(SimWire, DefaultIdentityIsReadableTextFromItsFirstCharacter)
{
    RunningSimulator sim(optionsFor(DeviceKind::Spectrolino));
    std::string reply = sim.line->exchange(";B5\r\n", 123);
    ASSERT_EQ(reply.size(), 123u);
    std::string hex = reply.substr(65, 24);
    EXPECT_EQ(hex, sim.simulator->identity());
    std::string text;
    for (std::size_t i = 0; i + 1 < hex.size() && hex.compare(i, 2, "00") != 0; i += 2) {
        text.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    EXPECT_GE(text.size(), 5u) << hex;
    for (char c : text)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << hex;
}

TEST(SimWire, DeviceTypeFourAndSevenOpeningsAreAnswered)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    std::string extended = sim.line->exchange(";D06700\r\n", 11);
    EXPECT_EQ(extended.substr(0, 5), ":D1A0");
    EXPECT_EQ(extended.substr(7, 2), "00");
    EXPECT_EQ(sim.line->exchange(";D0\r\n", 9).size(), 9u);
}

TEST(SimWire, ModelWithoutTableAnswersTableRequestsWithNotAvailable)
{
    RunningSimulator sim(optionsFor(DeviceKind::Spectrolino));
    EXPECT_EQ(sim.line->exchange(";D010\r\n", 7), ":2601\r\n");
    EXPECT_EQ(sim.line->exchange(";D00000F4013200\r\n", 7), ":2601\r\n");
    // No gloss head on this model.
    EXPECT_EQ(sim.line->exchange("?D0A7\r\n", 9), "=D0A001\r\n");
}

TEST(SimWire, ParameterMessageAndSlopesChangeLaterAnswers)
{
    RunningSimulator sim(noiselessOptionsFor(DeviceKind::LumatrakS));
    sim.simulator->setSample("C100");
    // Filter ANSI T, illuminant D65, 10 degrees.
    EXPECT_EQ(sim.line->exchange(";1601010201\r\n", 9), ":1F0000\r\n");
    ltsim::MeasurementConditions conditions = sim.simulator->conditions();
    EXPECT_EQ(conditions.filterCode, '1');
    EXPECT_EQ(conditions.illuminantCode, '2');
    EXPECT_EQ(conditions.observerCode, '1');

    sim.line->exchange(";20\r\n", 7);
    std::string before = sim.line->exchange(";BC09\r\n", 55);
    float cyanBefore = wireFloat(before, 5 + 8);

    std::string slopes = ";17" + wireFloatText(1.0f) + wireFloatText(2.0f) + wireFloatText(1.0f) +
        wireFloatText(1.0f);
    EXPECT_EQ(sim.line->exchange(slopes + kCrLf, 9), ":1F0000\r\n");
    std::string readBack = sim.line->exchange(";01\r\n", 37);
    EXPECT_FLOAT_EQ(wireFloat(readBack, 3 + 8), 2.0f);

    sim.line->exchange(";20\r\n", 7);
    std::string after = sim.line->exchange(";BC09\r\n", 55);
    EXPECT_NEAR(wireFloat(after, 5 + 8), 2.0f * cyanBefore, 1e-5);

    // A code the instrument does not know is refused and changes nothing.
    std::string refused = sim.line->exchange(";1609010201\r\n", 9);
    EXPECT_EQ(refused.substr(0, 3), ":1F");
    EXPECT_NE(refused.substr(3, 2), "00");
    EXPECT_EQ(sim.simulator->conditions().filterCode, '1');
}

TEST(SimWire, ColorimetricAndDensityRepliesCarryTheMeasurement)
{
    RunningSimulator sim(noiselessOptionsFor(DeviceKind::LumatrakS));
    sim.simulator->setSample("M100");
    sim.line->exchange(";1601000300\r\n", 9); // ANSI T, D50, 2 degrees
    ASSERT_EQ(sim.line->exchange(";20\r\n", 7), ":2500\r\n");
    auto expected = sim.simulator->expectedReading("M100");
    ASSERT_TRUE(expected);

    std::string spectrum = sim.line->exchange(";B80900\r\n", 309);
    for (int i = 0; i < 36; ++i)
        EXPECT_FLOAT_EQ(wireFloat(spectrum, 7 + 8 * i), expected->spectrum[i]) << i;
    std::string xyz = sim.line->exchange(";BA0904\r\n", 49);
    EXPECT_EQ(xyz[6], '4');
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(wireFloat(xyz, 7 + 8 * i), expected->xyz[i]);
    std::string lab = sim.line->exchange(";BA0901\r\n", 49);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(wireFloat(lab, 7 + 8 * i), expected->lab[i]);
    std::string densities = sim.line->exchange(";BC09\r\n", 55);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(wireFloat(densities, 5 + 8 * i), expected->density[i]);
    // Black, cyan, magenta, yellow: magenta is the solid's own channel.
    EXPECT_GT(expected->density[2], expected->density[1]);
    EXPECT_GT(expected->density[2], expected->density[3]);
}

TEST(SimWire, TransmissionAndEmissionChangeTheSpectrum)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.simulator->setSample("paper");
    sim.line->exchange(";4D9C\r\n", 9);
    sim.line->exchange(";20\r\n", 7);
    std::string transmission = sim.line->exchange(";B80900\r\n", 309);
    // Paper without ink lets all light through.
    EXPECT_NEAR(wireFloat(transmission, 7 + 8 * 20), 1.0f, 1e-4);
    sim.line->exchange(";4D9D\r\n", 9);
    sim.line->exchange(";20\r\n", 7);
    std::string emission = sim.line->exchange(";B80900\r\n", 309);
    // The D50 light source, 1.0 at 560 nm (index 18).
    EXPECT_NEAR(wireFloat(emission, 7 + 8 * 18), 1.0f, 1e-4);
    EXPECT_LT(wireFloat(emission, 7), 0.5f);
}

TEST(SimWire, RequestsAtAnotherLineSpeedAreNotUnderstood)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS), B19200);
    std::string noise = sim.line->exchange(";00\r\n", 15);
    ASSERT_EQ(noise.size(), 15u);
    EXPECT_NE(noise.substr(0, 3), ":0B");
    // The instrument changed nothing: a mode switch at the wrong speed is lost.
    sim.line->exchange(";4D9C\r\n", 9);
    EXPECT_EQ(sim.simulator->conditions().mode, ltsim::MeasureMode::Reflection);
    sim.line->setSpeed(B9600);
    EXPECT_EQ(sim.line->exchange(";00\r\n", 15).substr(0, 3), ":0B");
}

TEST(SimWire, SilentInstrumentAtAnotherLineSpeed)
{
    ltsim::SimulatorOptions options = optionsFor(DeviceKind::LumatrakS);
    options.wrongBaud = ltsim::WrongBaudResponse::Silence;
    RunningSimulator sim(options, B57600);
    EXPECT_EQ(sim.line->exchange(";00\r\n", 15, 300), "");
}

TEST(SimWire, BaudRateCommandMovesTheInstrumentToTheNewSpeed)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.line->send(";4D28\r\n"); // 19200, no reply
    EXPECT_EQ(sim.line->drain(200), "");
    EXPECT_EQ(sim.simulator->baudRate(), 19200u);
    sim.line->setSpeed(B19200);
    EXPECT_EQ(sim.line->exchange(";00\r\n", 15).substr(0, 3), ":0B");
    // An unknown speed code leaves the instrument where it is.
    sim.line->send(";4D00\r\n");
    EXPECT_EQ(sim.line->drain(200), "");
    EXPECT_EQ(sim.simulator->baudRate(), 19200u);
}

TEST(SimWire, MeasurementKeyIsReportedOnceAndItsMeasurementFetched)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    EXPECT_EQ(sim.line->exchange(";07\r\n", 9), ":120000\r\n");
    sim.simulator->setSample("Y100");
    sim.simulator->pressKey();
    sim.simulator->setSample("paper"); // taken away after the press
    EXPECT_EQ(sim.line->exchange(";07\r\n", 9), ":120100\r\n");
    EXPECT_EQ(sim.line->exchange(";07\r\n", 9), ":120000\r\n");
    std::string densities = sim.line->exchange(";BC09\r\n", 55);
    EXPECT_GT(wireFloat(densities, 5 + 24), 1.2f); // yellow density of the yellow solid
}

TEST(SimWire, StreamingTriggerSendsTheBlockTheMaskConfigured)
{
    RunningSimulator sim(noiselessOptionsFor(DeviceKind::LumatrakS));
    sim.simulator->setSample("C100");
    // Mask 15 as four register writes.
    for (const char* message : {";B10212", ";B10212", ";B1040F", ";B10101"}) {
        ASSERT_EQ(sim.line->exchange(std::string(message) + kCrLf, 9), ":1F0000\r\n");
    }
    EXPECT_EQ(sim.simulator->streamingMask(), 15u);
    std::string reply = sim.line->exchange(";20\r\n", 7 + 409);
    ASSERT_EQ(reply.size(), 7u + 409u);
    EXPECT_EQ(reply.substr(0, 7), ":2500\r\n");
    std::string block = reply.substr(7);
    EXPECT_EQ(block.substr(0, 2), ":B");
    auto expected = sim.simulator->expectedReading("C100");
    EXPECT_FLOAT_EQ(wireFloat(block, 4), expected->xyz[0]);
    EXPECT_FLOAT_EQ(wireFloat(block, 33), expected->lab[0]);
    EXPECT_FLOAT_EQ(wireFloat(block, 62), expected->density[0]);
    EXPECT_FLOAT_EQ(wireFloat(block, 101), expected->density[3]);
    EXPECT_FLOAT_EQ(wireFloat(block, 114 + 8 * 35), expected->spectrum[35]);
    EXPECT_EQ(block.substr(407), kCrLf);

    // Mask 1 (only the first register write set) gives the short block.
    for (const char* message : {";B10212", ";B10200", ";B10400", ";B10100"})
        sim.line->exchange(std::string(message) + kCrLf, 9);
    EXPECT_EQ(sim.simulator->streamingMask(), 1u);
    EXPECT_EQ(sim.line->exchange(";20\r\n", 7 + 64).size(), 7u + 64u);
    // Mask 5: densities too.
    for (const char* message : {";B10212", ";B10200", ";B1040F", ";B10100"})
        sim.line->exchange(std::string(message) + kCrLf, 9);
    EXPECT_EQ(sim.line->exchange(";20\r\n", 7 + 116).size(), 7u + 116u);
    // A new handshake ends the streaming output.
    sim.line->exchange(";00\r\n", 15);
    EXPECT_EQ(sim.line->exchange(";20\r\n", 7 + 64, 300), ":2500\r\n");
}

TEST(SimWire, GarbageBetweenRequestsIsIgnored)
{
    RunningSimulator sim(optionsFor(DeviceKind::LumatrakS));
    sim.line->send(std::string("\x01\x7F junk", 7) + "\r\n");
    EXPECT_EQ(sim.line->drain(200), "");
    EXPECT_EQ(sim.line->exchange(";07\r\n", 9), ":120000\r\n");
    // A request without its line end is given up after a pause.
    sim.line->send(";20");
    EXPECT_EQ(sim.line->drain(300), "");
    EXPECT_EQ(sim.line->exchange(";07\r\n", 9), ":120000\r\n");
}
