// When the bytes of a reply cross a serial line: each byte takes ten bit
// times (start bit, 8 data bits, stop bit), and the receiving UART hands them
// on in bursts of its FIFO, not one by one.
#pragma once

#include <chrono>
#include <cstddef>

namespace ltsim {

inline constexpr int kBitsPerByte = 10;
// Bytes the program receives at once: the FIFO of a 16550-type UART.
inline constexpr std::size_t kUartBurstBytes = 16;

// Time from the first bit of a reply until its first `bytes` bytes are through.
std::chrono::nanoseconds lineTime(std::size_t bytes, unsigned baud);

// Sleeps until the steady clock reaches deadline, to well under a
// millisecond (an absolute deadline: late wake-ups do not add up).
void sleepUntil(std::chrono::steady_clock::time_point deadline);

} // namespace ltsim
