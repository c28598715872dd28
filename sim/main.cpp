// ltsim: a virtual instrument on a pseudo-terminal, for trying the program
// without an instrument on the desk.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <pthread.h>

#include "ltsim/Simulator.h"

namespace {

constexpr double kLargestDotGain = 50.0; // [% at 50 %]: a 50 % dot prints solid
constexpr double kFastestTable = 1000.0; // [table units per ms]
constexpr long kLongestSettleMs = 10000; // [ms]

int usage()
{
    std::fprintf(stderr,
        "usage: ltsim --device lumatrak-s|lumatrak-a|spectrolino|spectrometer [--baud N] "
        "[--chart it8|tqcmyk|tqrgb] [--pace] [--no-noise] [--dot-gain PERCENT]\n"
        "       [--table-speed UNITS_PER_MS] [--settle MS]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    ltsim::SimulatorOptions options;
    bool deviceGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool hasValue = i + 1 < argc;
        if (argument == "--device" && hasValue) {
            auto kind = ltsim::parseDeviceKind(argv[++i]);
            if (!kind)
                return usage();
            options.device = *kind;
            deviceGiven = true;
        } else if (argument == "--baud" && hasValue) {
            char* end = nullptr;
            long baud = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || baud < 50 || baud > 230400)
                return usage();
            options.baudRate = static_cast<unsigned>(baud);
        } else if (argument == "--chart" && hasValue) {
            auto chart = ltsim::parseChartKind(argv[++i]);
            if (!chart)
                return usage();
            options.chart = chart;
        } else if (argument == "--pace") {
            options.pacing = true;
        } else if (argument == "--no-noise") {
            options.noise = 0.0;
        } else if (argument == "--dot-gain" && hasValue) {
            char* end = nullptr;
            const double gain = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(gain >= 0.0 && gain <= kLargestDotGain))
                return usage();
            options.dotGain = gain;
        } else if (argument == "--table-speed" && hasValue) {
            char* end = nullptr;
            const double speed = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(speed > 0.0 && speed <= kFastestTable))
                return usage();
            options.travel.speed = speed;
        } else if (argument == "--settle" && hasValue) {
            char* end = nullptr;
            const long settle = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || settle < 0 || settle > kLongestSettleMs)
                return usage();
            options.travel.settleMs = static_cast<unsigned>(settle);
        } else {
            return usage();
        }
    }
    if (!deviceGiven)
        return usage();

    // The serving thread inherits the blocked signals; this thread waits for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ltsim::Simulator simulator(options);
    std::string error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "ltsim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", simulator.devicePath().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    simulator.stop();
    return 0;
}
