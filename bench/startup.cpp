// Start-up time of the program: from process start to the Setup window shown, median of 31 runs,
// against the floor (a bare Qt window with as many controls, bench_startup_floor) in the same
// run, the two started in turn. Goal: at most 1.15 times the floor. A shared machine moves single
// runs by a few milliseconds, so fewer runs give a ratio that wanders by several hundredths.
// The program prints "shown" and quits when VOLCRESTONE_STARTUP_PROBE is set; the controller
// simulator stands behind COM1 so that start-up opens a real port as it does for a user.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Spawn.h"

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from the start of `path` to its "shown"; negative when it did not say so.
double shownAfterMs(const char* path) {
    int out = -1;
    const auto start = Clock::now();
    const pid_t app = bench::spawn({path}, &out);
    const std::string line = bench::readLine(out);
    const auto shown = Clock::now();
    waitpid(app, nullptr, 0);
    close(out);
    if (line != "shown") {
        std::fprintf(stderr, "%s did not report its window (got '%s')\n", path, line.c_str());
        return -1;
    }
    return std::chrono::duration<double, std::milli>(shown - start).count();
}

double report(const char* what, std::vector<double> millis) {
    std::sort(millis.begin(), millis.end());
    const double median = millis[millis.size() / 2];
    std::printf("%s: median %.1f ms, min %.1f ms, max %.1f ms (%zu runs)\n", what, median,
                millis.front(), millis.back(), millis.size());
    return median;
}

}  // namespace

int main() {
    char configDir[] = "/tmp/volcrestone-bench.XXXXXX";
    if (!mkdtemp(configDir))
        return 1;
    setenv("XDG_CONFIG_HOME", configDir, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VOLCRESTONE_STARTUP_PROBE", "1", 1);

    int simOut = -1;
    const pid_t sim = bench::spawn({VOLCRESTONE_SIM_PATH}, &simOut);
    const std::string device = bench::readLine(simOut);
    setenv("VOLCRESTONE_COM1", device.c_str(), 1);

    std::vector<double> program, bare;
    for (int run = 0; run < 31; ++run) {
        for (const bool isFloor : {false, true}) {
            const double ms = shownAfterMs(isFloor ? VOLCRESTONE_FLOOR_PATH : VOLCRESTONE_APP_PATH);
            if (ms < 0) {
                kill(sim, SIGTERM);
                return 1;
            }
            (isFloor ? bare : program).push_back(ms);
        }
    }
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);

    const double programMedian = report("start-up to Setup window shown", program);
    const double floorMedian = report("bare Qt window with 80 controls", bare);
    std::printf("ratio %.2f (goal at most 1.15)\n", programMedian / floorMedian);
    // Each program run against the floor run right after it: a shared machine's slow spells
    // then weigh on both sides of a pair rather than on one median.
    std::vector<double> pairs;
    for (std::size_t i = 0; i < program.size(); ++i)
        pairs.push_back(program[i] / bare[i]);
    std::sort(pairs.begin(), pairs.end());
    std::printf("median of the %zu paired ratios %.2f\n", pairs.size(), pairs[pairs.size() / 2]);
    return 0;
}
