// How quickly the virtual instruments answer with pacing off: the time from
// the request's last byte to the reply's first byte, median over 1000
// exchanges; and the simulator's processor time while nobody talks to it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ltsim/Simulator.h"

namespace {

constexpr int kExchanges = 1000;

int openLine(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    termios attributes {};
    tcgetattr(fd, &attributes);
    cfmakeraw(&attributes);
    cfsetispeed(&attributes, B9600);
    cfsetospeed(&attributes, B9600);
    tcsetattr(fd, TCSANOW, &attributes);
    return fd;
}

// Sends the request and returns the microseconds until the reply's first byte;
// reads the whole reply.
double exchange(int fd, const std::string& request, std::size_t replyLength)
{
    [[maybe_unused]] ssize_t written = ::write(fd, request.data(), request.size());
    auto sent = std::chrono::steady_clock::now();
    std::size_t received = 0;
    double firstByteUs = -1.0;
    char buffer[512];
    while (received < replyLength) {
        pollfd p {fd, POLLIN, 0};
        if (poll(&p, 1, 2000) <= 0)
            break;
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        if (firstByteUs < 0)
            firstByteUs =
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - sent)
                    .count();
        received += static_cast<std::size_t>(n);
    }
    return firstByteUs;
}

void replyLatency(benchmark::State& state, const std::string& request, std::size_t replyLength)
{
    ltsim::Simulator simulator;
    simulator.start();
    int fd = openLine(simulator.devicePath());
    std::vector<double> latencies;
    latencies.reserve(kExchanges);
    for (auto _ : state)
        latencies.push_back(exchange(fd, request, replyLength));
    ::close(fd);
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_us"] = latencies[latencies.size() / 2];
    state.counters["p99_us"] = latencies[latencies.size() * 99 / 100];
}

void BM_KeyQueryReply(benchmark::State& state)
{
    replyLatency(state, ";07\r\n", 9);
}
void BM_SpectrumReply(benchmark::State& state)
{
    replyLatency(state, ";B80900\r\n", 309);
}

void BM_IdleProcessorTime(benchmark::State& state)
{
    ltsim::Simulator simulator;
    simulator.start();
    int fd = openLine(simulator.devicePath());
    double cpuMs = 0.0;
    for (auto _ : state) {
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        getrusage(RUSAGE_SELF, &after);
        auto ms = [](const rusage& u) {
            return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
                (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
        };
        cpuMs = ms(after) - ms(before);
    }
    ::close(fd);
    state.counters["cpu_ms_per_idle_s"] = cpuMs;
}

} // namespace

BENCHMARK(BM_KeyQueryReply)->Iterations(kExchanges)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpectrumReply)->Iterations(kExchanges)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleProcessorTime)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
