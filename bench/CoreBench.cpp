// The measurement cycle's own work per sample (everything but the exchanges
// with the instrument) and the memory that 10,000 samples cost besides their
// list rows. The instrument is the virtual Lumatrak with pacing off; the
// time spent inside GretagExecRemission is measured through the library's
// fetch observer and taken off the cycle's total.
#include <benchmark/benchmark.h>

#include <chrono>
#include <malloc.h>

#include "common/ScriptedOperator.h"
#include "core/station/Workstation.h"
#include "instrument/include/LtClock.h"
#include "ltsim/Simulator.h"

namespace {

using Steady = std::chrono::steady_clock;
std::chrono::nanoseconds exchangeTime {0};

} // namespace

// The library's fetch observer: the time between the start and the end of
// every GretagExecRemission.
void timeFetch(const GretagStruct*, bool done, unsigned long, void*)
{
    static Steady::time_point start;
    if (!done)
        start = Steady::now();
    else
        exchangeTime += Steady::now() - start;
}

namespace {

// The library's fixed pauses (20 ms around every trigger) pass at once;
// waits for the port stay real. Pauses belong to the exchanges either way.
class PauselessClock : public lt::SteadyClock {
public:
    void sleepMs(std::uint32_t) override { }
};

// A calibrated virtual instrument in relative mode with a spot colour selected,
// so that every step of the cycle runs.
struct Bench {
    Bench() : station(op, configDir())
    {
        lt::setClock(&clock);
        CTaviSpec::SetFetchObserver(&timeFetch, nullptr);
        if (!sim.start())
            return;
        CTaviSpec::SetPortDevice(1, sim.devicePath().c_str());
        ComPort port {};
        port.PortNumber = 1;
        port.BaudRate = 9600;
        port.ByteSize = 8;
        port.Handshake = 1;
        FileNames identity {};
        station.instrument().GretagPortOpenAndInit(&port, &identity);
        ready = port.Status == 0 && station.cycle().InitRemission() == 0;
        lt::SharedRecord& record = station.record();
        lt::SpotColorEntry spot = lt::makeSpotColorEntry(600.0);
        spot.name = "Bench";
        record.spotColors.append(spot);
        record.spotColors.select(1);
        record.paperWhiteState = lt::PaperWhiteRequested;
        sim.setSample("paper");
        measure();
        record.processSolidRequest = 1;
        record.spotSolidState = lt::SpotSolidRequested;
        sim.setSample("C100");
        measure();
        sim.setSample("C50M20");
    }

    ~Bench()
    {
        CTaviSpec::SetFetchObserver(nullptr, nullptr);
        lt::setClock(nullptr);
    }

    static std::string configDir()
    {
        const char* dir = std::getenv("TMPDIR");
        return dir ? dir : "/tmp";
    }

    unsigned long measure()
    {
        return station.cycle().MeasureSample(
            lt::MeasurementCycle::kKindWithGraph, lt::kGraphScale, 0);
    }

    PauselessClock clock;
    ltsim::Simulator sim;
    lt::testing::ScriptedOperator op;
    lt::Workstation station;
    bool ready = false;
};

void BM_MeasureSampleOwnWork(benchmark::State& state)
{
    Bench bench;
    if (!bench.ready) {
        state.SkipWithError("the virtual instrument did not open");
        return;
    }
    std::chrono::nanoseconds total {0};
    exchangeTime = {};
    for (auto _ : state) {
        Steady::time_point start = Steady::now();
        unsigned long status = bench.measure();
        total += Steady::now() - start;
        if (status > lt::kLinkFailureThreshold) {
            state.SkipWithError("measurement failed");
            return;
        }
    }
    double samples = static_cast<double>(state.iterations());
    state.counters["own_work_us"] =
        std::chrono::duration<double, std::micro>(total - exchangeTime).count() / samples;
    state.counters["exchanges_us"] =
        std::chrono::duration<double, std::micro>(exchangeTime).count() / samples;
}
BENCHMARK(BM_MeasureSampleOwnWork)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// Bytes in use on the heap, small blocks and mapped large ones alike.
double heapInUse()
{
    struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// Heap growth per sample over 10,000 samples, beside the size of one list
// row: the rows are the only thing that may grow (a row's fifteen texts fit
// their strings' own buffers; the list adds its block bookkeeping).
void BM_MemoryOverTenThousandSamples(benchmark::State& state)
{
    constexpr int kSamples = 10000;
    for (auto _ : state) {
        Bench bench;
        if (!bench.ready) {
            state.SkipWithError("the virtual instrument did not open");
            return;
        }
        for (int i = 0; i < 100; ++i) // reach the steady state of buffers and caches
            bench.measure();
        bench.station.cycle().clearList();
        bench.sim.clearRequests();
        double start = heapInUse();
        for (int i = 0; i < kSamples; ++i) {
            bench.measure();
            if (i % 100 == 0)
                bench.sim
                    .clearRequests(); // the simulator's own log of requests is no part of the cycle
        }
        bench.sim.clearRequests();
        double filled = heapInUse();
        bench.station.cycle().clearList();
        double cleared = heapInUse();
        state.counters["growth_per_sample_B"] = (filled - start) / kSamples;
        state.counters["row_size_B"] = static_cast<double>(sizeof(lt::MeasurementRow));
        state.counters["left_after_clear_kB"] = (cleared - start) / 1024.0;
    }
}
BENCHMARK(BM_MemoryOverTenThousandSamples)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
