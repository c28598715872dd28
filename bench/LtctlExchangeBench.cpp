// One measurement's five exchanges (trigger with spectrum, three
// colorimetric fetches, densities) against an instrument on a
// pseudo-terminal that answers at once, and one that paces its bytes at
// 9600 baud. Reported per measurement:
//   beyond_pauses_ms  wall time minus the pauses the exchanges prescribe
//   client_cpu_ms     CPU time of the calling thread
//   wire_ms           time the request and reply bytes take on a 9600 baud line
//   excess_pct        (wall - pauses - wire) / (wire + pauses), paced line only

#include <benchmark/benchmark.h>

#include <time.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "PauseCountingClock.h"
#include "instrument/ScriptedPeer.h"
#include "instrument/include/LtClock.h"
#include "instrument/include/TaviSpec.h"

namespace {

using lt::test::line;
using lt::test::ScriptedPeer;

constexpr double kBitsPerByte = 10.0;
constexpr std::uint32_t kPacedBaud = 9600;

using lt::bench::PauseCountingClock;

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::vector<ScriptedPeer::Step> measurementScript(std::size_t& wireBytes)
{
    auto padded = [](std::string head, std::size_t total) {
        head.resize(total - 2, '0');
        return line(head);
    };
    std::vector<ScriptedPeer::Step> script = {
        ScriptedPeer::answer(";20\r\n", line(":2500")),
        ScriptedPeer::answer(";B80900\r\n", padded(":B90900", 309)),
        ScriptedPeer::answer(";BA0900\r\n", padded(":BB0900", 49)),
        ScriptedPeer::answer(";BA0901\r\n", padded(":BB0901", 49)),
        ScriptedPeer::answer(";BA0904\r\n", padded(":BB0904", 49)),
        ScriptedPeer::answer(";BC09\r\n", padded(":BD09", 55)),
    };
    wireBytes = 0;
    for (const auto& step : script)
        wireBytes += step.request.size() + step.reply.size();
    return script;
}

void measureFiveTimes(CTaviSpec& instrument, float* spectrum)
{
    GretagStruct g {};
    g.Spectrum = spectrum;
    g.StartStep = 0;
    g.OutputType = 0;
    benchmark::DoNotOptimize(instrument.GretagExecRemission(&g));
    g.StartStep = 1;
    g.OutputType = 1;
    for (std::uint8_t space : {0, 1, 4}) {
        g.ColorSpace = space;
        benchmark::DoNotOptimize(instrument.GretagExecRemission(&g));
    }
    g.OutputType = 2;
    benchmark::DoNotOptimize(instrument.GretagExecRemission(&g));
}

void BM_MeasurementCycle(benchmark::State& state)
{
    const bool paced = state.range(0) != 0;
    PauseCountingClock clock;
    lt::setClock(&clock);
    ScriptedPeer peer;
    if (paced)
        peer.paceAt(kPacedBaud);
    CTaviSpec::SetPortDevice(1, peer.devicePath().c_str());
    CTaviSpec instrument;
    ComPort port {};
    port.PortNumber = 1;
    port.BaudRate = 9600;
    port.ByteSize = 8;
    port.Handshake = 1;
    std::uint32_t timeouts[5] = {6000, 6000, 6000, 200, 6000};
    port.Timeouts = timeouts;
    instrument.OpenLT(&port);

    std::size_t wireBytes = 0;
    const auto script = measurementScript(wireBytes);
    const double wireMs = static_cast<double>(wireBytes) * kBitsPerByte / kPacedBaud * 1e3;
    float spectrum[40];
    double beyondTotal = 0, cpuTotal = 0, excessTotal = 0;
    for (auto _ : state) {
        state.PauseTiming();
        peer.play(script);
        state.ResumeTiming();
        const std::uint64_t pausedBefore = clock.paused;
        const double cpuBefore = threadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        measureFiveTimes(instrument, spectrum);
        const double wallMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const double pausesMs = static_cast<double>(clock.paused - pausedBefore);
        cpuTotal += threadCpuMs() - cpuBefore;
        beyondTotal += wallMs - pausesMs;
        excessTotal += (wallMs - pausesMs - wireMs) / (wireMs + pausesMs) * 100.0;
        state.SetIterationTime(wallMs / 1e3);
        state.PauseTiming();
        peer.stop();
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["beyond_pauses_ms"] = beyondTotal / n;
    state.counters["client_cpu_ms"] = cpuTotal / n;
    if (paced) {
        state.counters["wire_ms"] = wireMs;
        state.counters["excess_pct"] = excessTotal / n;
    }
    instrument.SpecPortClose();
    lt::setClock(nullptr);
}

BENCHMARK(BM_MeasurementCycle)
    ->ArgName("paced")
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasurementCycle)
    ->ArgName("paced")
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
