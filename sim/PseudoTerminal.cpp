#include "PseudoTerminal.h"

#include "LineSpeed.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ltsim {

bool PseudoTerminal::open(std::string* error)
{
    close();
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        if (error)
            *error = std::string("openpty failed: ") + std::strerror(errno);
        master_ = slave_ = -1;
        return false;
    }
    termios attributes {};
    if (tcgetattr(slave_, &attributes) == 0) {
        cfmakeraw(&attributes);
        cfsetispeed(&attributes, B9600);
        cfsetospeed(&attributes, B9600);
        tcsetattr(slave_, TCSANOW, &attributes);
    }
    int flags = fcntl(master_, F_GETFL);
    fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    slavePath_ = name;
    return true;
}

void PseudoTerminal::close()
{
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

unsigned PseudoTerminal::lineSpeed() const
{
    if (slave_ < 0)
        return 0;
    return terminalSpeed(slave_);
}

} // namespace ltsim
