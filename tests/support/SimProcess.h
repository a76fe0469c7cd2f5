#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// volcrestone-sim as a child process: started with the given arguments, its pseudo-terminal
// ready once the constructor returns, ended when the object goes.
namespace support {

class SimProcess {
public:
    // Throws std::runtime_error when the simulator cannot start or prints no device path.
    explicit SimProcess(const std::vector<std::string>& arguments = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The device a client opens, as printed on the simulator's first line.
    const std::string& devicePath() const { return devicePath_; }

    // Asks the simulator to end (SIGTERM) and waits for it; its exit code, or -1 when it had
    // to be killed or died of a signal. Later calls return the same result. Its --record file
    // then holds every byte a client had written.
    int stop();

    static std::string binaryPath();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    int exitCode_ = -1;
    std::string devicePath_;
};

}  // namespace support
