// Time from process start to the main window shown, on Qt's offscreen
// platform with the simulator on COM1: the median of several starts.
//   window_startup_bench [runs]     (default 5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    char configTemplate[] = "/tmp/ltrakw-startup-XXXXXX";
    const char* configDir = mkdtemp(configTemplate);
    if (!configDir) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LTRAKW_QUIT_WHEN_SHOWN", "1", 1);
    setenv("LTRAKW_COM1", "sim", 1);
    setenv("LTRAKW_NO_SOUND", "1", 1);
    setenv("LTRAKW_CONFIG_DIR", configDir, 1);

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execl(LTRAKW_PROGRAM, LTRAKW_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "run %d: LtrakW ended abnormally (status %d)\n", run + 1, status);
            return 1;
        }
        times.push_back(ms);
        std::printf("run %d: %.0f ms\n", run + 1, ms);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "median start-up to window shown: %.0f ms (%d runs)\n", times[times.size() / 2], runs);
    return 0;
}
