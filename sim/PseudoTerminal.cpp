#include "PseudoTerminal.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ltsim {

unsigned baudOfSpeed(unsigned speedConstant) {
  struct SpeedEntry {
    speed_t constant;
    unsigned baud;
  };
  static const SpeedEntry kSpeeds[] = {{B50, 50},       {B75, 75},       {B110, 110},     {B134, 134},
                                       {B150, 150},     {B200, 200},     {B300, 300},     {B600, 600},
                                       {B1200, 1200},   {B1800, 1800},   {B2400, 2400},   {B4800, 4800},
                                       {B9600, 9600},   {B19200, 19200}, {B38400, 38400}, {B57600, 57600},
                                       {B115200, 115200}, {B230400, 230400}};
  for (const SpeedEntry& entry : kSpeeds) {
    if (entry.constant == speedConstant) return entry.baud;
  }
  return 0;
}

bool PseudoTerminal::open(std::string* error) {
  close();
  char name[256] = {};
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
    if (error) *error = std::string("openpty failed: ") + std::strerror(errno);
    master_ = slave_ = -1;
    return false;
  }
  termios attributes{};
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

void PseudoTerminal::close() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

unsigned PseudoTerminal::lineSpeed() const {
  if (slave_ < 0) return 0;
  termios attributes{};
  if (tcgetattr(slave_, &attributes) != 0) return 0;
  return baudOfSpeed(cfgetospeed(&attributes));
}

}  // namespace ltsim
