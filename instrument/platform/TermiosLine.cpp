#include "instrument/platform/TermiosLine.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace lt::termline {

namespace {

constexpr std::uint8_t kParityNone = 0;
constexpr std::uint8_t kParityOdd = 1;
constexpr std::uint8_t kParityEven = 2;
constexpr std::uint8_t kParityMark = 3;
constexpr std::uint8_t kParitySpace = 4;
constexpr std::uint8_t kStopBitsOne = 0;
constexpr std::uint8_t kStopBitsTwo = 2;

bool getLine(int fd, termios2& line)
{
    return ::ioctl(fd, TCGETS2, &line) == 0;
}

bool setLine(int fd, const termios2& line)
{
    return ::ioctl(fd, TCSETS2, &line) == 0;
}

} // namespace

bool makeRaw(int fd)
{
    termios2 line {};
    if (!getLine(fd, line))
        return false;
    line.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    line.c_oflag &= ~OPOST;
    line.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag |= CREAD | CLOCAL;
    line.c_cflag &= ~CRTSCTS;
    // At least one byte per read: a non-blocking read with nothing there
    // then says "try again" rather than "end of file".
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    return setLine(fd, line);
}

bool readSettings(int fd, LtLineSettings& settings)
{
    termios2 line {};
    if (!getLine(fd, line))
        return false;
    settings.BaudRate = line.c_ospeed;
    switch (line.c_cflag & CSIZE) {
    case CS5:
        settings.ByteSize = 5;
        break;
    case CS6:
        settings.ByteSize = 6;
        break;
    case CS7:
        settings.ByteSize = 7;
        break;
    default:
        settings.ByteSize = 8;
        break;
    }
    if (!(line.c_cflag & PARENB))
        settings.Parity = kParityNone;
    else if (line.c_cflag & CMSPAR)
        settings.Parity = (line.c_cflag & PARODD) ? kParityMark : kParitySpace;
    else
        settings.Parity = (line.c_cflag & PARODD) ? kParityOdd : kParityEven;
    settings.StopBits = (line.c_cflag & CSTOPB) ? kStopBitsTwo : kStopBitsOne;
    settings.OutX = (line.c_iflag & IXON) ? 1 : 0;
    settings.InX = (line.c_iflag & IXOFF) ? 1 : 0;
    return true;
}

bool applySettings(int fd, const LtLineSettings& settings)
{
    termios2 line {};
    if (!getLine(fd, line))
        return false;
    tcflag_t size = 0;
    switch (settings.ByteSize) {
    case 5:
        size = CS5;
        break;
    case 6:
        size = CS6;
        break;
    case 7:
        size = CS7;
        break;
    case 8:
        size = CS8;
        break;
    default:
        errno = EINVAL;
        return false;
    }
    if (settings.BaudRate == 0 || settings.Parity > kParitySpace ||
        settings.StopBits > kStopBitsTwo) {
        errno = EINVAL;
        return false;
    }
    line.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    line.c_cflag |= BOTHER | (BOTHER << IBSHIFT) | size;
    line.c_ispeed = settings.BaudRate;
    line.c_ospeed = settings.BaudRate;
    switch (settings.Parity) {
    case kParityOdd:
        line.c_cflag |= PARENB | PARODD;
        break;
    case kParityEven:
        line.c_cflag |= PARENB;
        break;
    case kParityMark:
        line.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case kParitySpace:
        line.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    if (settings.StopBits != kStopBitsOne)
        line.c_cflag |= CSTOPB; // Linux has no 1.5 stop bits; two is the nearest
    line.c_iflag &= ~(IXON | IXOFF);
    if (settings.OutX)
        line.c_iflag |= IXON;
    if (settings.InX)
        line.c_iflag |= IXOFF;
    return setLine(fd, line);
}

bool flush(int fd, bool input, bool output)
{
    if (!input && !output)
        return true;
    const int queue = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    return ::ioctl(fd, TCFLSH, queue) == 0;
}

} // namespace lt::termline
