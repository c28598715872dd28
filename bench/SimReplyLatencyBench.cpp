// How quickly the virtual instruments answer with pacing off: the time from
// the request's last byte to the reply's first byte, median over 1000
// exchanges; the simulator's processor time while nobody talks to it; and
// its processor time while it paces replies at 9600 baud.
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

double processorMs(const rusage& usage)
{
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
        (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
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
        cpuMs = processorMs(after) - processorMs(before);
    }
    ::close(fd);
    state.counters["cpu_ms_per_idle_s"] = cpuMs;
}

// Spectrum fetches (309 bytes, 0.32 s on the line) paced at 9600 baud. The
// simulator's share is the process's processor time less this (the
// program's) thread's; reported in per cent of one core over the wall time.
void BM_PacedProcessorTime(benchmark::State& state)
{
    ltsim::SimulatorOptions options;
    options.pacing = true;
    options.baudRate = 9600;
    ltsim::Simulator simulator(options);
    simulator.start();
    int fd = openLine(simulator.devicePath());
    rusage processBefore {}, processAfter {}, clientBefore {}, clientAfter {};
    getrusage(RUSAGE_SELF, &processBefore);
    getrusage(RUSAGE_THREAD, &clientBefore);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        exchange(fd, ";B80900\r\n", 309);
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_THREAD, &clientAfter);
    getrusage(RUSAGE_SELF, &processAfter);
    ::close(fd);
    const double simulatorMs = (processorMs(processAfter) - processorMs(processBefore)) -
        (processorMs(clientAfter) - processorMs(clientBefore));
    state.counters["sim_cpu_percent"] = 100.0 * simulatorMs / wallMs;
    state.counters["sim_cpu_ms_per_reply"] = simulatorMs / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_PacedProcessorTime)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyQueryReply)->Iterations(kExchanges)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpectrumReply)->Iterations(kExchanges)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleProcessorTime)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
