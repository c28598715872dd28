// Streaming mode: XPress requests, the receive thread with its ring of record
// slots, back-pressure, and the stop, against a scripted instrument.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DescriptorChecked.h"
#include "instrument/include/TaviSpec.h"
#include "instrument/platform/LinkState.h"
#include "instrument/streaming/MeasurementBlock.h"
#include "instrument/streaming/StreamingState.h"
#include "spectrometer_support.h"

namespace {

using lttest::Bytes;
using namespace std::chrono_literals;

constexpr std::size_t kRecordSize = 1536;

std::string hexOf(float value)
{
    // Bytes lowest address first, upper-case.
    std::uint8_t bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    char text[9];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

// A block as the instrument sends it: ":B" and its answer character, then
// the values at their columns with five filler characters between groups.
std::string measurementBlock(bool singles, bool spectrum)
{
    std::string text = ":BE0";
    for (float v : {41.5f, 42.5f, 43.5f})
        text += hexOf(v);
    text += "00000";
    for (float v : {71.25f, -3.5f, 12.0f})
        text += hexOf(v);
    if (singles)
        for (float v : {1.5f, 0.25f, 0.75f, 1.125f}) // C, D, E, F
            text += "00000" + hexOf(v);
    if (spectrum) {
        text += "00000";
        for (int i = 0; i < 36; ++i)
            text += hexOf(0.01f * static_cast<float>(i));
    }
    return text + "00000\r\n";
}

double doubleAt(const std::vector<std::uint8_t>& record, std::size_t position)
{
    double value;
    std::memcpy(&value, record.data() + position, sizeof value);
    return value;
}

template <typename Predicate>
bool waitFor(Predicate predicate, std::chrono::milliseconds limit = 3000ms)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Acknowledges every table request with ":D18000" and every trigger with
// ":25" (followed by the measurement block when one is set), unless silent.
class StreamingInstrument {
public:
    std::atomic<bool> silent {false};

    // The block sent after each trigger's acknowledge.
    void setBlock(std::string text)
    {
        std::lock_guard lock(mutex_);
        block_ = std::move(text);
    }

    std::size_t handle(const Bytes& in, lttest::PtyPeer& peer)
    {
        const auto end = std::find(in.begin(), in.end(), '\n');
        if (end == in.end())
            return 0;
        const std::string request(in.begin(), end + 1);
        if (!silent) {
            if (request.rfind(";D", 0) == 0)
                peer.send(std::string(":D18000\r\n"));
            else if (request.rfind(";2", 0) == 0)
                peer.send(":2500\r\n" + block());
        }
        return request.size();
    }

private:
    std::string block()
    {
        std::lock_guard lock(mutex_);
        return block_;
    }
    std::mutex mutex_;
    std::string block_;
};

class Streaming : public lt::test::DescriptorChecked<> {
protected:
    Streaming()
        : peer([this](const Bytes& in, lttest::PtyPeer& p) { return instrument.handle(in, p); })
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(peer.ok());
        CTaviSpec::SetPortDevice(1, peer.path().c_str());
        ComPort port = lttest::portRecord(3, 1, 9600, 1);
        FileNames files = lttest::tableFiles();
        ASSERT_EQ(spectrometer.SpecPortOpen(&port, &files), 0u);
        lt::linkState().measurementOutputMask = 15;
    }
    void TearDown() override
    {
        spectrometer.StopReceiveThread();
        spectrometer.SpecPortClose();
        lt::linkState().measurementOutputMask = 0;
    }

    std::string sentText() const
    {
        const Bytes bytes = peer.received();
        return std::string(bytes.begin(), bytes.end());
    }

    StreamingInstrument instrument;
    lttest::PtyPeer peer;
    CTaviSpec spectrometer;
    void* cursor = reinterpret_cast<void*>(0x1); // StartReceiveThread must clear it
};

TEST_F(Streaming, TriggerFillsTheRegisteredRecordAtItsByteOffsets)
{
    const std::string block = measurementBlock(true, true);
    ASSERT_EQ(block.size(), 409u);
    instrument.setBlock(block);
    spectrometer.StartReceiveThread(0, &cursor);
    EXPECT_EQ(cursor, nullptr);

    std::vector<std::uint8_t> record(kRecordSize, 0xEE);
    std::memset(record.data() + lt::stream_record::kReadyFlag, 0, 4);
    cursor = record.data();
    ASSERT_EQ(spectrometer.XPress(37, &cursor, 0), 0u);
    ASSERT_TRUE(waitFor([&] { return lt::measurementRecordReady(record.data()); }));

    EXPECT_EQ(doubleAt(record, 1136), 41.5); // A from column 4
    EXPECT_EQ(doubleAt(record, 1144), 42.5);
    EXPECT_EQ(doubleAt(record, 1152), 43.5);
    EXPECT_EQ(doubleAt(record, 1112), 71.25); // B from column 33
    EXPECT_EQ(doubleAt(record, 1120), -3.5);
    EXPECT_EQ(doubleAt(record, 1128), 12.0);
    EXPECT_EQ(doubleAt(record, 1184), 1.5); // C, column 62
    EXPECT_EQ(doubleAt(record, 1160), 0.25); // D, column 75
    EXPECT_EQ(doubleAt(record, 1168), 0.75); // E, column 88
    EXPECT_EQ(doubleAt(record, 1176), 1.125); // F, column 101
    for (int i = 0; i < 36; ++i) {
        float value;
        std::memcpy(&value, record.data() + 1280 + 4 * i, sizeof value);
        EXPECT_FLOAT_EQ(value, 0.01f * static_cast<float>(i)) << i;
    }
    // Bytes outside the fields stay as the caller left them.
    EXPECT_EQ(record[1111], 0xEE);
    EXPECT_EQ(record[1192], 0xEE);
    EXPECT_EQ(record[1424], 0xEE);
    EXPECT_EQ(lt::streamingState().newData.load(), 1);
    EXPECT_TRUE(waitFor([] { return lt::streamingState().pending.load() == 1; }));
    EXPECT_EQ(sentText(), ";20\r\n");
}

TEST_F(Streaming, ShorterBlocksFillOnlyTheirValues)
{
    const std::string block = measurementBlock(false, false);
    ASSERT_EQ(block.size(), 64u);
    instrument.setBlock(block);
    lt::linkState().measurementOutputMask = 3;
    spectrometer.StartReceiveThread(0, &cursor);
    std::vector<std::uint8_t> record(kRecordSize, 0);
    cursor = record.data();
    ASSERT_EQ(spectrometer.XPress(37, &cursor, 0), 0u);
    ASSERT_TRUE(waitFor([&] { return lt::measurementRecordReady(record.data()); }));
    EXPECT_EQ(doubleAt(record, 1136), 41.5);
    EXPECT_EQ(doubleAt(record, 1128), 12.0);
    EXPECT_EQ(doubleAt(record, 1184), 0.0);
    EXPECT_EQ(record[1280], 0);
}

TEST_F(Streaming, EveryRequestGoesOutByteExactly)
{
    spectrometer.StartReceiveThread(0, &cursor);
    std::uint16_t position[2] = {500, 0x1234};
    const struct {
        int command;
        const char* request;
    } cases[] = {{8, ";D010\r\n"}, {11, ";D003\r\n"}, {12, ";D004\r\n"}, {14, ";D002\r\n"},
        {34, ";D00600\r\n"}, {36, ";220907\r\n"}, {37, ";20\r\n"}, {21, ";D00000F4013412\r\n"}};
    for (const auto& c : cases) {
        peer.clearReceived();
        cursor = c.command == 21 ? position : nullptr;
        ASSERT_EQ(spectrometer.XPress(c.command, &cursor, 0), 0u) << c.command;
        ASSERT_TRUE(waitFor([&] { return sentText() == c.request; }))
            << c.command << ": " << sentText();
    }
    peer.clearReceived();
    EXPECT_EQ(spectrometer.XPress(25, &cursor, 0), 0u);
    EXPECT_EQ(spectrometer.XPress(99, &cursor, 0), 10501u);
    EXPECT_EQ(spectrometer.XPress(0, nullptr, 0), 10501u);
    void* noCoordinates = nullptr;
    EXPECT_EQ(spectrometer.XPress(21, &noCoordinates, 0), 10501u);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(sentText(), "");
}

TEST_F(Streaming, ElevenTriggersWithoutRepliesBlockAfterTheThirdOutstanding)
{
    instrument.silent = true;
    spectrometer.StartReceiveThread(0, &cursor);
    std::atomic<int> returned {0};
    std::thread caller([&] {
        for (int i = 0; i < 11; ++i) {
            void* slot = nullptr;
            spectrometer.XPress(37, &slot, 0);
            ++returned;
        }
    });
    auto triggersSent = [&] {
        const std::string text = sentText();
        std::size_t n = 0;
        for (std::size_t at = text.find(";20"); at != std::string::npos;
             at = text.find(";20", at + 1))
            ++n;
        return n;
    };
    EXPECT_TRUE(waitFor([&] { return triggersSent() == 3; }));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(returned.load(), 2);
    EXPECT_EQ(triggersSent(), 3u);

    // Each acknowledge lets one more request through.
    peer.send(std::string(":2500\r\n"));
    EXPECT_TRUE(waitFor([&] { return triggersSent() == 4; }));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(returned.load(), 3);

    // Ending the mode releases the caller instead of leaving it waiting for
    // acknowledges that nobody will count.
    spectrometer.StopReceiveThread();
    EXPECT_TRUE(waitFor([&] { return returned.load() == 11; }));
    caller.join();
}

TEST_F(Streaming, BlockForASlotWithoutARecordIsNotStored)
{
    spectrometer.StartReceiveThread(0, &cursor);
    // A block without a trigger: its slot (1) holds no record.
    peer.send(measurementBlock(true, true));
    ASSERT_TRUE(waitFor([] { return lt::streamingState().newData.load() == 1; }));
    EXPECT_EQ(lt::streamingState().receiveIndex.load(), 1);

    // The record registered now lands in slot 1, which the thread has passed:
    // the following block goes to slot 2, which is empty again.
    std::vector<std::uint8_t> record(kRecordSize, 0);
    cursor = record.data();
    ASSERT_EQ(spectrometer.XPress(37, &cursor, 0), 0u);
    EXPECT_EQ(cursor, record.data()); // the slot at the receive index
    peer.send(measurementBlock(true, true));
    ASSERT_TRUE(waitFor([] { return lt::streamingState().receiveIndex.load() == 2; }));
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(lt::measurementRecordReady(record.data()));
    EXPECT_EQ(record[1136], 0);

    // XPress 34 with clearSlot empties the current slot.
    void* slot = record.data();
    lt::streamingState().slots[2].store(record.data());
    ASSERT_EQ(spectrometer.XPress(34, &slot, 1), 0u);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(lt::streamingState().slots[2].load(), nullptr);
}

TEST_F(Streaming, ReceiveIndexWrapsAfterTenBlocks)
{
    spectrometer.StartReceiveThread(0, &cursor);
    for (int i = 0; i < 12; ++i)
        peer.send(measurementBlock(true, true));
    ASSERT_TRUE(waitFor([] { return lt::streamingState().receiveIndex.load() == 2; }));
}

TEST_F(Streaming, BlockOfAnUnknownSizeIsSkippedToItsLineEnd)
{
    lt::linkState().measurementOutputMask = 4;
    spectrometer.StartReceiveThread(0, &cursor);
    std::vector<std::uint8_t> record(kRecordSize, 0);
    lt::streamingState().slots[1].store(record.data());
    // The block is skipped; the acknowledge behind it is still read.
    peer.send(measurementBlock(true, false) + ":2500\r\n");
    ASSERT_TRUE(waitFor([] { return lt::streamingState().pending.load() == 0; }));
    EXPECT_EQ(lt::streamingState().receiveIndex.load(), 0);
    EXPECT_FALSE(lt::measurementRecordReady(record.data()));
    // Noise before a reply is passed over until its ':'.
    peer.send(std::string("\x01\x02zz:D18000\r\n"));
    ASSERT_TRUE(waitFor([] { return lt::streamingState().pending.load() == -1; }));
}

TEST_F(Streaming, DamagedValuesAreStoredAsNotANumber)
{
    std::string block = measurementBlock(false, false);
    block.replace(33, 8, "GARBAGE!");
    std::vector<std::uint8_t> record(kRecordSize, 0);
    lt::storeMeasurementBlock(block.data(), block.size(), 1, record.data());
    EXPECT_TRUE(lt::measurementRecordReady(record.data()));
    EXPECT_EQ(doubleAt(record, 1136), 41.5);
    EXPECT_TRUE(std::isnan(doubleAt(record, 1112)));
    // A block shorter than its mask's length is not decoded at all.
    std::vector<std::uint8_t> untouched(kRecordSize, 0);
    lt::storeMeasurementBlock(block.data(), 40, 1, untouched.data());
    EXPECT_FALSE(lt::measurementRecordReady(untouched.data()));
}

TEST_F(Streaming, StopEndsTheThreadPromptlyAndKeepsItsPause)
{
    spectrometer.StartReceiveThread(0, &cursor);
    ASSERT_TRUE(lt::streamingState().threadAlive.load());
    const auto start = std::chrono::steady_clock::now();
    spectrometer.StopReceiveThread();
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(lt::streamingState().threadAlive.load());
    EXPECT_GE(spent, 490ms);
    EXPECT_LT(spent, 1500ms);
    // A second start after a stop runs again.
    spectrometer.StartReceiveThread(0, &cursor);
    EXPECT_TRUE(lt::streamingState().threadAlive.load());
}

} // namespace

namespace {

TEST(StreamingWithoutPort, ThreadEndsAndRequestsReportThePortNotOpen)
{
    CTaviSpec closed;
    void* cursor = nullptr;
    closed.StartReceiveThread(0, &cursor);
    ASSERT_TRUE(waitFor([] { return !lt::streamingState().threadAlive.load(); }, 1000ms));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(closed.XPress(37, &cursor, 0), 10000u);
    closed.StopReceiveThread();
}

} // namespace
