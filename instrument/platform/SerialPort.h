#pragma once
// The serial layer of the instrument library: a POSIX termios port behind an
// opaque handle, the four transfer primitives every exchange is built from,
// the last-message buffer and the map from COM1..COM4 to device paths.
//
// A port behaves like a Windows serial driver with a time-out block: a read of n bytes
// completes when n bytes have arrived, or earlier with fewer bytes when the
// port's time-out block ends it (interval between bytes, total time); the
// caller's own completion time-out then decides whether the exchange failed.
// All waiting goes through lt::clock() and poll(): it costs no CPU.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "instrument/include/TaviSpec.h"

namespace lt {

// The mode argument of the four primitives.
enum TransferMode : unsigned {
    kModeByteWait = 0, // one byte per transfer, until LF
    kModeBlockWait = 1, // the whole buffer in one transfer
    kModeBytePoll = 2, // as 0: a poll interval is accepted, the wait is the same
    kModeBlockPoll = 3, // as 1
};

// Purge flags: abort and clear, both directions.
inline constexpr unsigned kPurgeTxAbort = 1;
inline constexpr unsigned kPurgeRxAbort = 2;
inline constexpr unsigned kPurgeTxClear = 4;
inline constexpr unsigned kPurgeRxClear = 8;
inline constexpr unsigned kPurgeAll = 15;

inline constexpr std::size_t kLastMessageSize = 1024;
inline constexpr int kComPortCount = 4;

// The port's time-out block. A zero read total (multiplier and constant)
// and zero interval wait without limit; a zero write total likewise.
struct CommTimeouts {
    std::uint32_t readInterval; // [ms] longest gap between two received bytes
    std::uint32_t readTotalMultiplier; // [ms/byte]
    std::uint32_t readTotalConstant; // [ms]
    std::uint32_t writeTotalMultiplier; // [ms/byte]
    std::uint32_t writeTotalConstant; // [ms]
};

class SerialPort {
public:
    // How a transfer ended.
    enum class Completion {
        Done, // complete, or ended early by the time-out block
        Pending, // the caller's completion time-out passed first
        Failed, // read/write error or the other end hung up
    };

    // Opens a device path for reading and writing in raw mode, for this port
    // alone (a second open of a line in use fails with EBUSY); null with the
    // errno in error on failure.
    static std::shared_ptr<SerialPort> open(const char* devicePath, int& error);
    // The open port behind a handle, or null (null, all bits set, closed or
    // never opened handles). The port lives as long as a caller holds it:
    // a close from another thread meanwhile ends its transfers with Failed,
    // and its descriptor is closed when the last holder lets go.
    static std::shared_ptr<SerialPort> fromHandle(void* handle);
    // Closes the port behind a handle; false when it was not an open port.
    // The line is free for another open at once.
    static bool close(void* handle);

    // The port's handle: a value never given to another port, so a handle
    // kept after its port was closed can never reach a later one.
    void* handle() const { return m_handle; }
    int fd() const { return m_fd; }

    bool purge(unsigned flags);
    void setTimeouts(const CommTimeouts& timeouts) { m_timeouts = timeouts; }
    const CommTimeouts& timeouts() const { return m_timeouts; }
    // Line settings; false with errno set when the device refuses them.
    bool getState(LtLineSettings& settings);
    bool setState(const LtLineSettings& settings);

    // One driver transfer. deadlineMs (on lt::clock()) bounds the caller's
    // wait for completion; kNoDeadline leaves only the time-out block.
    static constexpr std::uint64_t kNoDeadline = UINT64_MAX;
    Completion read(
        std::uint8_t* buffer, std::size_t length, std::size_t& received, std::uint64_t deadlineMs);
    Completion write(const std::uint8_t* buffer, std::size_t length, std::size_t& sent,
        std::uint64_t deadlineMs);

    // Bytes handed to any line since the library was loaded: lets a test
    // instrument tell whether it has heard everything the library sent.
    static std::uint64_t bytesWritten();

    // The bytes of the last message written on this port, up to
    // kLastMessageSize - 1 of them.
    void recordLastMessage(const void* bytes, std::size_t length);
    std::string lastMessage() const;
    // While verbose, shows the last message (a failed or timed-out read).
    void showVerboseBox() const;

    SerialPort(int fd, void* handle, std::string device);
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

private:
    bool closed() const { return m_closed.load(); }
    void markClosed();

    int m_fd;
    void* m_handle;
    std::string m_device; // the path it was opened by, for the wire trace
    std::atomic<bool> m_closed {false};
    CommTimeouts m_timeouts {};
    // [ns] one character on the line at its rate (start, data, parity and
    // stop bits); 0 while the rate is unknown.
    std::uint64_t m_characterNs = 0;
    char m_eventChar = 0; // the line's event character, kept for the caller
    mutable std::mutex m_messageMutex;
    std::string m_lastMessage;
};

// The transfer primitives. Results are status codes: 0, 10000 (no open
// port behind the handle), 10010/10011 (write failed/timed out),
// 10020/10021 (read failed/timed out). A block read that ends early by the
// time-out block returns 0 with the smaller count: callers check it.
// Byte modes stop at the first LF and never beyond length.
unsigned long PortWrite(unsigned mode, unsigned long timeoutMs, void* handle, const void* buffer,
    unsigned long length, unsigned long& count);
unsigned long PortRead(unsigned long pollMs, unsigned mode, unsigned long timeoutMs, void* handle,
    void* buffer, unsigned long length, unsigned long& count);
// Blocking forms: bounded only by the port's time-out block.
unsigned long PortWriteDirect(
    unsigned mode, void* handle, const void* buffer, unsigned long length, unsigned long& count);
unsigned long PortReadDirect(
    unsigned mode, void* handle, void* buffer, unsigned long length, unsigned long& count);

// While verbose, a failed or timed-out read shows the port's last message.
void setVerbose(bool on);
bool verbose();

// COM1..COM4 to device paths. Defaults /dev/ttyS0, /dev/ttyS1,
// /dev/ttyUSB0, /dev/ttyUSB1.
unsigned long setPortDevice(int portNumber, const char* devicePath);
std::string portDevicePath(int portNumber);

} // namespace lt
