// The serial layer: the transfer primitives, port selection, closing, and
// every way a line can fail.

#include <cerrno>
#include <cstring>

#include "instrument/LinkFixture.h"

namespace lt::test {
namespace {

using Peer = ScriptedPeer;

class SerialTransfer : public LinkFixture {
protected:
    void* handle() { return linkState().sharedHandle; }
};

TEST_F(SerialTransfer, ByteModeStopsAtTheFirstLineFeed)
{
    peer.play({Peer::answer("?", "AB\nCD\n")});
    openLine();
    unsigned long count = 0;
    ASSERT_EQ(PortWrite(kModeBlockWait, 1000, handle(), "?", 1, count), 0u);
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(PortRead(0, kModeByteWait, 1000, handle(), buffer, sizeof buffer, count), 0u);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(std::string(buffer, 4), "AB\n#");
    EXPECT_EQ(PortRead(0, kModeBytePoll, 1000, handle(), buffer, sizeof buffer, count), 0u);
    EXPECT_EQ(std::string(buffer, 3), "CD\n");
}

TEST_F(SerialTransfer, ByteModeWithoutLineFeedNeverWritesBeyondTheBuffer)
{
    peer.play({Peer::answer("?", "ABCDEFGH")});
    openLine();
    unsigned long count = 0;
    ASSERT_EQ(PortWrite(kModeBlockWait, 1000, handle(), "?", 1, count), 0u);
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(PortRead(0, kModeByteWait, 1000, handle(), buffer, 4, count), 0u);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(std::string(buffer, 8), "ABCD####");
}

TEST_F(SerialTransfer, WriteSendsUpToTheLineFeedInByteModeAndKeepsTheLastMessage)
{
    peer.play({Peer::answer(";07\r\n", "")});
    openLine();
    unsigned long count = 0;
    EXPECT_EQ(PortWrite(kModeByteWait, 1000, handle(), ";07\r\nJUNK", 9, count), 0u);
    EXPECT_EQ(count, 5u);
    expectSent(";07\r\n");
    EXPECT_EQ(SerialPort::fromHandle(handle())->lastMessage(), ";07\r\nJUNK");
}

TEST_F(SerialTransfer, BlockReadEndedByTheIntervalTimeoutIsASuccessWithFewerBytes)
{
    peer.play({Peer::answer("?", ":1F")});
    openLine();
    unsigned long count = 0;
    ASSERT_EQ(PortWrite(kModeBlockWait, 1000, handle(), "?", 1, count), 0u);
    char buffer[9] = {};
    // The service line's interval time-out (20 s) ends the block before the
    // caller's 60 s.
    EXPECT_EQ(PortRead(10, kModeBlockWait, 60000, handle(), buffer, sizeof buffer, count), 0u);
    EXPECT_EQ(count, 3u);
    EXPECT_TRUE(beeps.empty());
}

// The bytes of a reply of known length still on their way are slept for,
// all but the last one: that one is awaited in poll(), which takes it the
// moment it arrives, where a sleep for it ends up to a character late when
// the sender lags.
TEST_F(SerialTransfer, ReplyOfKnownLengthSleepsForAllButItsLastMissingByte)
{
    constexpr std::size_t kLength = 9;
    const struct {
        std::size_t missing;
        std::vector<std::uint32_t> waitsUs;
    } cases[] = {{1, {}}, {3, {2083}}}; // two characters of 10 bits at 9600 baud
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing);
        peer.play({Peer::answer("?", std::string(kLength - c.missing, 'A'))});
        openLine();
        unsigned long count = 0;
        ASSERT_EQ(PortWrite(kModeBlockWait, 1000, handle(), "?", 1, count), 0u);
        const std::size_t waitsBefore = fakeClock.byteWaitsUs().size();
        char buffer[kLength];
        // The missing bytes never come: the read ends by its time-out.
        EXPECT_EQ(PortRead(0, kModeBlockWait, 1000, handle(), buffer, kLength, count),
            kStatusReadTimeout);
        const auto waits = fakeClock.byteWaitsUs();
        EXPECT_EQ(std::vector<std::uint32_t>(waits.begin() + waitsBefore, waits.end()), c.waitsUs);
        peer.stop();
    }
}

