// The output speed set on a terminal, whether it was set as a standard
// rate or as an arbitrary one (termios2).
#pragma once

namespace ltsim {

// [baud]; 0 when the speed cannot be read.
unsigned terminalSpeed(int fd);

} // namespace ltsim
