// Processing of one full acquisition of the array spectrometer (256 pixels:
// stray-light correction, dark/white references, resampling and colour
// values), and the receive thread's CPU use while it waits for the line.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>

#include "instrument/include/TaviSpec.h"
#include "instrument/spectrometer/SpectrometerProcessing.h"
#include "ltsim/Simulator.h"
#include "tests/instrument/spectrometer_support.h"

namespace {

constexpr int kPixels = 256;

// Big-endian counts of a lamp-like curve scaled by a reflectance.
void makeCounts(std::uint8_t* bytes, double reflectance)
{
    for (int k = 0; k < kPixels; ++k) {
        const double lamp = 40000.0 * std::exp(-std::pow((k - 150) / 90.0, 2.0));
        const auto count = static_cast<std::uint16_t>(900 + reflectance * lamp);
        bytes[2 * k] = static_cast<std::uint8_t>(count >> 8);
        bytes[2 * k + 1] = static_cast<std::uint8_t>(count);
    }
}

void FullAcquisitionProcessing(benchmark::State& state)
{
    auto data = std::make_unique<lt::SpectrometerData>();
    data->calibration = {2.94118f, 226.5f};
    lt::loadCieTables(LTRAKW_BENCH_DATA "/XYZ2.txt", LTRAKW_BENCH_DATA "/ILLUM.txt", data->tables);
    auto record = std::make_unique<Aquire>();
    record->Step = 5.0f;
    record->HighWavelength = 780.0f;
    record->Illuminant = 4;
    record->FirstPixel = 0;
    record->LastPixel = kPixels - 1;
    std::uint8_t dark[2 * kPixels], white[2 * kPixels], sample[2 * kPixels];
    makeCounts(dark, 0.0);
    makeCounts(white, 1.0);
    makeCounts(sample, 0.4);
    lt::processAcquisition(*data, *record, lt::kCommandDark, dark, kPixels);
    lt::processAcquisition(*data, *record, lt::kCommandZero, white, kPixels);
    for (auto _ : state) {
        lt::processAcquisition(*data, *record, lt::kCommandReflectance7, sample, kPixels);
        benchmark::DoNotOptimize(record->Lab[0]);
    }
}
BENCHMARK(FullAcquisitionProcessing)->Unit(benchmark::kMicrosecond);

double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
        1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// The receive thread with nothing arriving for one second: the process's CPU
// time over that second is reported as a fraction of one core.
void ReceiveThreadWaiting(benchmark::State& state)
{
    ltsim::SimulatorOptions options;
    options.device = ltsim::DeviceKind::LumatrakS;
    ltsim::Simulator simulator(options);
    if (!simulator.start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    CTaviSpec::SetPortDevice(1, simulator.devicePath().c_str());
    CTaviSpec instrument;
    ComPort port = lttest::portRecord(0, 1, 9600, 1);
    FileNames identity {};
    instrument.GretagPortOpenAndInit(&port, &identity);
    void* cursor = nullptr;
    double busy = 0.0;
    for (auto _ : state) {
        instrument.StartReceiveThread(0, &cursor);
        const double before = processCpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        busy = processCpuSeconds() - before;
        instrument.StopReceiveThread();
    }
    state.counters["cpu_share"] = busy;
    instrument.GretagPortClose(port.Handle);
}
BENCHMARK(ReceiveThreadWaiting)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
