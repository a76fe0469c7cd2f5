#pragma once
// Starting the programs a benchmark measures and reading what they say.
#include <spawn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

// Starts `args`; with `readFd`, its standard output goes to a pipe whose read end lands there.
inline pid_t spawn(std::vector<std::string> args, int* readFd) {
    int fds[2];
    if (readFd != nullptr && pipe(fds) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (readFd != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
    }
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    if (readFd != nullptr) {
        close(fds[1]);
        *readFd = fds[0];
    }
    return pid;
}

// One line of a child's output, without its line end; what came before the end of the pipe.
inline std::string readLine(int fd) {
    std::string line;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n')
        line.push_back(c);
    return line;
}

}  // namespace bench
