// A program may set its line speed as an arbitrary rate (termios2): the
// instrument still tells a wrong speed from its own.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "ltsim/Simulator.h"

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace {

void setArbitrarySpeed(int fd, unsigned baud)
{
    struct termios2 settings { };
    ASSERT_EQ(ioctl(fd, TCGETS2, &settings), 0);
    settings.c_iflag = 0;
    settings.c_oflag = 0;
    settings.c_lflag = 0;
    settings.c_cflag = CS8 | CREAD | CLOCAL | BOTHER;
    settings.c_ispeed = baud;
    settings.c_ospeed = baud;
    ASSERT_EQ(ioctl(fd, TCSETS2, &settings), 0);
}

std::string exchange(int fd, const std::string& request, std::size_t length)
{
    [[maybe_unused]] ssize_t n = ::write(fd, request.data(), request.size());
    std::string reply;
    char buffer[64];
    while (reply.size() < length) {
        pollfd p {fd, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0)
            break;
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        reply.append(buffer, static_cast<std::size_t>(got));
    }
    return reply;
}

} // namespace

TEST(SimLineSpeed, ArbitrarySpeedSettingIsReadLikeAStandardOne)
{
    ltsim::SimulatorOptions options;
    options.device = ltsim::DeviceKind::Spectrometer;
    options.baudRate = 4800;
    ltsim::Simulator simulator(options);
    ASSERT_TRUE(simulator.start());
    int fd = ::open(simulator.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    setArbitrarySpeed(fd, 9600);
    EXPECT_NE(exchange(fd, "CCP\r\n", 5), "CCP\r\n");
    setArbitrarySpeed(fd, 4800);
    EXPECT_EQ(exchange(fd, "CCP\r\n", 5), "CCP\r\n");
    ::close(fd);
}
