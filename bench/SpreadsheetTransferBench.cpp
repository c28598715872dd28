// What the spreadsheet export adds to the measurement cycle: the transfer of
// one measurement with both sets of five values (ten cells) into a workbook
// of a real, headless LibreOffice Calc; and how long the application takes
// to start (which the window never waits for).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/ScriptedOperator.h"
#include "core/settings/Settings.h"
#include "core/spreadsheet/ExcelExport.h"

namespace {

struct Office {
    Office()
    {
        ::setenv("LTRAKW_CALC_HEADLESS", "1", 1);
        std::filesystem::create_directories(configDir);
        settings = std::make_unique<lt::Settings>(configDir);
        exporter = std::make_unique<lt::ExcelExport>(*settings, op);
        exporter->open();
        auto started = std::chrono::steady_clock::now();
        code = exporter->initExcel();
        startSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        lt::CellPlacement placement = exporter->placementFields();
        placement.direction = lt::placement::kVertical;
        placement.sets[0] = {1, 5, 1, "A", 1}; // number and four densities
        placement.sets[1] = {16, 5, 1, "H", 8}; // five spectral values
        exporter->setPlacementFields(placement);
    }
    ~Office()
    {
        exporter->closeExcel();
        std::filesystem::remove_all(configDir);
    }

    std::string configDir = std::filesystem::temp_directory_path() / "ltrakw-calc-bench";
    lt::testing::ScriptedOperator op;
    std::unique_ptr<lt::Settings> settings;
    std::unique_ptr<lt::ExcelExport> exporter;
    int code = 0;
    double startSeconds = 0;
};

void transferOneMeasurement(benchmark::State& state)
{
    static Office office;
    if (office.code != 0) {
        state.SkipWithError("LibreOffice Calc could not be started");
        return;
    }
    lt::MeasurementRow row {"0", "1.234", "0.456", "0.321", "0.102", "98.1"};
    std::vector<float> spectrum(36, 0.8765432f);
    int n = 0;
    for (auto _ : state) {
        row[0] = std::to_string(n++ % 1000);
        benchmark::DoNotOptimize(office.exporter->Transfer(row, spectrum));
    }
    state.counters["calc_start_s"] = office.startSeconds;
}
BENCHMARK(transferOneMeasurement)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