TEST_F(SerialTransfer, SilenceTimesOutWithTwoBeepsAndTheVerboseBox)
{
    peer.play({Peer::silence("?")});
    openLine();
    setVerbose(true);
    unsigned long count = 0;
    ASSERT_EQ(PortWrite(kModeBlockWait, 1000, handle(), "?", 1, count), 0u);
    char buffer[9];
    const std::uint64_t before = fakeClock.nowMs();
    EXPECT_EQ(PortRead(10, kModeBlockWait, 5000, handle(), buffer, sizeof buffer, count),
        kStatusReadTimeout);
    const std::uint64_t waited = fakeClock.nowMs() - before;
    EXPECT_GE(waited, 5000u);
    EXPECT_LE(waited, 5000u + 300u)
        << "no longer than the time-out and the pause between the beeps";
    const std::vector<std::pair<unsigned long, unsigned long>> twoBeeps = {{800, 30}, {800, 30}};
    EXPECT_EQ(beeps, twoBeeps);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "?");
    EXPECT_EQ(captions[0], "(none)");
}

TEST_F(SerialTransfer, QuietLibraryShowsNoBoxOnTimeout)
{
    peer.play({Peer::silence("?")});
    openLine();
    unsigned long count = 0;
    ASSERT_EQ(PortWrite(kModeBlockWait, 1000, handle(), "?", 1, count), 0u);
    char buffer[4];
    EXPECT_EQ(PortRead(0, kModeByteWait, 2000, handle(), buffer, sizeof buffer, count),
        kStatusReadTimeout);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(beeps.size(), 2u);
}

TEST_F(SerialTransfer, HangUpFailsReadsAndWrites)
{
    peer.play({Peer::hangUp("?")});
    openLine();
    unsigned long count = 0;
    ASSERT_EQ(PortWrite(kModeBlockWait, 1000, handle(), "?", 1, count), 0u);
    peer.finished();
    char buffer[9];
    EXPECT_EQ(PortRead(0, kModeBlockWait, 5000, handle(), buffer, sizeof buffer, count),
        kStatusReadFailed);
    EXPECT_EQ(PortWrite(kModeBlockWait, 1000, handle(), "?", 1, count), kStatusWriteFailed);
    EXPECT_EQ(
        PortReadDirect(kModeBlockWait, handle(), buffer, sizeof buffer, count), kStatusReadFailed);
    EXPECT_EQ(PortWriteDirect(kModeBlockWait, handle(), "?", 1, count), kStatusWriteFailed);
    EXPECT_LT(fakeClock.timedOutMs(), 5000u) << "a hang-up is noticed at once";
}

TEST_F(SerialTransfer, ClosedOrForeignHandlesAreRefused)
{
    openLine();
    void* stale = handle();
    EXPECT_EQ(instrument.GretagPortClose(stale), 0u);
    unsigned long count = 0;
    char buffer[4];
    EXPECT_EQ(PortWrite(kModeBlockWait, 1000, stale, "?", 1, count), kStatusPortNotOpen);
    EXPECT_EQ(PortRead(0, kModeBlockWait, 1000, stale, buffer, 4, count), kStatusPortNotOpen);
    int notAPort = 0;
    EXPECT_EQ(PortWriteDirect(kModeBlockWait, &notAPort, "?", 1, count), kStatusPortNotOpen);
    // A later port never answers to an earlier port's handle.
    openLine();
    EXPECT_NE(handle(), stale);
    EXPECT_EQ(SerialPort::fromHandle(stale), nullptr);
    EXPECT_EQ(PortReadDirect(kModeBlockWait, nullptr, buffer, 4, count), kStatusPortNotOpen);
}

TEST_F(SerialTransfer, ClosingWithoutAHandle)
{
    EXPECT_EQ(instrument.GretagPortClose(nullptr), 1u);
    EXPECT_EQ(instrument.SpecPortClose(), 1u);
    openLine();
    EXPECT_EQ(instrument.SpecPortClose(), 0u);
    EXPECT_EQ(instrument.SpecPortClose(), 1u);
}

