// White calibration, measurement with every start step and output type, the
// instrument's key and the output configuration.

#include <bit>
#include <cstring>

#include "instrument/LinkFixture.h"
#include "instrument/protocol/HexCodec.h"

namespace lt::test {
namespace {

using Peer = ScriptedPeer;

const std::string kAck = line(":1F0000");
const std::string kTriggerDone = line(":2500");

std::string hexFloats(std::initializer_list<float> values)
{
    std::string text;
    for (float v : values) {
        char field[8];
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(v);
        HexEncode32(field, sizeof field, 0, 1, &bits);
        text.append(field, 8);
    }
    return text;
}

std::string padded(std::string text, std::size_t totalWithLineEnd)
{
    text.resize(totalWithLineEnd - 2, '0');
    return line(text);
}

GretagStruct measurementRecord(std::uint8_t outputType, std::uint8_t startStep = 0)
{
    GretagStruct g {};
    g.OutputType = outputType;
    g.StartStep = startStep;
    g.ExtraOption = 1;
    return g;
}

class GretagMeasure : public OpenLinkFixture { };

TEST_F(GretagMeasure, TriggerAndSpectrum)
{
    std::string spectrumHex;
    for (int i = 0; i < 36; ++i)
        spectrumHex += hexFloats({0.01f * static_cast<float>(i)});
    peer.play({Peer::answer(";20\r\n", kTriggerDone),
        Peer::answer(";B80900\r\n", padded(":B90000" + spectrumHex, 309))});
    float spectrum[40];
    std::fill(std::begin(spectrum), std::end(spectrum), -1.0f);
    GretagStruct g = measurementRecord(0);
    g.Spectrum = spectrum;
    EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
    expectSent(";20\r\n;B80900\r\n");
    EXPECT_FLOAT_EQ(spectrum[0], 0.0f);
    EXPECT_FLOAT_EQ(spectrum[35], 0.35f);
    // The trigger pauses 20 ms before and after its exchange.
    EXPECT_EQ(fakeClock.pauses(), (std::vector<std::uint32_t> {20, 20}));
}

TEST_F(GretagMeasure, SecondSpectrumVariantAndUnknownOutputTypeFetchTheSpectrum)
{
    peer.play({Peer::answer(";B80901\r\n", padded(":B9", 309))});
    GretagStruct g = measurementRecord(55, 1);
    g.SpectrumVariant = 1;
    EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
    expectSent(";B80901\r\n");
}

TEST_F(GretagMeasure, StartStepOneFetchesWithoutTrigger)
{
    peer.play(
        {Peer::answer(";BC09\r\n", padded(":BD09" + hexFloats({1.5f, 0.25f, 0.5f, 1.0f}), 55))});
    GretagStruct g = measurementRecord(2, 1);
    EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
    expectSent(";BC09\r\n");
    EXPECT_FLOAT_EQ(g.Density[0], 1.5f);
    EXPECT_FLOAT_EQ(g.Density[3], 1.0f);
}

TEST_F(GretagMeasure, StartStepHundredOnlyTriggersAndResetsTheStep)
{
    peer.play({Peer::answer(";20\r\n", kTriggerDone)});
    GretagStruct g = measurementRecord(0, 100);
    EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
    expectSent(";20\r\n");
    EXPECT_EQ(g.StartStep, 0);
}

TEST_F(GretagMeasure, TriggerErrorNumeral)
{
    peer.play({Peer::answer(";20\r\n", line(":2503"))});
    GretagStruct g = measurementRecord(0);
    EXPECT_EQ(instrument.GretagExecRemission(&g), 10003u);
    expectSent(";20\r\n");
}

TEST_F(GretagMeasure, ColorimetricFetchStoresOnlyTheMatchingSpace)
{
    const std::string values = hexFloats({95.0f, 100.0f, 108.9f});
    struct Case {
        std::uint8_t space;
        char request;
        std::string reply;
        float GretagStruct::*dummy;
    };
    for (std::uint8_t space : {0, 1, 4}) {
        SCOPED_TRACE(int(space));
        const char code = static_cast<char>('0' + space);
        peer.play({Peer::answer(std::string(";BA090") + code + "\r\n",
            padded(std::string(":BB090") + code + values, 49))});
        GretagStruct g = measurementRecord(1, 1);
        g.ColorSpace = space;
        EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
        peer.finished();
        const float* stored = space == 0 ? g.ColorTriple0
            : space == 1                 ? g.ColorTriple1
                                         : g.ColorTriple4;
        EXPECT_FLOAT_EQ(stored[1], 100.0f);
        EXPECT_FLOAT_EQ(g.ColorTriple0[0] + g.ColorTriple1[0] + g.ColorTriple4[0], 95.0f)
            << "one triple only";
        peer.stop();
    }
}

TEST_F(GretagMeasure, ColorSpaceTwoFetchesButStoresNothing)
{
    peer.play({Peer::answer(";BA0902\r\n", padded(":BB0902" + hexFloats({1, 2, 3}), 49))});
    GretagStruct g = measurementRecord(1, 1);
    g.ColorSpace = 2;
    EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
    expectSent(";BA0902\r\n");
    GretagStruct untouched = measurementRecord(1, 1);
    untouched.ColorSpace = 2;
    EXPECT_EQ(std::memcmp(&g, &untouched, sizeof g), 0);
}

TEST_F(GretagMeasure, ReplyOfAnotherSpaceIsNotStored)
{
    peer.play({Peer::answer(";BA0900\r\n", padded(":BB0904" + hexFloats({1, 2, 3}), 49))});
    GretagStruct g = measurementRecord(1, 1);
    EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
    EXPECT_EQ(g.ColorTriple0[0], 0.0f);
    EXPECT_EQ(g.ColorTriple4[0], 0.0f);
}

TEST_F(GretagMeasure, AlternateReading)
{
    const std::string values = hexFloats({0.5f, 0.75f, 1.25f});
    // ":D1A1" ... column 32 holds the error numeral.
    const std::string good = padded(":D1A100" + values + "0", 35);
    ASSERT_EQ(good[32], '0');
    peer.play({Peer::answer(";D047\r\n", good)});
    GretagStruct g = measurementRecord(100, 1);
    EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
    EXPECT_FLOAT_EQ(g.Density[2], 1.25f);
    EXPECT_EQ(g.Density[3], 0.0f);
    peer.stop();

    std::string failed = good;
    failed[32] = '7';
    peer.play({Peer::answer(";D047\r\n", failed)});
    GretagStruct h = measurementRecord(100, 1);
    EXPECT_EQ(instrument.GretagExecRemission(&h), 10107u);
    EXPECT_EQ(h.Density[0], 0.0f);
    peer.stop();

    std::string notA1 = good;
    notA1[4] = '2';
    peer.play({Peer::answer(";D047\r\n", notA1)});
    GretagStruct k = measurementRecord(100, 1);
    EXPECT_EQ(instrument.GretagExecRemission(&k), 0u);
    EXPECT_EQ(k.Density[0], 0.0f) << "another reading kind is not stored";
}

TEST_F(GretagMeasure, ShortReplyIsNeverDecodedFromAnEarlierOne)
{
    // A full density reply first, then one cut short: the second must not be
    // completed from the first's bytes.
    const std::string full = padded(":BD09" + hexFloats({1.5f, 0.25f, 0.5f, 1.0f}), 55);
    peer.play({Peer::answer(";BC09\r\n", full), Peer::answer(";BC09\r\n", full.substr(0, 20))});
    GretagStruct g = measurementRecord(2, 1);
    ASSERT_EQ(instrument.GretagExecRemission(&g), 0u);
    g.Density[0] = -7.0f;
    EXPECT_EQ(instrument.GretagExecRemission(&g), kStatusShortReply);
    EXPECT_EQ(g.Density[0], -7.0f);
}

TEST_F(GretagMeasure, GarbageAndSilence)
{
    peer.play({Peer::answer(";BC09\r\n", padded(":BD09ZZZZ", 55))});
    GretagStruct g = measurementRecord(2, 1);
    EXPECT_EQ(instrument.GretagExecRemission(&g), kStatusShortReply)
        << "no number in the density field";
    EXPECT_EQ(g.Density[0], 0.0f);
    peer.stop();

    peer.play({Peer::silence(";20\r\n")});
    const std::uint64_t before = fakeClock.nowMs();
    GretagStruct h = measurementRecord(0);
    EXPECT_EQ(instrument.GretagExecRemission(&h), kStatusReadTimeout);
    EXPECT_LE(fakeClock.nowMs() - before, 20u + 8000u + 300u);
    EXPECT_EQ(beeps, (std::vector<std::pair<unsigned long, unsigned long>> {{800, 30}, {800, 30}}));
    peer.stop();

    peer.play({Peer::hangUp(";20\r\n")});
    EXPECT_EQ(instrument.GretagExecRemission(&h), kStatusReadFailed);
}

TEST_F(GretagMeasure, CalibrationWithoutTableSendsThreeRequests)
{
    peer.play({Peer::answer(";4D9B\r\n", kAck), Peer::answer(";1600010000\r\n", kAck),
        Peer::answer(";220901\r\n", line(":2513"))});
    GretagStruct g = measurementRecord(1);
    EXPECT_EQ(instrument.GretagInitExecRemission(&g, 0), 0u);
    expectSent(";4D9B\r\n;1600010000\r\n;220901\r\n");
}

TEST_F(GretagMeasure, CalibrationMessagesFollowModeAndParameters)
{
    peer.play({Peer::answer(";4D9D\r\n", kAck), Peer::answer(";1608010801\r\n", kAck),
        Peer::answer(";220908\r\n", line(":2534"))});
    GretagStruct g = measurementRecord(8);
    g.MeasureMode = 2;
    g.Filter = 4;
    g.ExtraOption = 1;
    g.Illuminant = 5;
    g.Observer = 1;
    EXPECT_EQ(instrument.GretagInitExecRemission(&g, 0), 0u);
    expectSent(";4D9D\r\n;1608010801\r\n;220908\r\n");
}

TEST_F(GretagMeasure, CalibrationRefusals)
{
    struct Case {
        std::vector<ScriptedPeer::Step> script;
        unsigned long result;
    };
    const Case cases[] = {
        {{Peer::answer(";4D9B\r\n", line(":250042"))}, 42},
        {{Peer::answer(";4D9B\r\n", kAck), Peer::answer(";1600010000\r\n", line(":2612345"))},
            12345},
        {{Peer::answer(";4D9B\r\n", kAck), Peer::answer(";1600010000\r\n", kAck),
             Peer::answer(";220901\r\n", line(":2599"))},
            kStatusUnexpectedStatus},
        // Not a calibration answer at all: dropped as a late answer to an
        // earlier request, and the calibration's own never comes. A
        // failure, never leftover digits.
        {{Peer::answer(";4D9B\r\n", kAck), Peer::answer(";1600010000\r\n", kAck),
             Peer::answer(";220901\r\n", line(":1F00"))},
            kStatusReadTimeout},
        {{Peer::answer(";4D9B\r\n", line(":XXZZZZ"))}, kStatusShortReply},
        {{Peer::silence(";4D9B\r\n")}, kStatusReadTimeout},
    };
    for (const Case& c : cases) {
        peer.play(c.script);
        GretagStruct g = measurementRecord(1);
        EXPECT_EQ(instrument.GretagInitExecRemission(&g, 0), c.result);
        peer.finished();
        std::string sent;
        for (const auto& step : c.script)
            sent += step.request;
        EXPECT_EQ(peer.received(), sent) << "the sequence stops at the refusal";
        peer.stop();
    }
}

TEST_F(GretagMeasure, CalibrationWithTableMovesTheHeadOverTheWhiteTile)
{
    const std::string tableAck = line(":D18000");
    peer.play({Peer::answer(";4D9B\r\n", kAck), Peer::answer(";1600010000\r\n", kAck),
        Peer::answer(";D010\r\n", tableAck), Peer::answer(";D00600\r\n", tableAck),
        Peer::answer(";D004\r\n", tableAck), Peer::answer(";220901\r\n", line(":2513")),
        Peer::answer(";D003\r\n", tableAck), Peer::answer(";D011\r\n", tableAck)});
    GretagStruct g = measurementRecord(1);
    EXPECT_EQ(instrument.GretagInitExecRemission(&g, 1), 0u);
    expectSent(
        ";4D9B\r\n;1600010000\r\n;D010\r\n;D00600\r\n;D004\r\n;220901\r\n;D003\r\n;D011\r\n");
    peer.stop();

    // A failed white reading still lifts the head, then reports 50.
    peer.play({Peer::answer(";4D9B\r\n", kAck), Peer::answer(";1600010000\r\n", kAck),
        Peer::answer(";D010\r\n", tableAck), Peer::answer(";D00600\r\n", tableAck),
        Peer::answer(";D004\r\n", tableAck), Peer::answer(";220901\r\n", line(":2534")),
        Peer::answer(";D003\r\n", tableAck)});
    EXPECT_EQ(instrument.GretagInitExecRemission(&g, 1), kStatusCalibrationFailed);
    expectSent(";4D9B\r\n;1600010000\r\n;D010\r\n;D00600\r\n;D004\r\n;220901\r\n;D003\r\n");
}

TEST_F(GretagMeasure, KeyQuery)
{
    for (int key = 0; key <= 3; ++key) {
        peer.play({Peer::answer(";07\r\n", line(":120" + std::to_string(key) + "000"))});
        EXPECT_EQ(instrument.GretagQueryLocal(0), static_cast<unsigned long>(key));
        peer.stop();
    }
    peer.play({Peer::answer(";07\r\n", line(":1204000"))});
    EXPECT_EQ(instrument.GretagQueryLocal(0), 0u) << "not a key state: no press";
    peer.stop();
    peer.play({Peer::answer(";07\r\n", ":12")});
    EXPECT_GT(instrument.GretagQueryLocal(0), 9999u) << "a broken reply is no key press";
}

TEST_F(GretagMeasure, OutputSet)
{
    peer.play({Peer::answer(";B10101\r\n", kAck)});
    GretagStruct g {};
    g.OutputSet = 1;
    EXPECT_EQ(instrument.GretagOutputSet(&g), 0u);
    peer.stop();
    peer.play({Peer::answer(";B10212\r\n", line(":1F0100"))});
    g.OutputSet = 2;
    EXPECT_EQ(instrument.GretagOutputSet(&g), kStatusOutputRejected);
    peer.stop();
    peer.play({});
    g.OutputSet = 3;
    EXPECT_EQ(instrument.GretagOutputSet(&g), kStatusOutputRejected);
    expectSent("");
}

TEST_F(GretagMeasure, MeasurementOutputSendsFourSwitchesInOrder)
{
    peer.play({Peer::answer(";B10212\r\n", kAck), Peer::answer(";B10200\r\n", kAck),
        Peer::answer(";B10400\r\n", kAck), Peer::answer(";B10100\r\n", kAck)});
    EXPECT_EQ(instrument.GretagSetMeasurementOutput(1), 0u);
    expectSent(";B10212\r\n;B10200\r\n;B10400\r\n;B10100\r\n");
    EXPECT_EQ(linkState().measurementOutputMask, 1);
    peer.stop();

    peer.play({Peer::answer(";B10212\r\n", kAck), Peer::answer(";B10212\r\n", line(":1F0001"))});
    EXPECT_EQ(instrument.GretagSetMeasurementOutput(15), kStatusOutputRejected);
    expectSent(";B10212\r\n;B10212\r\n");
    peer.stop();

    peer.play({Peer::silence(";B10212\r\n")});
    EXPECT_EQ(instrument.GretagSetMeasurementOutput(15), kStatusReadTimeout + 600);
}

TEST_F(GretagMeasure, ExportsWithoutExchange)
{
    peer.play({});
    GretagStruct g {};
    EXPECT_EQ(instrument.GretagQueryRemote(&g), 0u);
    EXPECT_EQ(instrument.GretagExecEmission(&g), 0u);
    EXPECT_EQ(instrument.GretagInitExecEmission(&g), 0u);
    expectSent("");
}

TEST_F(GretagMeasure, DirectIoUsesTheBlockingTransfers)
{
    linkState().directIo = true;
    peer.play({Peer::answer(";20\r\n", kTriggerDone)});
    GretagStruct g = measurementRecord(0, 100);
    EXPECT_EQ(instrument.GretagExecRemission(&g), 0u);
    expectSent(";20\r\n");
}

} // namespace
} // namespace lt::test
