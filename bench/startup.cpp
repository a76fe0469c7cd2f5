// Start-up time of the program: from process start to the Setup window shown, median of 15 runs.
// The program prints "shown" and quits when VOLCRESTONE_STARTUP_PROBE is set; the controller
// simulator stands behind COM1 so that start-up opens a real port as it does for a user.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Starts `argv` with stdout on a pipe; returns the pid and the read end.
pid_t spawnWithPipe(std::vector<std::string> args, int& readFd) {
    int fds[2];
    if (pipe(fds) != 0) std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    readFd = fds[0];
    return pid;
}

std::string readLine(int fd) {
    std::string line;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n') line.push_back(c);
    return line;
}

}  // namespace

int main() {
    char configDir[] = "/tmp/volcrestone-bench.XXXXXX";
    if (!mkdtemp(configDir)) return 1;
    setenv("XDG_CONFIG_HOME", configDir, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VOLCRESTONE_STARTUP_PROBE", "1", 1);

    int simOut = -1;
    const pid_t sim = spawnWithPipe({VOLCRESTONE_SIM_PATH}, simOut);
    const std::string device = readLine(simOut);
    setenv("VOLCRESTONE_COM1", device.c_str(), 1);

    std::vector<double> millis;
    for (int run = 0; run < 15; ++run) {
        int out = -1;
        const auto start = Clock::now();
        const pid_t app = spawnWithPipe({VOLCRESTONE_APP_PATH}, out);
        const std::string line = readLine(out);
        const auto shown = Clock::now();
        int status = 0;
        waitpid(app, &status, 0);
        close(out);
        if (line != "shown") {
            std::fprintf(stderr, "the program did not report its window (got '%s')\n",
                         line.c_str());
            kill(sim, SIGTERM);
            return 1;
        }
        millis.push_back(std::chrono::duration<double, std::milli>(shown - start).count());
    }
    kill(sim, SIGTERM);
    waitpid(sim, nullptr, 0);

    std::sort(millis.begin(), millis.end());
    std::printf("start-up to Setup window shown: median %.1f ms, min %.1f ms, max %.1f ms (%zu runs)\n",
                millis[millis.size() / 2], millis.front(), millis.back(), millis.size());
    return 0;
}
