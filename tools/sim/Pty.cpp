#include "Pty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace sim {

namespace {

[[noreturn]] void fail(const char* step) {
    throw std::runtime_error(std::string(step) + ": " + std::strerror(errno));
}

}  // namespace

Pty::Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        fail("posix_openpt");
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        ::close(master_);
        fail("grantpt/unlockpt");
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        ::close(master_);
        fail("ptsname");
    }
    devicePath_ = name;
    device_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings{};
    if (device_ < 0 || ::tcgetattr(device_, &settings) != 0) {
        ::close(master_);
        fail("open device");
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(device_, TCSANOW, &settings) != 0) {
        ::close(device_);
        ::close(master_);
        fail("tcsetattr");
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

Pty::~Pty() {
    ::close(device_);
    ::close(master_);
}

std::size_t Pty::read(std::span<std::uint8_t> buffer) {
    const ssize_t n = ::read(master_, buffer.data(), buffer.size());
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void Pty::write(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            // A slow reader gets a moment; a missing one costs the rest of this reply.
            pollfd writable{master_, POLLOUT, 0};
            if (::poll(&writable, 1, 50) <= 0) {
                return;
            }
        } else {
            return;
        }
    }
}

}  // namespace sim
