// Load and Save of a full IT8.7/3 chart (928 patches, about 60 kB) as the
// chart dialog runs them: the file chosen, read whole, parsed and taken into
// the tables; the text written and the file replaced through a flushed
// temporary file. Beside them the text work alone. Each must stay under 5 ms.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "common/ScriptedOperator.h"
#include "core/charts/ChartFile.h"
#include "core/charts/ChartSession.h"
#include "core/station/Workstation.h"

namespace {

// Chooses the same file for every Load and Save.
class FixedFileOperator : public lt::testing::ScriptedOperator {
public:
    explicit FixedFileOperator(std::string file) : path(std::move(file)) { }
    std::optional<std::string> chooseFileToOpen(
        const std::string&, const std::string&, const std::string&) override
    {
        return path;
    }
    std::optional<std::string> chooseFileToSave(
        const std::string&, const std::string&, const std::string&) override
    {
        return path;
    }

private:
    std::string path;
};

struct It873Chart {
    It873Chart()
        : directory(std::filesystem::temp_directory_path() / "ltrakw-chart-bench"),
          op((std::filesystem::create_directories(directory), (directory / "it8.txt").string())),
          station(op, directory.string()), session(station, lt::ChartIt873, chartPath)
    {
        for (int i = 0; i < lt::kChartPatchesIt873; ++i)
            session.tables().store(i, lt::chartPatchValues(i * 0.1, i * 0.07, i * 0.03));
        station.record().chart.currentPatch = 300;
    }
    ~It873Chart() { std::filesystem::remove_all(directory); }

    std::filesystem::path directory;
    FixedFileOperator op;
    lt::Workstation station;
    std::string chartPath;
    lt::ChartSession session;
};

void chartSave(benchmark::State& state)
{
    It873Chart chart;
    for (auto _ : state)
        if (!chart.session.save())
            state.SkipWithError("save failed");
}
BENCHMARK(chartSave)->Unit(benchmark::kMillisecond);

void chartLoad(benchmark::State& state)
{
    It873Chart chart;
    chart.session.save();
    for (auto _ : state)
        if (!chart.session.load())
            state.SkipWithError("load failed");
}
BENCHMARK(chartLoad)->Unit(benchmark::kMillisecond);

void chartTextWrite(benchmark::State& state)
{
    It873Chart chart;
    for (auto _ : state)
        benchmark::DoNotOptimize(chart.session.chartText());
}
BENCHMARK(chartTextWrite)->Unit(benchmark::kMillisecond);

void chartTextRead(benchmark::State& state)
{
    It873Chart chart;
    const std::string text = chart.session.chartText();
    state.SetBytesProcessed(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(lt::parseChartText(text, lt::kChartPatchesIt873));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(chartTextRead)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
