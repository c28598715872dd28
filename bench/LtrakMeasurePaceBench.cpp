// Timed tool: "ltrak measure --count N" against the virtual Lumatrak S with
// its line paced at 9600 baud, compared with the wire limit: the time every
// request and reply byte of the run takes on a 9600 baud 8N1 line (ten bits
// a byte), plus the pauses the protocol prescribes to the program (counted
// through the clock seam) and the time the instrument itself works before
// it replies (measuring, calibrating; the simulator reports it). The run may
// take at most 1.05 times that.
//
//   ltrak_measure_bench [COUNT]   one sample and COUNT samples (default 100),
//                                 first through the measure command in this
//                                 process (the pauses counted), then through
//                                 the ltrak program, process start included
//
// Reports the whole run and a sample's share (beyond the first). Exits
// non-zero when a run fails or takes too long. Takes about three minutes for
// 100 samples: the line and the instrument alone need 0.88 s a sample.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "PauseCountingClock.h"
#include "cli/Commands.h"
#include "ltsim/Simulator.h"

extern char** environ;

namespace {

constexpr double kAllowedFactor = 1.05;
constexpr unsigned kBaud = 9600; // [baud]
constexpr double kBitsPerByte = 10.0; // start bit, 8 data bits, stop bit
constexpr int kDefaultCount = 100;

struct Run {
    bool ok = false;
    double wallMs = 0;
    ltsim::LineTally tally;
};

std::vector<std::string> measureWords(const std::string& device, int count)
{
    return {"--port", device, "--count", std::to_string(count), "--format", "csv"};
}

// Runs f with standard output going to /dev/null.
template <typename F>
auto withoutStandardOutput(F f)
{
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
    auto result = f();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    return result;
}

// f(devicePath) runs the measurement; true when it succeeded.
template <typename F>
Run timedRun(F f)
{
    ltsim::SimulatorOptions options;
    options.pacing = true;
    options.baudRate = kBaud;
    ltsim::Simulator simulator(options);
    Run run;
    std::string error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return run;
    }
    const auto start = std::chrono::steady_clock::now();
    run.ok = withoutStandardOutput([&] { return f(simulator.devicePath()); });
    run.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.tally = simulator.tally();
    return run;
}

bool runProgram(const std::string& device, int count)
{
    std::vector<std::string> words = measureWords(device, count);
    words.insert(words.begin(), {LTRAK_PROGRAM, "measure"});
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, LTRAK_PROGRAM, nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The parts of the wire limit, in milliseconds.
struct Limit {
    double lineMs = 0;
    double pausesMs = 0;
    double workMs = 0;
    double total() const { return lineMs + pausesMs + workMs; }
};

Limit limitOf(const Run& run, double pausesMs)
{
    Limit limit;
    limit.lineMs = static_cast<double>(run.tally.requestBytes + run.tally.replyBytes) *
        kBitsPerByte * 1000.0 / kBaud;
    limit.pausesMs = pausesMs;
    limit.workMs = static_cast<double>(run.tally.workMs);
    return limit;
}

// The whole run, and the samples after the first one (the run of COUNT less
// the run of one sample): opening and calibrating overlap some pauses with
// the line, the samples do not, so their limit is exact.
bool report(const char* what, const Run& one, double onePausesMs, const Run& all,
    double allPausesMs, int count)
{
    const Limit whole = limitOf(all, allPausesMs);
    const Limit first = limitOf(one, onePausesMs);
    const double ratio = all.wallMs / whole.total();
    std::printf("%s, %d samples: measured %.0f ms; line %.0f ms (%llu + %llu bytes) + pauses %.0f "
                "ms + instrument %.0f ms = %.0f ms; ratio %.3f\n",
        what, count, all.wallMs, whole.lineMs,
        static_cast<unsigned long long>(all.tally.requestBytes),
        static_cast<unsigned long long>(all.tally.replyBytes), whole.pausesMs, whole.workMs,
        whole.total(), ratio);
    bool ok = one.ok && all.ok && ratio <= kAllowedFactor;
    if (count > 1) {
        const double samples = count - 1;
        const double measured = (all.wallMs - one.wallMs) / samples;
        const double line = (whole.lineMs - first.lineMs) / samples;
        const double pauses = (whole.pausesMs - first.pausesMs) / samples;
        const double work = (whole.workMs - first.workMs) / samples;
        const double sampleRatio = measured / (line + pauses + work);
        std::printf("%s, a sample: measured %.1f ms; line %.1f ms + pauses %.1f ms + instrument "
                    "%.1f ms = %.1f ms; ratio %.3f\n",
            what, measured, line, pauses, work, line + pauses + work, sampleRatio);
        ok = ok && sampleRatio <= kAllowedFactor;
    }
    std::printf("%s: %s (at most %.2f)\n", what,
        !(one.ok && all.ok) ? "MEASUREMENT FAILED"
            : ok            ? "within the limit"
                            : "TOO SLOW",
        kAllowedFactor);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : kDefaultCount;
    if (count < 1) {
        std::fprintf(stderr, "usage: ltrak_measure_bench [COUNT]\n");
        return EXIT_FAILURE;
    }
    char config[] = "/tmp/ltrak-bench-XXXXXX";
    if (!::mkdtemp(config))
        return EXIT_FAILURE;
    ::setenv("LTRAKW_CONFIG_DIR", config, 1);

    // The measure command in this process, pauses counted, for one sample
    // and for count.
    lt::bench::PauseCountingClock clock;
    lt::setClock(&clock);
    auto inProcess = [&](int samples, double& pausesMs) {
        const std::uint64_t before = clock.paused.load();
        Run run = timedRun([&](const std::string& device) {
            return ltrak::measureCommand(measureWords(device, samples)) == 0;
        });
        pausesMs = static_cast<double>(clock.paused.load() - before);
        return run;
    };
    double onePauses = 0;
    double allPauses = 0;
    const Run one = inProcess(1, onePauses);
    const Run all = inProcess(count, allPauses);
    lt::setClock(nullptr);
    bool ok = report("measure command", one, onePauses, all, allPauses, count);

    // The ltrak program: the same exchanges with the same pauses.
    auto program = [&](int samples) {
        return timedRun([&](const std::string& device) { return runProgram(device, samples); });
    };
    ok = report("ltrak program", program(1), onePauses, program(count), allPauses, count) && ok;
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
