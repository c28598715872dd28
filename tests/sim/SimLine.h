// The program's end of a simulator's line, for tests: a raw serial port at a
// chosen speed with exchanges of exactly the reply length the caller expects.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace simtest {

class SimLine {
public:
    explicit SimLine(const std::string& path)
    {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    ~SimLine()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    void setSpeed(speed_t speed)
    {
        termios attributes {};
        tcgetattr(fd_, &attributes);
        cfmakeraw(&attributes);
        cfsetispeed(&attributes, speed);
        cfsetospeed(&attributes, speed);
        tcsetattr(fd_, TCSANOW, &attributes);
    }

    void send(const std::string& bytes)
    {
        [[maybe_unused]] ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    }

    // Reads until `length` bytes came or `timeoutMs` passed.
    std::string receive(std::size_t length, int timeoutMs = 2000)
    {
        std::string out;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < length) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now())
                            .count();
            if (left <= 0)
                break;
            pollfd p {fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left)) <= 0)
                continue;
            char buffer[4096];
            std::size_t want = std::min(sizeof buffer, length - out.size());
            ssize_t n = ::read(fd_, buffer, want);
            if (n > 0)
                out.append(buffer, static_cast<std::size_t>(n));
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                break;
        }
        return out;
    }

    // Whatever arrives within `ms`.
    std::string drain(int ms) { return receive(100000, ms); }

    std::string exchange(const std::string& request, std::size_t replyLength, int timeoutMs = 2000)
    {
        send(request);
        return receive(replyLength, timeoutMs);
    }

    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

} // namespace simtest
