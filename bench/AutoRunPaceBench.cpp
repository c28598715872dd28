// Timed tool: an automatic chart run against the virtual Lumatrak A with
// its line paced at 9600 baud and the table's travel and settle time on,
// compared with what no program can make faster: every request and reply
// byte on a 9600 baud 8N1 line (ten bits a byte), the pauses the protocol
// prescribes (counted through the clock seam) and the time the instrument
// and its table work before they reply (the simulator reports it). The run
// may take at most 1.05 times that. The run is started with XYAuto of the
// chart dialog (offscreen), which shows its progress and fills its patches
// meanwhile; a 10 ms timer on the user-interface thread measures the longest
// gap between its ticks, which must stay below 50 ms.
//
//   autorun_pace_bench [tqcmyk|tqrgb|it8]   the chart (default TQ CMYK)
//
// Exits non-zero when the run fails, takes too long or the timer stalls.
// TQ CMYK takes about five minutes; IT8.7/3 about twenty.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "PauseCountingClock.h"
#include "common/AligningOperator.h"
#include "common/SimulatedInstrumentPort.h"
#include <QLabel>
#include <QPushButton>

#include "core/autorun/AutoMeasureChart.h"
#include "core/charts/ChartSession.h"
#include "core/station/Workstation.h"
#include "ltsim/Simulator.h"
#include "ui/charts/ChartDialog.h"

namespace {

constexpr double kAllowedFactor = 1.05;
constexpr double kLongestTimerGapMs = 50.0;
constexpr int kTimerMs = 10;
constexpr unsigned kBaud = 9600; // [baud]
constexpr double kBitsPerByte = 10.0; // start bit, 8 data bits, stop bit

struct Choice {
    const char* word;
    lt::ChartType chart;
    ltsim::ChartKind kind;
    double pitch;
};

constexpr Choice kChoices[] = {
    {"tqcmyk", lt::ChartTqCmyk, ltsim::ChartKind::TqCmyk, ltsim::kTqPitch},
    {"tqrgb", lt::ChartTqRgb, ltsim::ChartKind::TqRgb, ltsim::kTqPitch},
    {"it8", lt::ChartIt873, ltsim::ChartKind::It8, ltsim::kIt8Pitch},
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const Choice* choice = &kChoices[0];
    if (argc > 1) {
        choice = nullptr;
        for (const Choice& candidate : kChoices)
            if (std::strcmp(argv[1], candidate.word) == 0)
                choice = &candidate;
        if (!choice) {
            std::fprintf(stderr, "usage: autorun_pace_bench [tqcmyk|tqrgb|it8]\n");
            return 2;
        }
    }

    lt::bench::PauseCountingClock clock;
    lt::setClock(&clock);
    ltsim::SimulatorOptions options;
    options.device = ltsim::DeviceKind::LumatrakA;
    options.pacing = true;
    options.baudRate = kBaud;
    options.noise = 0.0;
    ltsim::Simulator sim(options);
    sim.placeChart({true, choice->kind, 1234.0, 1111.0, choice->pitch, 0.5});
    std::string error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }
    CTaviSpec::SetPortDevice(1, sim.devicePath().c_str());
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("autorun_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);

    int exitCode = 0;
    {
        lt::testing::AligningOperator op(sim);
        lt::Workstation station(op, config.string());
        void* port = nullptr;
        ComPort comPort {};
        comPort.DeviceType = lt::InstrumentLumatrakA;
        comPort.PortNumber = 1;
        comPort.BaudRate = kBaud;
        comPort.ByteSize = 8;
        comPort.Handshake = 1;
        FileNames identity {};
        port = station.instrument().GretagPortOpenAndInit(&comPort, &identity);
        station.record().instrumentType = lt::InstrumentLumatrakA;
        if (!port || comPort.Status != 0 || station.cycle().InitRemission() != 0) {
            std::fprintf(stderr, "the virtual Lumatrak A did not open\n");
            return 1;
        }
        std::string chartPath;
        lt::ChartSession session(station, choice->chart, chartPath);
        station.record().chart.active = true;
        lt::ChartDialog dialog(station, session);
        dialog.show();
        QObject::connect(&dialog, &lt::ChartDialog::autoRunChanged, [](bool running) {
            if (!running)
                QCoreApplication::exit(0);
        });
        int measured = 0;
        QObject::connect(&dialog, &lt::ChartDialog::autoRunChanged,
            [&](bool) { measured = station.record().chart.currentPatch; });

        double longestGapMs = 0.0;
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGapMs = std::max(longestGapMs, sinceTick.nsecsElapsed() / 1e6);
            sinceTick.restart();
        });

        sim.clearRequests();
        const std::uint64_t pausesBefore = clock.paused;
        QElapsedTimer wall;
        wall.start();
        sinceTick.start();
        ticker.start(kTimerMs);
        dialog.xyAutoButton()->click();
        QApplication::exec();
        const double wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
        ticker.stop();

        const ltsim::LineTally tally = sim.tally();
        const double lineMs = static_cast<double>(tally.requestBytes + tally.replyBytes) *
            kBitsPerByte * 1000.0 / kBaud;
        const double pausesMs = static_cast<double>(clock.paused - pausesBefore);
        const double workMs = static_cast<double>(tally.workMs);
        const double limitMs = lineMs + pausesMs + workMs;
        const double ratio = wallMs / limitMs;
        const std::string summary = dialog.runLine()->text().toStdString();
        std::printf("%s run: %s\n", choice->word, summary.c_str());
        std::printf("measured %.0f ms; line %.0f ms (%llu + %llu bytes) + pauses %.0f ms + "
                    "instrument and table %.0f ms = %.0f ms; ratio %.3f (at most %.2f)\n",
            wallMs, lineMs, static_cast<unsigned long long>(tally.requestBytes),
            static_cast<unsigned long long>(tally.replyBytes), pausesMs, workMs, limitMs, ratio,
            kAllowedFactor);
        std::printf("per patch: %.0f ms; longest gap of a %d ms timer: %.1f ms (at most %.0f)\n",
            wallMs / std::max(1, measured), kTimerMs, longestGapMs, kLongestTimerGapMs);
        if (summary.rfind("Run finished", 0) != 0 || ratio > kAllowedFactor ||
            longestGapMs > kLongestTimerGapMs)
            exitCode = 1;
        station.instrument().GretagPortClose(port);
    }
    std::filesystem::remove_all(config);
    lt::setClock(nullptr);
    return exitCode;
}
