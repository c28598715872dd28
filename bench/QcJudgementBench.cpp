// What one sample costs the quality-control page against a full set of 200
// entries: the judgement with the fields it fills and the geometry of its
// graphics (core only), and the same through the page on Qt's offscreen
// platform, its fields refreshed and its graphics painted. The target is
// under 1 ms of CPU per sample.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "common/ScriptedOperator.h"
#include "core/qc/QcPageLogic.h"
#include "core/qc/QcText.h"
#include "core/station/Workstation.h"
#include "ui/qc/QC.h"
#include "ui/qc/QcGraphicsWidget.h"

namespace {

// A set of 200 entries spread over the printable colours, as a file.
std::string fullSetFile(const std::string& directory)
{
    lt::QcSet set;
    for (int i = 0; i < lt::kQcMaxEntries; ++i)
        set.appendEntry({20.0 + (i % 40) * 2.0, -80.0 + (i * 7) % 160, -80.0 + (i * 13) % 160},
            "Entry " + std::to_string(i + 1));
    const std::string path = directory + "/full-set.txt";
    lt::QcSet written = set;
    lt::prepareQcSetForWriting(written, 4, 0, 1);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const std::string text = lt::ComposeQcText(written);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return path;
}

// Readings that wander around the set, so matches and verdicts change.
lt::Lab reading(std::int64_t i)
{
    return {50.0 + (i % 17) * 1.3, -40.0 + (i % 23) * 3.1, 30.0 - (i % 19) * 2.7};
}

struct Bench {
    Bench()
    {
        directory = (std::filesystem::temp_directory_path() / "ltrakw-qc-bench").string();
        std::filesystem::create_directories(directory);
        station = std::make_unique<lt::Workstation>(op, directory);
    }
    ~Bench() { std::filesystem::remove_all(directory); }

    std::string directory;
    lt::testing::ScriptedOperator op;
    std::unique_ptr<lt::Workstation> station;
};

// Answers the open-file choice with the full set.
class SetChooser : public lt::testing::ScriptedOperator {
public:
    explicit SetChooser(std::string path) : file(std::move(path)) { }
    std::optional<std::string> chooseFileToOpen(
        const std::string&, const std::string&, const std::string&) override
    {
        return file;
    }

private:
    std::string file;
};

void BM_QcJudgementAndGeometry(benchmark::State& state)
{
    Bench bench;
    SetChooser chooser(fullSetFile(bench.directory));
    bench.station->setOperator(chooser);
    lt::QcPageLogic logic(*bench.station);
    logic.initialise();
    logic.loadSet();
    if (logic.set().entryCount != lt::kQcMaxEntries)
        state.SkipWithError("the set did not load");
    const lt::QcGraphicsLayout layout = lt::qcGraphicsLayout(520, 440);
    std::int64_t i = 0;
    for (auto _ : state) {
        logic.Update(reading(i++));
        benchmark::DoNotOptimize(lt::qcGraphicsDrawing(layout, logic.graphicsState()));
    }
}
BENCHMARK(BM_QcJudgementAndGeometry)->Unit(benchmark::kMicrosecond);

void BM_QcPageUpdateAndPaint(benchmark::State& state)
{
    Bench bench;
    SetChooser chooser(fullSetFile(bench.directory));
    bench.station->setOperator(chooser);
    QC page(*bench.station);
    page.resize(960, 620);
    page.show();
    QApplication::processEvents();
    page.logic().loadSet();
    if (page.logic().set().entryCount != lt::kQcMaxEntries)
        state.SkipWithError("the set did not load");
    QcGraphicsWidget* graphics = page.graphics();
    QImage canvas(graphics->size(), QImage::Format_RGB32);
    std::int64_t i = 0;
    for (auto _ : state) {
        // Told as the measurement cycle tells it; judged at once on this thread.
        lt::MeasuredSample sample;
        sample.lab = reading(i++);
        bench.station->notify(
            [&](lt::MeasurementObserver& observer) { observer.sampleMeasured(sample); });
        QPainter painter(&canvas);
        graphics->render(&painter);
    }
}
BENCHMARK(BM_QcPageUpdateAndPaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
