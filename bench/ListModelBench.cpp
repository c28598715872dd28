// The measurement list at length: the cost of one more sample (the list row
// and the list view's model told of it) at 100 and at 100,000 rows, with and
// without the page's list view drawing it, and with the list's crash copy
// kept on disk; the heap bytes one row costs with the model attached; and
// writing a 100,000-row list file's text.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <malloc.h>

#include <QApplication>

#include "core/metrics/ListFile.h"
#include "core/metrics/ListJournal.h"
#include "core/metrics/MeasurementList.h"
#include "ui/metrics/MeasurementListModel.h"
#include "ui/metrics/MeasurementListView.h"

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "list_model_bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A row as a relative sample with a spot colour fills it.
lt::MeasurementRow sampleRow(int number)
{
    return {std::to_string(number), "0.012", "0.734", "0.215", "0.093", "M  48.2", "62.41", "41.77",
        "-3.05", "41.23", "30.87", "33.90", "0.61", "57.3", "Reflex Blue"};
}

void fill(lt::MeasurementList& list, int rows)
{
    for (int number = 1; number <= rows; ++number)
        list.insertTop(sampleRow(number));
}

// One sample: the row goes into the list and the model tells the view.
void BM_SampleWithModel(benchmark::State& state)
{
    application();
    lt::MeasurementList list;
    lt::MeasurementListModel model(list);
    fill(list, static_cast<int>(state.range(0)));
    int number = static_cast<int>(state.range(0));
    for (auto _ : state)
        list.insertTop(sampleRow(++number));
}

// The same with the page's list view showing the list (its layout and
// painting included).
void BM_SampleWithView(benchmark::State& state)
{
    application();
    lt::MeasurementList list;
    lt::MeasurementListModel model(list);
    lt::MeasurementListView view(&model);
    view.resize(800, 400);
    view.show();
    fill(list, static_cast<int>(state.range(0)));
    QApplication::processEvents();
    int number = static_cast<int>(state.range(0));
    for (auto _ : state) {
        list.insertTop(sampleRow(++number));
        QApplication::processEvents();
    }
}

// One sample with the crash copy of the list kept in a directory of its own
// (the row's line written and flushed to the disk).
void BM_SampleKeptInJournal(benchmark::State& state)
{
    const auto directory = std::filesystem::temp_directory_path() / "list_model_bench-journal";
    std::filesystem::create_directories(directory);
    {
        lt::MeasurementList list;
        fill(list, static_cast<int>(state.range(0)));
        lt::ListJournal journal(list, directory.string());
        list.setCell(0, lt::column::kSpotName, "Reflex Blue"); // the copy now holds every row
        int number = static_cast<int>(state.range(0));
        for (auto _ : state)
            list.insertTop(sampleRow(++number));
        journal.discard();
    }
    std::filesystem::remove_all(directory);
}

void BM_HeapBytesPerRow(benchmark::State& state)
{
    application();
    constexpr int kRows = 100000;
    double perRow = 0.0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        {
            lt::MeasurementList list;
            lt::MeasurementListModel model(list);
            fill(list, kRows);
            perRow = static_cast<double>(mallinfo2().uordblks - before) / kRows;
        }
    }
    state.counters["bytes_per_row"] = perRow;
}

void BM_ListFileText(benchmark::State& state)
{
    lt::MeasurementList list;
    fill(list, static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(lt::formatListFileText(list));
}

} // namespace

BENCHMARK(BM_SampleWithModel)
    ->Arg(100)
    ->Arg(100000)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SampleWithView)->Arg(100)->Arg(100000)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SampleKeptInJournal)
    ->Arg(100)
    ->Arg(100000)
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeapBytesPerRow)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFileText)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