TEST_F(SerialTransfer, InvalidPortNumberOpensComOneAfterSayingSo)
{
    for (std::uint16_t number : {0, 5}) {
        ComPort port = comPort();
        port.PortNumber = number;
        const unsigned long handle = instrument.OpenLT(&port);
        EXPECT_NE(handle, ~0ul);
        EXPECT_EQ(reinterpret_cast<void*>(handle), port.Handle);
    }
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "No valid COM defined: COM1 used");
    EXPECT_EQ(captions[0], "(none)");
}

TEST_F(SerialTransfer, LineInUseIsNotOpenedTwice)
{
    openLine();
    int error = 0;
    EXPECT_EQ(SerialPort::open(peer.devicePath().c_str(), error), nullptr);
    EXPECT_EQ(error, EBUSY);
    instrument.SpecPortClose();
    const auto again = SerialPort::open(peer.devicePath().c_str(), error);
    EXPECT_NE(again, nullptr) << "free again once closed";
    if (again)
        SerialPort::close(again->handle());
}

TEST_F(SerialTransfer, MissingDeviceGivesPortNotOpen)
{
    ASSERT_EQ(CTaviSpec::SetPortDevice(2, "/dev/ltrakw-no-such-device"), 0u);
    ComPort port = comPort();
    port.PortNumber = 2;
    EXPECT_EQ(instrument.OpenLT(&port), ~0ul);
    EXPECT_EQ(port.Handle, nullptr);

    port.Status = 0;
    EXPECT_EQ(instrument.GretagPortOpenAndInit(&port, nullptr),
        reinterpret_cast<void*>(~std::uintptr_t {0}));
    EXPECT_EQ(port.Status, kStatusPortNotOpen);
    port.Status = 0;
    EXPECT_EQ(instrument.SpecPortOpen(&port, nullptr), kStatusPortNotOpen);
    EXPECT_EQ(port.Status, kStatusPortNotOpen);
    GretagStruct g {};
    EXPECT_EQ(instrument.GretagExecRemission(&g), kStatusPortNotOpen);
    EXPECT_TRUE(peer.received().empty());
}

TEST_F(SerialTransfer, PortDeviceMapRefusesBadArguments)
{
    EXPECT_EQ(CTaviSpec::SetPortDevice(0, "/dev/null"), 1u);
    EXPECT_EQ(CTaviSpec::SetPortDevice(5, "/dev/null"), 1u);
    EXPECT_EQ(CTaviSpec::SetPortDevice(3, nullptr), 1u);
    EXPECT_EQ(portDevicePath(4), "/dev/ttyUSB1");
}

TEST_F(SerialTransfer, LineSettingsFollowTheRecordAndHandshake)
{
    ComPort port = comPort(2, 19200, 0);
    ASSERT_NE(instrument.OpenLT(&port), ~0ul);
    LtLineSettings line {};
    ASSERT_TRUE(SerialPort::fromHandle(port.Handle)->getState(line));
    EXPECT_EQ(line.BaudRate, 19200u);
    EXPECT_EQ(line.ByteSize, 8);
    EXPECT_EQ(line.Parity, 0);
    EXPECT_EQ(line.OutX, 1) << "handshake 0 switches XON/XOFF output control on";
    EXPECT_EQ(line.InX, 0);

    // A rate without a classic termios constant still takes.
    line.BaudRate = 28800;
    ASSERT_TRUE(SerialPort::fromHandle(port.Handle)->setState(line));
    ASSERT_TRUE(SerialPort::fromHandle(port.Handle)->getState(line));
    EXPECT_EQ(line.BaudRate, 28800u);
    line.ByteSize = 9;
    EXPECT_FALSE(SerialPort::fromHandle(port.Handle)->setState(line));
}

