#pragma once
// Test doubles for the array spectrometer and streaming tests: a scripted
// instrument on the master side of a pseudo-terminal, a clock that skips the
// long waits of the time-out paths, and the records the host passes.

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "instrument/include/LtClock.h"
#include "instrument/include/TaviSpec.h"

namespace lttest {

using Bytes = std::vector<std::uint8_t>;

// The instrument side of a pseudo-terminal. A handler sees every byte that
// arrives together with the bytes still unanswered and returns how many of
// them it consumed; it answers with send().
class PtyPeer {
public:
    using Handler = std::function<std::size_t(const Bytes& unanswered, PtyPeer& peer)>;

    explicit PtyPeer(Handler handler) : handler_(std::move(handler))
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        path_ = ptsname(master_);
        // Keeps the slave side open so that the master never sees a hang-up
        // between two opens of the library.
        keeper_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        running_ = true;
        thread_ = std::thread([this] { serve(); });
    }
    ~PtyPeer()
    {
        running_ = false;
        if (thread_.joinable())
            thread_.join();
        if (keeper_ >= 0)
            ::close(keeper_);
        if (master_ >= 0)
            ::close(master_);
    }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return !path_.empty(); }
    // Nothing unread from the library and no answer being prepared.
    bool quiet() const
    {
        if (busy_.load())
            return false;
        pollfd fd {master_, POLLIN, 0};
        return ::poll(&fd, 1, 0) == 0;
    }
    const std::string& path() const { return path_; }

    void send(const Bytes& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void send(const std::string& text) { send(Bytes(text.begin(), text.end())); }

    // Everything the library sent so far, in order.
    Bytes received() const
    {
        std::lock_guard lock(mutex_);
        return all_;
    }
    void clearReceived()
    {
        std::lock_guard lock(mutex_);
        all_.clear();
    }
    // The line speed [baud] the library set on its side.
    unsigned baud() const
    {
        termios2 settings {};
        ::ioctl(keeper_, TCGETS2, &settings);
        return settings.c_ospeed;
    }

private:
    void serve()
    {
        Bytes unanswered;
        while (running_) {
            pollfd fd {master_, POLLIN, 0};
            if (::poll(&fd, 1, 10) <= 0 || !(fd.revents & POLLIN))
                continue;
            busy_ = true;
            std::uint8_t chunk[512];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) {
                busy_ = false;
                continue;
            }
            {
                std::lock_guard lock(mutex_);
                all_.insert(all_.end(), chunk, chunk + n);
            }
            unanswered.insert(unanswered.end(), chunk, chunk + n);
            while (!unanswered.empty()) {
                const std::size_t used = handler_(unanswered, *this);
                if (used == 0)
                    break;
                unanswered.erase(unanswered.begin(), unanswered.begin() + static_cast<long>(used));
            }
            busy_ = false;
        }
    }

    Handler handler_;
    int master_ = -1;
    int keeper_ = -1;
    std::string path_;
    std::atomic<bool> running_ {false};
    std::atomic<bool> busy_ {false};
    std::thread thread_;
    mutable std::mutex mutex_;
    Bytes all_;
};

// Real time plus the time skipped: sleeps return at once, and a wait for the
// port jumps to its end once the other side has been quiet for a few polls
// (nothing unread from us, no answer being written), or after a few real
// seconds when no such test is given.
class SkippingClock : public lt::Clock {
public:
    explicit SkippingClock(std::function<bool()> quiet = {}) : quiet_(std::move(quiet)) { }

    std::uint64_t nowMs() override
    {
        using namespace std::chrono;
        return static_cast<std::uint64_t>(
                   duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count()) +
            skipped_.load();
    }
    void sleepMs(std::uint32_t ms) override
    {
        slept_ += ms;
        skipped_ += ms;
    }
    int waitFd(int fd, short events, std::uint32_t timeoutMs) override
    {
        const std::uint64_t start = nowMs();
        int quietPolls = 0;
        for (std::uint32_t waited = 0;; waited += kPollStepMs) {
            const std::uint32_t step =
                timeoutMs - waited < kPollStepMs ? timeoutMs - waited : kPollStepMs;
            pollfd entry {fd, events, 0};
            const int result = ::poll(&entry, 1, static_cast<int>(step));
            if (result != 0)
                return result > 0 ? entry.revents : result;
            if (waited + step >= timeoutMs)
                return 0;
            quietPolls = (quiet_ && quiet_()) ? quietPolls + 1 : 0;
            if (quietPolls >= kQuietPolls || waited + step >= kLongestRealWaitMs) {
                const std::uint64_t spent = nowMs() - start;
                if (spent < timeoutMs)
                    skipped_ += timeoutMs - spent;
                return 0;
            }
        }
    }
    std::uint64_t slept() const { return slept_.load(); }

private:
    static constexpr std::uint32_t kPollStepMs = 10;
    static constexpr int kQuietPolls = 3;
    static constexpr std::uint32_t kLongestRealWaitMs = 3000;
    std::function<bool()> quiet_;
    std::atomic<std::uint64_t> skipped_ {0};
    std::atomic<std::uint64_t> slept_ {0};
};

// A file of the shipped data directory.
inline std::string dataFile(const char* name)
{
    const char* dir = std::getenv("LTRAKW_DATA_DIR");
#ifdef LTRAKW_SOURCE_DATA_DIR
    if (!dir || !*dir)
        dir = LTRAKW_SOURCE_DATA_DIR;
#endif
    return std::string(dir && *dir ? dir : "data") + "/" + name;
}

// The shipped observer and illuminant tables, or another observer file.
inline FileNames tableFiles(const std::string& observer = dataFile("XYZ2.txt"))
{
    FileNames files {};
    std::snprintf(files.XYZFile, sizeof files.XYZFile, "%s", observer.c_str());
    std::snprintf(files.ILLUMFile, sizeof files.ILLUMFile, "%s", dataFile("ILLUM.txt").c_str());
    return files;
}

// The port record as the host fills it: 8 data bits, no parity, one stop bit.
inline ComPort portRecord(std::uint8_t deviceType, std::uint16_t portNumber, std::uint16_t baud,
    std::uint8_t handshake, std::uint8_t probe = 0)
{
    ComPort port {};
    port.DeviceType = deviceType;
    port.PortNumber = portNumber;
    port.BaudRate = baud;
    port.ByteSize = 8;
    port.Handshake = handshake;
    port.ProbeBaud = probe;
    return port;
}

inline Bytes bigEndian16(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

} // namespace lttest
