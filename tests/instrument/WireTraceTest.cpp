// The wire trace: with LTCTL_TRACE naming a file, every byte each way is
// written there with its time, device and direction, in hex and as text.
// Its own test program, because the trace file is chosen when the library
// first moves a byte.

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "instrument/include/TaviSpec.h"
#include "instrument/platform/SerialPort.h"
#include "instrument/platform/WireTrace.h"

namespace lt {
namespace {

TEST(WireTrace, LineShowsHexAndPrintableText)
{
    struct Case {
        std::string bytes;
        char direction;
        const char* line;
    };
    const Case cases[] = {
        {";07\r\n", trace::kSent, "/dev/x > 5 3B 30 37 0D 0A |;07..|"},
        {std::string("\x00\xFF~ ", 4), trace::kReceived, "/dev/x < 4 00 FF 7E 20 |..~ |"},
        {"", trace::kReceived, "/dev/x < 0 ||"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trace::formatBytes("/dev/x", c.direction,
                      reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()),
            c.line);
    }
}

TEST(WireTrace, RecordsEveryByteEachWayWithItsTime)
{
    char tracePath[] = "/tmp/ltctl-trace-XXXXXX";
    const int traceFd = ::mkstemp(tracePath);
    ASSERT_GE(traceFd, 0);
    ::close(traceFd);
    ASSERT_EQ(::setenv(trace::kTraceVariable, tracePath, 1), 0);

    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    int error = 0;
    const auto port = SerialPort::open(name, error);
    ASSERT_NE(port, nullptr);
    unsigned long count = 0;
    ASSERT_EQ(PortWrite(kModeBlockWait, 1000, port->handle(), ";07\r\n", 5, count), kStatusOk);
    char request[5];
    ASSERT_EQ(::read(master, request, sizeof request), 5);
    ASSERT_EQ(::write(master, ":12000\r\n", 8), 8);
    char reply[8];
    ASSERT_EQ(
        PortRead(0, kModeBlockWait, 1000, port->handle(), reply, sizeof reply, count), kStatusOk);
    SerialPort::close(port->handle());
    ::close(master);

    std::ifstream file(tracePath);
    std::stringstream content;
    content << file.rdbuf();
    const std::string text = content.str();
    ::unlink(tracePath);
    const std::string device(name);
    const std::string stamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6} )";
    EXPECT_TRUE(std::regex_search(text, std::regex(stamp + device + " open")));
    EXPECT_TRUE(
        std::regex_search(text, std::regex(stamp + device + R"( > 5 3B 30 37 0D 0A \|;07\.\.\|)")));
    // The reply may come in pieces; together they are the whole of it.
    std::string received;
    const std::regex piece(device + R"( < \d+ [0-9A-F ]+\|([^|]*)\|)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), piece);
         it != std::sregex_iterator(); ++it)
        received += (*it)[1];
    EXPECT_EQ(received, ":12000..");
    EXPECT_TRUE(std::regex_search(text, std::regex(stamp + device + " close")));
}

} // namespace
} // namespace lt
