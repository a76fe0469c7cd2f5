#include "support/SimProcess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace support {

namespace {

// Generous, so a loaded machine never fails a test here; a healthy start takes milliseconds.
constexpr int kStartLimitMs = 20000;
constexpr int kStopLimitMs = 10000;

std::string readFirstLine(int fd) {
    std::string line;
    for (;;) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, kStartLimitMs) <= 0) {
            throw std::runtime_error("volcrestone-sim printed no device path");
        }
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw std::runtime_error("volcrestone-sim ended before printing its device path");
        }
        if (c == '\n') {
            return line;
        }
        line.push_back(c);
    }
}

bool waitForExit(pid_t pid, int limitMs, int& status) {
    for (int waited = 0; waited <= limitMs; waited += 10) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return true;
        }
        ::usleep(10000);
    }
    return false;
}

}  // namespace

std::string SimProcess::binaryPath() {
    return VOLCRESTONE_SIM_PATH;
}

SimProcess::SimProcess(const std::vector<std::string>& arguments) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    std::vector<std::string> words{binaryPath()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    ::posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    output_ = pipeFds[0];
    if (spawned != 0) {
        ::close(output_);
        pid_ = -1;
        throw std::runtime_error("cannot start " + binaryPath() + ": " + std::strerror(spawned));
    }
    try {
        devicePath_ = readFirstLine(output_);
    } catch (...) {
        stop();
        throw;
    }
}

SimProcess::~SimProcess() {
    stop();
}

int SimProcess::stop() {
    if (pid_ < 0) {
        return exitCode_;
    }
    int status = 0;
    ::kill(pid_, SIGTERM);
    if (!waitForExit(pid_, kStopLimitMs, status)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        status = -1;
    }
    exitCode_ = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
    ::close(output_);
    output_ = -1;
    return exitCode_;
}

}  // namespace support
