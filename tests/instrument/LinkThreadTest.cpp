// The link used from two threads at once: a port closed while another
// thread waits on it, the receive thread's port closed under it, and the
// last-message buffers of two ports written at the same time. Run under
// ThreadSanitizer as well (the tsan preset).

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "instrument/include/TaviSpec.h"
#include "instrument/platform/SerialPort.h"

namespace lt {
namespace {

using namespace std::chrono_literals;

constexpr int kRounds = 20;
// [ms] the reader's wait: a close does not cut a wait short, it ends the
// transfer at the next look at the line.
constexpr unsigned long kReaderWaitMs = 300;

// A pseudo-terminal whose far end says nothing.
class SilentLine {
public:
    SilentLine()
    {
        int slave = -1;
        char name[128] = {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) == 0) {
            ::close(slave);
            m_path = name;
        }
    }
    ~SilentLine()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    const std::string& path() const { return m_path; }

private:
    int m_master = -1;
    std::string m_path;
};

ComPort serviceRecord()
{
    ComPort port {};
    port.PortNumber = 1;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.Handshake = 1;
    return port;
}

TEST(LinkThreads, CloseWhileAnotherThreadWaitsEndsTheWaitAndFreesTheLine)
{
    SilentLine line;
    ASSERT_FALSE(line.path().empty());
    ASSERT_EQ(CTaviSpec::SetPortDevice(1, line.path().c_str()), kStatusOk);
    for (int round = 0; round < kRounds; ++round) {
        CTaviSpec instrument;
        ComPort port = serviceRecord();
        ASSERT_NE(instrument.OpenLT(&port), ~0ul);
        void* handle = port.Handle;
        auto reader = std::async(std::launch::async, [handle] {
            char buffer[16];
            unsigned long count = 0;
            return PortRead(0, kModeBlockWait, kReaderWaitMs, handle, buffer, sizeof buffer, count);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
        EXPECT_EQ(instrument.SpecPortClose(), kStatusOk);
        // The line is free at once, even if the reader still holds the port.
        int error = 0;
        const auto again = SerialPort::open(line.path().c_str(), error);
        EXPECT_NE(again, nullptr) << error;
        if (again)
            SerialPort::close(again->handle());
        ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
        const unsigned long result = reader.get();
        EXPECT_TRUE(result == kStatusReadFailed || result == kStatusPortNotOpen) << result;
    }
}

TEST(LinkThreads, PortClosedUnderTheReceiveThread)
{
    SilentLine line;
    ASSERT_EQ(CTaviSpec::SetPortDevice(1, line.path().c_str()), kStatusOk);
    for (int round = 0; round < kRounds / 4; ++round) {
        CTaviSpec instrument;
        ComPort port = serviceRecord();
        ASSERT_NE(instrument.OpenLT(&port), ~0ul);
        void* cursor = nullptr;
        instrument.StartReceiveThread(0, &cursor);
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * round));
        EXPECT_EQ(instrument.SpecPortClose(), kStatusOk);
        instrument.StopReceiveThread();
    }
}

TEST(LinkThreads, EachPortKeepsItsOwnLastMessage)
{
    SilentLine first;
    SilentLine second;
    int error = 0;
    const auto a = SerialPort::open(first.path().c_str(), error);
    const auto b = SerialPort::open(second.path().c_str(), error);
    ASSERT_TRUE(a && b);
    auto write = [](void* handle, const std::string& text) {
        for (int i = 0; i < 200; ++i) {
            unsigned long count = 0;
            PortWrite(kModeBlockWait, 1000, handle, text.data(), text.size(), count);
        }
    };
    std::thread one(write, a->handle(), std::string(";07\r\n"));
    std::thread two(write, b->handle(), std::string(";B5\r\n"));
    one.join();
    two.join();
    EXPECT_EQ(a->lastMessage(), ";07\r\n");
    EXPECT_EQ(b->lastMessage(), ";B5\r\n");
    SerialPort::close(a->handle());
    SerialPort::close(b->handle());
}

} // namespace
} // namespace lt
