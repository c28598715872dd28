// Comparing two full IT8.7/3 charts (928 patches each): reading both files
// and the comparison itself, by each colour-difference formula.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/compare/ChartComparison.h"

namespace {

std::string chartFile(const char* name, double shift)
{
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream out(path);
    out << "CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K XYZ_X XYZ_Y XYZ_Z\n"
           "END_DATA_FORMAT\nNUMBER_OF_SETS 928\nBEGIN_DATA\n";
    for (int i = 0; i < 928; ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "%d %d %d %d %d %.3f %.3f %.3f\n", i + 1, (i * 7) % 101,
            (i * 13) % 101, (i * 29) % 101, (i * 3) % 61, 20 + (i % 70) + shift * std::sin(i),
            22.0 + (i % 70), 18.0 + (i % 60));
        out << line;
    }
    out << "END_DATA\n";
    return path;
}

void compareTwoFiles(benchmark::State& state)
{
    static const std::string reference = chartFile("ltrakw-bench-reference.txt", 0.0);
    static const std::string sample = chartFile("ltrakw-bench-sample.txt", 1.0);
    const auto formula = lt::deltaEFormulaFromIndex(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        lt::MeasuredChartReading a = lt::readMeasuredChart(reference);
        lt::MeasuredChartReading b = lt::readMeasuredChart(sample);
        benchmark::DoNotOptimize(lt::compareCharts(*a.chart, *b.chart, formula).all.mean);
    }
    state.SetLabel(std::string(lt::deltaEFormulaName(formula)));
}
BENCHMARK(compareTwoFiles)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
