// Kept apart from <termios.h>, whose struct termios clashes with the kernel's.
#include "LineSpeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace ltsim {

unsigned terminalSpeed(int fd)
{
    struct termios2 settings { };
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return 0;
    return settings.c_ospeed;
}

} // namespace ltsim
