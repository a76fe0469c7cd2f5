// volcrestone-cli replay and report on a large generated log: peak memory growth over a one-line
// log (goal: under 10 MB for 1 GB, whatever the size) and throughput in MB/s. The log is made
// once, outside the repository: bench_replay_log [SIZE_MB] [PATH] [CLI], by default 1024 MB in
// /tmp and this build's volcrestone-cli.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "dash/LogFormat.h"

extern char** environ;

namespace {

void writeLog(const std::string& path, std::uintmax_t bytes) {
    std::ofstream out(path, std::ios::binary);
    std::mt19937 random(1);
    comlink::RxBuffer block{};
    std::uintmax_t written = 0;
    while (written < bytes) {
        for (int k = 0; k < comlink::kRealtimeBlockSize; ++k)
            block[static_cast<std::size_t>(k)] = static_cast<int>(random() % 256);
        const std::string line = dash::logLine(block) + "\r\n";
        out << line;
        written += line.size();
    }
}

struct Run {
    double seconds;
    double cpuSeconds;  // what a loaded machine's wall clock hides
    long peakKb;
};

// A command with its output thrown away; the child's own peak resident size.
Run measure(const std::string& cli, std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    args.insert(args.begin(), cli);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s %s failed\n", args[1].c_str(), args[2].c_str());
        std::exit(1);
    }
    const auto secondsOf = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1E6;
    };
    return {took.count(), secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime), usage.ru_maxrss};
}

}  // namespace

int main(int argc, char** argv) {
    const std::uintmax_t megabytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    const std::string big = argc > 2 ? argv[2] : "/tmp/volcrestone-bench-replay.csv";
    const std::string cli = argc > 3 ? argv[3] : VOLCRESTONE_CLI_PATH;
    const std::string small = big + ".one-line.csv";
    const std::uintmax_t bytes = megabytes << 20;
    std::error_code error;
    if (std::filesystem::file_size(big, error) < bytes || error) {
        std::printf("writing %ju MB to %s\n", megabytes, big.c_str());
        writeLog(big, bytes);
    }
    writeLog(small, 1);
    setenv("XDG_CONFIG_HOME", "/nonexistent", 1);  // the default display settings

    const double mb = static_cast<double>(std::filesystem::file_size(big)) / (1 << 20);
    const std::string png = big + ".png";
    for (const char* command : {"replay", "report"}) {
        const auto args = [&](const std::string& log) {
            std::vector<std::string> line = {command, log};
            if (std::string(command) == "report")
                line.insert(line.end(), {"--png", png});
            return line;
        };
        const Run baseline = measure(cli, args(small));
        const Run run = measure(cli, args(big));
        std::printf(
            "%s, log %.0f MB: %.2f s, %.1f MB/s; CPU %.2f s, %.1f MB/s (replay's goal at "
            "least 150 MB/s)\n",
            command, mb, run.seconds, mb / run.seconds, run.cpuSeconds, mb / run.cpuSeconds);
        std::printf(
            "%s peak resident: %ld kB for one line, %ld kB for the log, growth %.1f MB "
            "(goals: peak under 20 MB, growth under 10 MB)\n",
            command, baseline.peakKb, run.peakKb,
            static_cast<double>(run.peakKb - baseline.peakKb) / 1024.0);
    }
    std::filesystem::remove(small);
    std::filesystem::remove(png);
    return 0;
}
