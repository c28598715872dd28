#include "instrument/ScriptedPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "instrument/platform/TermiosLine.h"

namespace lt::test {

namespace {

constexpr int kPollMs = 5;
constexpr auto kRequestPatience = std::chrono::seconds(5);
constexpr double kBitsPerByte = 10.0; // start bit, 8 data bits, stop bit

void sleepUntil(const timespec& when)
{
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &when, nullptr) != 0) { }
}

timespec after(const timespec& start, double seconds)
{
    timespec t = start;
    const auto nanos = static_cast<long long>(seconds * 1e9);
    t.tv_sec += static_cast<time_t>(nanos / 1000000000LL);
    t.tv_nsec += static_cast<long>(nanos % 1000000000LL);
    if (t.tv_nsec >= 1000000000L) {
        t.tv_nsec -= 1000000000L;
        ++t.tv_sec;
    }
    return t;
}

} // namespace

ScriptedPeer::ScriptedPeer()
{
    int master = -1;
    int slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    m_devicePath = name;
    m_slaveView = slave;
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
}

ScriptedPeer::~ScriptedPeer()
{
    stop();
    if (const int master = m_master.exchange(-1); master >= 0)
        ::close(master);
    if (m_slaveView >= 0)
        ::close(m_slaveView);
}

void ScriptedPeer::play(std::vector<Step> script)
{
    stop();
    m_script = std::move(script);
    {
        std::lock_guard lock(m_mutex);
        m_received.clear();
        m_rates.clear();
    }
    m_stop = false;
    m_done = false;
    m_thread = std::thread([this] { run(); });
}

bool ScriptedPeer::finished(int realMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(realMs);
    while (!m_done && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return m_done;
}

void ScriptedPeer::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::string ScriptedPeer::received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

std::vector<std::uint32_t> ScriptedPeer::ratesSeen() const
{
    std::lock_guard lock(m_mutex);
    return m_rates;
}

bool ScriptedPeer::quiet() const
{
    if (m_busy)
        return false;
    const int master = m_master;
    if (master < 0)
        return true;
    int unread = 0;
    if (::ioctl(master, FIONREAD, &unread) != 0)
        return true;
    return unread == 0;
}

std::uint32_t ScriptedPeer::currentRate() const
{
    LtLineSettings settings {};
    if (!termline::readSettings(m_slaveView, settings))
        return 0;
    return settings.BaudRate;
}

bool ScriptedPeer::readRequest(std::size_t length, std::string& request)
{
    request.clear();
    const auto until = std::chrono::steady_clock::now() + kRequestPatience;
    while (request.size() < length && !m_stop) {
        char buffer[512];
        const ssize_t got =
            ::read(m_master, buffer, std::min(sizeof buffer, length - request.size()));
        if (got > 0) {
            m_busy = true; // from the first byte of a request until its answer is out
            m_totalReceived += static_cast<std::uint64_t>(got);
            request.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (std::chrono::steady_clock::now() > until)
            return false;
        pollfd entry {m_master, POLLIN, 0};
        ::poll(&entry, 1, kPollMs);
    }
    return request.size() == length;
}

void ScriptedPeer::writeAnswer(const std::string& bytes, std::size_t requestBytes)
{
    const std::uint32_t baud = m_pacingBaud;
    if (baud == 0) {
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t put = ::write(m_master, bytes.data() + written, bytes.size() - written);
            if (put > 0)
                written += static_cast<std::size_t>(put);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return;
    }
    // The request spent its time on the wire before the instrument could
    // answer; every answer byte leaves on its own schedule.
    const double byteSeconds = kBitsPerByte / baud;
    timespec start {};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        sleepUntil(after(start, byteSeconds * static_cast<double>(requestBytes + i + 1)));
        while (::write(m_master, &bytes[i], 1) != 1)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

void ScriptedPeer::run()
{
    // A UART sends each byte on its bit clock: the peer's waits keep no
    // timer slack, so that a paced reply is not late by the kernel's default
    // 50 microseconds per wait.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (const Step& step : m_script) {
        std::string request;
        const bool complete = readRequest(step.request.size(), request);
        m_busy = true;
        {
            std::lock_guard lock(m_mutex);
            m_received += request;
            m_rates.push_back(currentRate());
        }
        if (!complete || m_stop)
            break;
        if (step.then == Then::HangUp) {
            ::close(m_master.exchange(-1));
            break;
        }
        if (step.then == Then::Reply) {
            const bool rightRate = step.onlyAtRate == 0 || currentRate() == step.onlyAtRate;
            writeAnswer(rightRate ? step.reply : step.wrongRateReply, request.size());
        }
        m_busy = false;
    }
    m_busy = false;
    m_done = true;
    // Keep listening: whatever the library sends beyond the script is kept.
    while (!m_stop && m_master >= 0) {
        char buffer[512];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0) {
            m_totalReceived += static_cast<std::uint64_t>(got);
            std::lock_guard lock(m_mutex);
            m_received.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        pollfd entry {m_master, POLLIN, 0};
        ::poll(&entry, 1, kPollMs);
    }
}

} // namespace lt::test
