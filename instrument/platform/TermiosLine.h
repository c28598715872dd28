#pragma once
// Line settings of a terminal device through the kernel's termios2 calls,
// which take any baud rate (28800 has no classic constant). Kept apart
// because the kernel's termios header cannot be mixed with <termios.h>.

#include "instrument/include/TaviSpec.h"

namespace lt::termline {

// Raw 8-bit line: no echo, no line editing, no CR/LF translation, receiver on,
// modem lines ignored. False with errno set when fd is no terminal.
bool makeRaw(int fd);
// EventChar is not part of the line and is left as it is.
bool readSettings(int fd, LtLineSettings& settings);
// False with errno EINVAL for a zero rate or an impossible byte size, parity
// or stop-bit code.
bool applySettings(int fd, const LtLineSettings& settings);
bool flush(int fd, bool input, bool output);

} // namespace lt::termline
