#pragma once
// A library object talking to a scripted instrument on a pseudo-terminal
// behind COM1, with a fake clock and the host's beeps and message boxes
// recorded.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "instrument/DescriptorChecked.h"
#include "instrument/FakeClock.h"
#include "instrument/ScriptedPeer.h"
#include "instrument/include/TaviSpec.h"
#include "instrument/platform/LinkState.h"
#include "instrument/platform/SerialPort.h"

namespace lt::test {

class LinkFixture : public DescriptorChecked<> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CTaviSpec::SetPortDevice(1, peer.devicePath().c_str()), 0u);
        CTaviSpec::SetBeepHandler(&LinkFixture::recordBeep, this);
        CTaviSpec::SetMessageHandler(&LinkFixture::recordMessage, this);
        linkState().directIo = false;
        setVerbose(false);
    }

    void TearDown() override
    {
        peer.stop();
        instrument.SpecPortClose();
        if (linkState().sharedHandle) {
            SerialPort::close(linkState().sharedHandle);
            linkState().sharedHandle = nullptr;
        }
        CTaviSpec::SetBeepHandler(nullptr, nullptr);
        CTaviSpec::SetMessageHandler(nullptr, nullptr);
    }

    // The port record the host fills for a spectrophotometer on COM1.
    static ComPort comPort(
        std::uint8_t deviceType = 0, std::uint16_t baud = 9600, std::uint8_t handshake = 1)
    {
        ComPort port {};
        port.DeviceType = deviceType;
        port.PortNumber = 1;
        port.BaudRate = baud;
        port.ByteSize = 8;
        port.Handshake = handshake;
        return port;
    }

    // Opens the line without any exchange, as the service link does.
    void openLine(std::uint32_t* timeouts = nullptr)
    {
        ComPort port = comPort();
        port.Timeouts = timeouts;
        const unsigned long handle = instrument.OpenLT(&port);
        ASSERT_NE(handle, ~0ul);
        ASSERT_NE(handle, 0ul);
    }

    // Plays the script and waits until the peer has heard all of it.
    void expectSent(const std::string& bytes)
    {
        peer.finished(2000);
        EXPECT_EQ(peer.received(), bytes);
    }

    static void recordBeep(unsigned long frequencyHz, unsigned long durationMs, void* context)
    {
        static_cast<LinkFixture*>(context)->beeps.emplace_back(frequencyHz, durationMs);
    }
    static void recordMessage(const char* text, const char* caption, void* context)
    {
        auto* self = static_cast<LinkFixture*>(context);
        self->messages.emplace_back(text);
        self->captions.emplace_back(caption ? caption : "(none)");
    }

    ScriptedPeer peer;
    // The instrument is quiet once it has read every byte the library wrote
    // since the test began and has nothing more to say.
    const std::uint64_t writtenBefore = SerialPort::bytesWritten();
    FakeClock fakeClock {[this] {
        return peer.quiet() && peer.totalReceived() >= SerialPort::bytesWritten() - writtenBefore;
    }};
    CTaviSpec instrument;
    std::vector<std::pair<unsigned long, unsigned long>> beeps;
    std::vector<std::string> messages;
    std::vector<std::string> captions;
};

// The line already open as the spectrophotometer's service link leaves it,
// with the spectrophotometer's time-out block: a reply cut short ends by the
// interval time-out before the caller's own time-out. The opening's pauses
// are forgotten, so a test sees only those of the exchange it runs.
class OpenLinkFixture : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        std::uint32_t timeouts[5] = {6000, 6000, 6000, 200, 6000};
        openLine(timeouts);
        fakeClock.clearPauses();
    }
};

} // namespace lt::test
