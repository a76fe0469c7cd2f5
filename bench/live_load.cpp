// What the program costs with a controller streaming at the line's limit: the real program on
// the simulator at 32 frames a second (every shown value moving in each), the Dashboard shown in
// the given view (the graph view with all eight values), and its CPU time read from /proc.
//   bench_live_load [dials|graph] [SECONDS] [PROGRAM]
// Goals: dials view at most 1.5 % of one core, graph view at most 1 %.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Spawn.h"

namespace {

// User plus system time of a process so far, in seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold blanks; the fields count from after it.
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15)
            ticks += std::stol(field);
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string view = argc > 1 ? argv[1] : "dials";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    const std::string program = argc > 3 ? argv[3] : VOLCRESTONE_APP_PATH;
    if ((view != "dials" && view != "graph") || seconds < 1) {
        std::fprintf(stderr, "usage: bench_live_load [dials|graph] [SECONDS] [PROGRAM]\n");
        return 2;
    }

    char configDir[] = "/tmp/volcrestone-load.XXXXXX";
    if (!mkdtemp(configDir))
        return 1;
    std::filesystem::create_directories(std::string(configDir) + "/Volcrestone");
    std::ofstream(std::string(configDir) + "/Volcrestone/Volcrestone.ini")
        << "[Realtime]\nShowDials=" << (view == "dials" ? "True" : "False")
        << "\nShowCoolant=True\nShowTPS=True\nShowMAP=True\nShowMSD=True\nShowO2AFR=True\n";
    setenv("XDG_CONFIG_HOME", configDir, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VOLCRESTONE_DASH_PROBE", "1", 1);

    int simOut = -1;
    const pid_t sim = bench::spawn({VOLCRESTONE_SIM_PATH, "--rate", "32"}, &simOut);
    setenv("VOLCRESTONE_COM1", bench::readLine(simOut).c_str(), 1);
    const pid_t app = bench::spawn({program}, nullptr);

    // Start-up and the first frames are not what is measured.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const double before = cpuSeconds(app);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double used = cpuSeconds(app) - before;
    const bool ended = waitpid(app, nullptr, WNOHANG) != 0;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    if (!ended) {
        kill(app, SIGTERM);
        waitpid(app, nullptr, 0);
    }
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);
    std::filesystem::remove_all(configDir);
    if (ended) {
        std::fprintf(stderr, "%s ended while it was measured\n", program.c_str());
        return 1;
    }
    std::printf("%s view at 32 frames a second: %.2f %% of one core (%.2f s CPU in %.1f s)\n",
                view.c_str(), 100.0 * used / took.count(), used, took.count());
    return 0;
}