// The service link and the array spectrometer share the slow time-out block
// but differ in flow control, the settling pause, the invalid-port message
// and what happens to a port the object already holds.
TEST_F(SerialTransfer, ServiceAndSpectrometerOpensPrepareTheLineTheirOwnWay)
{
    const CommTimeouts slow {20000, 10000, 50000, 100, 5000};
    auto expectSlowTimeouts = [&](void* handle) {
        const CommTimeouts& t = SerialPort::fromHandle(handle)->timeouts();
        EXPECT_EQ((std::vector<std::uint32_t> {t.readInterval, t.readTotalMultiplier,
                      t.readTotalConstant, t.writeTotalMultiplier, t.writeTotalConstant}),
            (std::vector<std::uint32_t> {slow.readInterval, slow.readTotalMultiplier,
                slow.readTotalConstant, slow.writeTotalMultiplier, slow.writeTotalConstant}));
    };
    LtLineSettings line {};

    ComPort service = comPort(2, 19200, 0);
    service.PortNumber = 0;
    fakeClock.clearPauses();
    ASSERT_NE(instrument.OpenLT(&service), ~0ul);
    expectSlowTimeouts(service.Handle);
    ASSERT_TRUE(SerialPort::fromHandle(service.Handle)->getState(line));
    EXPECT_EQ(line.OutX, 1);
    EXPECT_EQ(fakeClock.pauses(), (std::vector<std::uint32_t> {100}))
        << "the service link settles after the purge";
    instrument.SpecPortClose();
    linkState().sharedHandle = nullptr;

    ComPort spectrometer = comPort(3, 9600, 0);
    spectrometer.PortNumber = 0;
    fakeClock.clearPauses();
    ASSERT_EQ(instrument.SpecPortOpen(&spectrometer, nullptr), 0u);
    ASSERT_NE(spectrometer.Handle, nullptr);
    expectSlowTimeouts(spectrometer.Handle);
    ASSERT_TRUE(SerialPort::fromHandle(spectrometer.Handle)->getState(line));
    EXPECT_EQ(line.OutX, 0) << "the spectrometer runs without flow control whatever the handshake";
    EXPECT_EQ(line.BaudRate, 9600u);
    EXPECT_TRUE(fakeClock.pauses().empty());
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0], "No valid COM defined: COM1 used");
    EXPECT_EQ(messages[1], "No valid COM: COM1 used");

    // A second open with another record keeps the port and applies the
    // record's rate and time-out block to it.
    std::uint32_t ownTimeouts[5] = {1, 2, 3, 4, 5};
    ComPort again = comPort(3, 19200, 0);
    again.Timeouts = ownTimeouts;
    messages.clear();
    ASSERT_EQ(instrument.SpecPortOpen(&again, nullptr), 0u);
    EXPECT_EQ(again.Handle, spectrometer.Handle);
    EXPECT_EQ(SerialPort::fromHandle(again.Handle)->timeouts().writeTotalConstant, 5u);
    ASSERT_TRUE(SerialPort::fromHandle(again.Handle)->getState(line));
    EXPECT_EQ(line.BaudRate, 19200u);
    for (const std::string& text : messages)
        EXPECT_EQ(text.find("No valid COM"), std::string::npos);
}

TEST_F(SerialTransfer, DeviceThatIsNoTerminalFailsItsLineSettings)
{
    ASSERT_EQ(CTaviSpec::SetPortDevice(3, "/dev/null"), 0u);
    ComPort port = comPort();
    port.PortNumber = 3;
    EXPECT_EQ(instrument.GretagPortOpenAndInit(&port, nullptr), nullptr);
    EXPECT_EQ(port.Status, kStatusPortState);
    EXPECT_EQ(port.Handle, nullptr);
    EXPECT_EQ(linkState().sharedHandle, nullptr);

    // The spectrometer's open tells the unreadable line settings apart and
    // closes the port as well.
    EXPECT_EQ(instrument.SpecPortOpen(&port, nullptr), kStatusGetStateFailed);
    EXPECT_EQ(port.Status, kStatusGetStateFailed);
    EXPECT_EQ(port.Handle, nullptr);
    EXPECT_EQ(instrument.SpecPortClose(), 1u);
}

} // namespace
} // namespace lt::test
