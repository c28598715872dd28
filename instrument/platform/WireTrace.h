#pragma once
// An opt-in record of every byte on the instrument lines, the first thing to
// ask for when a real instrument misbehaves. Set LTCTL_TRACE to a file name
// before the program starts; each line of the file then says when (local
// time to the microsecond), on which device, which way ("<" received, ">"
// sent) and how many bytes moved, in hex and as text (a dot for every byte
// that is no printable ASCII character). Opens and closes are noted too.
// Without the variable nothing is written and nothing costs more than a
// flag test.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lt::trace {

inline constexpr const char* kTraceVariable = "LTCTL_TRACE";
inline constexpr char kSent = '>';
inline constexpr char kReceived = '<';

bool enabled();
void note(std::string_view device, std::string_view event);
void bytes(std::string_view device, char direction, const std::uint8_t* data, std::size_t length);

// One line of the trace as written (without the time), for tests.
std::string formatBytes(
    std::string_view device, char direction, const std::uint8_t* data, std::size_t length);

} // namespace lt::trace
