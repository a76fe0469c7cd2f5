#pragma once

#include <cstdint>
#include <span>
#include <string>

// A pseudo-terminal that stands in for the controller's serial port. We keep the device end
// open ourselves, in raw mode, so clients see no echo or line editing and may close and reopen
// it freely without the controller end ever seeing a hang-up.
namespace sim {

class Pty {
public:
    // Throws std::runtime_error when the system refuses a pseudo-terminal.
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // The device a client opens, e.g. /dev/pts/7.
    const std::string& devicePath() const { return devicePath_; }
    int controllerFd() const { return master_; }

    // Bytes the client wrote; empty when nothing is waiting.
    std::size_t read(std::span<std::uint8_t> buffer);
    // Sends to the client. Bytes nobody reads pile up in the terminal; once it is full they are
    // dropped rather than stalling the controller.
    void write(std::span<const std::uint8_t> bytes);

private:
    int master_ = -1;
    int device_ = -1;
    std::string devicePath_;
};

}  // namespace sim
